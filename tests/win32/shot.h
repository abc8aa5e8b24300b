#pragma once

#include <windows.h>

#include <string>

namespace melvora {
namespace guitest {

// Screenshots of single windows for docs/screenshots, taken by media_screenshots.sh: with
// MELVORA_SHOTS naming a folder, TakeShot writes "<folder>/<name>.ready" with the window's
// screen rectangle and waits (pumping messages) until the script wrote "<name>.done".
bool ShotsWanted();
bool TakeShot(HWND window, const std::string& name);

}  // namespace guitest
}  // namespace melvora
