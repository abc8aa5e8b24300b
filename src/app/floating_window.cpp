#include "app/floating_window.h"

#include "resource_ids.h"
#include "string_ids.h"

namespace melvora {

namespace {

// The volume window keeps its template's "Volume" in both languages.
constexpr std::array<FloatingWindowDescriptor, kFloatingWindowCount> kWindows = {{
    {FloatingWindow::Analysis, IDD_ANALYSIS, ID_VIEW_ANALYSIS, IDS_ANALYSIS, "analiz.htm"},
    {FloatingWindow::MediaPlayer, IDD_MEDIA_PLAYER, ID_VIEW_MEDIA_PLAYER, IDS_MEDIA_PLAYER,
     "ortam.htm"},
    {FloatingWindow::Keyboard, IDD_KEYBOARD, ID_VIEW_KEYBOARD, IDS_KEYBOARD, "klavye.htm"},
    {FloatingWindow::Staff, IDD_STAFF, ID_VIEW_STAFF, IDS_STAFF, "porte.htm"},
    {FloatingWindow::Volume, IDD_VOLUME, ID_VIEW_VOLUME, 0, "ses.htm"},
}};

}  // namespace

const std::array<FloatingWindowDescriptor, kFloatingWindowCount>& FloatingWindows() {
    return kWindows;
}

const FloatingWindowDescriptor& Describe(FloatingWindow window) {
    return kWindows[static_cast<size_t>(IndexOf(window))];
}

bool FloatingWindowAt(int index, FloatingWindow* window) {
    if (index < 0 || index >= kFloatingWindowCount) {
        return false;
    }
    *window = kWindows[static_cast<size_t>(index)].window;
    return true;
}

bool FloatingWindowOfCommand(int commandId, FloatingWindow* window) {
    for (const FloatingWindowDescriptor& d : kWindows) {
        if (d.viewCommand == commandId) {
            *window = d.window;
            return true;
        }
    }
    return false;
}

}  // namespace melvora
