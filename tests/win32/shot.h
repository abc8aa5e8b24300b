#pragma once

#include <windows.h>

#include <string>

namespace melvora {

class COpenGLWnd;

namespace guitest {

// Screenshots for docs/screenshots, taken by the screenshot scripts from the folder of
// SetShotFolder (the gallery's) or else of MELVORA_SHOTS. TakeShot writes
// "<folder>/<name>.ready" holding the window's screen rectangle "x y width height" and waits
// (pumping messages) until the script took the picture and wrote "<name>.done". With `view`,
// the frame of that OpenGL child is saved first (SaveFrame as "<name>.view") for the script
// to lay over the grab.
void SetShotFolder(const std::string& folder);
bool ShotsWanted();
bool TakeShot(HWND window, const std::string& name, COpenGLWnd* view = nullptr);

// Writes what `view` draws, read back from OpenGL, as "<folder>/<name>.ppm" (the virtual
// display shows Wine's OpenGL child windows black); with `window`, also the view's place in
// it as "<name>.at" ("x y"), so that the script can lay the picture over the grab.
bool SaveFrame(COpenGLWnd& view, const std::string& name, HWND window = nullptr);

}  // namespace guitest
}  // namespace melvora
