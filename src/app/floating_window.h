#pragma once

#include <array>
#include <cstddef>

namespace melvora {

// The five floating windows of the window set. The values are the windows' places in the
// set (and in the stuck matrix), so they stay as they are.
enum class FloatingWindow { Analysis = 0, MediaPlayer = 1, Keyboard = 2, Staff = 3, Volume = 4 };

constexpr int kFloatingWindowCount = 5;

// What the program knows about one floating window before it exists.
struct FloatingWindowDescriptor {
    FloatingWindow window;
    int dialogId;          // dialog resource
    int viewCommand;       // View menu command that shows and hides it
    int captionStringId;   // window text; 0 keeps the template's
    const char* helpPage;  // help topic page, e.g. "analiz.htm"
};

// Every floating window in set order.
const std::array<FloatingWindowDescriptor, kFloatingWindowCount>& FloatingWindows();
const FloatingWindowDescriptor& Describe(FloatingWindow window);

inline int IndexOf(FloatingWindow window) {
    return static_cast<int>(window);
}
// The window at set place `index`; false for an index outside the set.
bool FloatingWindowAt(int index, FloatingWindow* window);
// The window a View command shows and hides; false for another command.
bool FloatingWindowOfCommand(int commandId, FloatingWindow* window);

}  // namespace melvora
