#include "music/note_mouse.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace melvora {
namespace {

class Host : public NoteMouseHost {
  public:
    void Capture(bool on) override { log.push_back(on ? "capture" : "uncapture"); }
    void Highlight(int item, bool pressed) override {
        log.push_back((pressed ? "press" : "hover") + std::to_string(item));
    }
    void Unhighlight(int item) override { log.push_back("unlight" + std::to_string(item)); }
    void NoteOn(int item) override { log.push_back("on" + std::to_string(item)); }
    void NoteOff(int item) override { log.push_back("off" + std::to_string(item)); }
    void AllNotesOff() override { log.push_back("alloff"); }
    std::vector<std::string> log;
};

// Scripts of mouse events: mN moves over item N (m-1: over none), MN moves there with the
// button held, d and u press and release the button, f loses the focus. A move without
// the button reports whether the hovered item changed ("changed" in the log).
TEST(NoteMouse, PlaysOneNoteAtATimeAsTheMouseMoves) {
    using S = NoteMouse::State;
    const struct {
        const char* what;
        const char* events;
        std::vector<std::string> log;
        S end;
    } scripts[] = {
        {"hover, click, release",
         "m3 d u",
         {"capture", "hover3", "changed", "press3", "on3", "hover3", "off3"},
         S::Hovering},
        {"the same note under a moving mouse sends nothing",
         "m3 m3",
         {"capture", "hover3", "changed"},
         S::Hovering},
        {"hover across notes and out",
         "m3 m4 m-1",
         {"capture", "hover3", "changed", "unlight3", "hover4", "changed", "uncapture", "unlight4",
          "changed"},
         S::Idle},
        {"drag across keys: note off before the next note on",
         "M3 M4",
         {"capture", "press3", "on3", "unlight3", "off3", "press4", "on4"},
         S::Playing},
        {"leave with the button held, come back, release",
         "M3 M-1 m5 u",
         {"capture", "press3", "on3", "unlight3", "off3", "press5", "on5", "changed", "hover5",
          "off5"},
         S::Hovering},
        {"release outside ends the capture",
         "M3 M-1 u",
         {"capture", "press3", "on3", "unlight3", "off3", "uncapture"},
         S::Idle},
        {"focus lost while playing silences and clears the key",
         "M3 f",
         {"capture", "press3", "on3", "uncapture", "unlight3", "alloff"},
         S::Idle},
    };
    for (const auto& script : scripts) {
        Host host;
        NoteMouse mouse(host);
        std::istringstream events(script.events);
        int last = -1;
        for (std::string e; events >> e;) {
            if (e[0] == 'm' || e[0] == 'M') {
                last = std::stoi(e.substr(1));
                if (mouse.Move(last, e[0] == 'M') && e[0] == 'm') {
                    host.log.push_back("changed");
                }
            } else if (e == "d") {
                mouse.ButtonDown();
            } else if (e == "u") {
                mouse.ButtonUp();
            } else {
                mouse.FocusLost();
            }
        }
        EXPECT_EQ(host.log, script.log) << script.what;
        EXPECT_EQ(mouse.CurrentState(), script.end) << script.what;
        // A hovering mouse names the note under it, an idle one none: the views light it.
        if (script.end == S::Hovering || script.end == S::Idle) {
            EXPECT_EQ(mouse.Hovered(), script.end == S::Idle ? -1 : last) << script.what;
        }
    }
}

}  // namespace
}  // namespace melvora
