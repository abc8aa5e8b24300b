#pragma once

namespace melvora {
namespace guitest {

// Shows each window of the screenshot set in turn. For each one it writes
// "<folder>/<name>.ready" holding the window's screen rectangle "x y width height", waits
// until "<folder>/<name>.done" exists (the screenshot script took the picture), then goes
// on; "<folder>/gallery.end" marks the end. Returns 0 when every window was shown.
int RunGallery(const char* folder);

}  // namespace guitest
}  // namespace melvora
