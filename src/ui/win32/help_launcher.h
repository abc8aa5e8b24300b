#pragma once

#include <windows.h>

#include <string>

namespace melvora {

// Opens `topic` ("Melvora.chm::/en/ana.htm") of the help file in the program directory with
// the HTML Help control (HH_DISPLAY_TOPIC). The control's HtmlHelpW is found once, on first
// use: the server registered for the control's class, else "hhctrl.ocx", function ordinal
// 14. When that fails, this and every later call do nothing and return null. Returns the
// help window.
HWND OpenHelpTopic(HWND caller, const std::string& topic);

// Closes every help window this process opened (HH_CLOSE_ALL). Does nothing when no topic
// was opened.
void CloseAllHelpWindows();

// Whether HtmlHelpW could be found (resolving it on first call).
bool HtmlHelpAvailable();

// The full path handed to the control: program directory followed by the topic.
std::string HelpTopicPath(const std::string& topic);

}  // namespace melvora
