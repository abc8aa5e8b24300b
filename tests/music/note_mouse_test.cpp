#include "music/note_mouse.h"

#include <gtest/gtest.h>

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

enum class Ev { Move, MoveDown, Down, Up, Focus };
struct Event {
    Ev event;
    int item;
};
struct Script {
    const char* what;
    std::vector<Event> events;
    std::vector<std::string> log;
    NoteMouse::State end;
};

TEST(NoteMouse, PlaysOneNoteAtATimeAsTheMouseMoves) {
    using S = NoteMouse::State;
    const Script scripts[] = {
        {"hover, click, release",
         {{Ev::Move, 3}, {Ev::Down, 0}, {Ev::Up, 0}},
         {"capture", "hover3", "press3", "on3", "hover3", "off3"},
         S::Hovering},
        {"the same note under a moving mouse sends nothing",
         {{Ev::Move, 3}, {Ev::Move, 3}},
         {"capture", "hover3"},
         S::Hovering},
        {"hover across notes and out",
         {{Ev::Move, 3}, {Ev::Move, 4}, {Ev::Move, -1}},
         {"capture", "hover3", "unlight3", "hover4", "uncapture", "unlight4"},
         S::Idle},
        {"drag across keys: note off before the next note on",
         {{Ev::MoveDown, 3}, {Ev::MoveDown, 4}},
         {"capture", "press3", "on3", "unlight3", "off3", "press4", "on4"},
         S::Playing},
        {"leave with the button held, come back, release",
         {{Ev::MoveDown, 3}, {Ev::MoveDown, -1}, {Ev::Move, 5}, {Ev::Up, 0}},
         {"capture", "press3", "on3", "unlight3", "off3", "press5", "on5", "hover5", "off5"},
         S::Hovering},
        {"release outside ends the capture",
         {{Ev::MoveDown, 3}, {Ev::MoveDown, -1}, {Ev::Up, 0}},
         {"capture", "press3", "on3", "unlight3", "off3", "uncapture"},
         S::Idle},
        {"focus lost while playing silences and clears the key",
         {{Ev::MoveDown, 3}, {Ev::Focus, 0}},
         {"capture", "press3", "on3", "uncapture", "unlight3", "alloff"},
         S::Idle},
    };
    for (const Script& script : scripts) {
        Host host;
        NoteMouse mouse(host);
        for (const Event& e : script.events) {
            switch (e.event) {
                case Ev::Move:
                    mouse.Move(e.item, false);
                    break;
                case Ev::MoveDown:
                    mouse.Move(e.item, true);
                    break;
                case Ev::Down:
                    mouse.ButtonDown();
                    break;
                case Ev::Up:
                    mouse.ButtonUp();
                    break;
                case Ev::Focus:
                    mouse.FocusLost();
                    break;
            }
        }
        EXPECT_EQ(host.log, script.log) << script.what;
        EXPECT_EQ(mouse.CurrentState(), script.end) << script.what;
    }
}

TEST(NoteMouse, ReportsWhenTheHoveredItemChanges) {
    Host host;
    NoteMouse mouse(host);
    EXPECT_TRUE(mouse.Move(2, false));
    EXPECT_FALSE(mouse.Move(2, false));
    EXPECT_TRUE(mouse.Move(-1, false));
    EXPECT_EQ(mouse.Hovered(), -1);
}

}  // namespace
}  // namespace melvora
