#include "ui/deck_button_tracker.h"

#include <gtest/gtest.h>

#include <string>

namespace melvora {
namespace {

// Events: i and o move the mouse inside and outside, d and u press and release the button,
// l loses the mouse. After each event: the state (Normal, Hover, Pressed, pressed Outside)
// and the reactions asked for (repaint, capture, Release, send, activate).
std::string Trace(const std::string& events) {
    DeckButtonTracker t;
    std::string trace;
    for (char e : events) {
        const DeckButtonReaction r = e == 'i' || e == 'o' ? t.OnMouseMove(e == 'i')
                                     : e == 'd'           ? t.OnButtonDown()
                                     : e == 'u'           ? t.OnButtonUp()
                                                          : t.OnLostMouse();
        trace += (trace.empty() ? "" : " ") + std::string(1, "NHPO"[static_cast<int>(t.State())]);
        trace += std::string(r.repaint ? "r" : "") + (r.captureMouse ? "c" : "") +
                 (r.releaseMouse ? "R" : "") + (r.sendCommand ? "s" : "") +
                 (r.activateParent ? "a" : "");
    }
    return trace;
}

// Only a release over the button sends the command; the capture is held from the hover
// until the release, leave or loss of the mouse, which always ends in Normal.
TEST(DeckButtonTrackerTest, ReactionsToMouseScripts) {
    const std::pair<const char*, const char*> cases[] = {
        {"idu", "Hrc Pra NrRs"},
        {"idou", "Hrc Pra Or NrR"},
        {"idoiu", "Hrc Pra Or Pr NrRs"},
        {"iio", "Hrc H NrR"},  // hovering again changes nothing; leaving releases
        {"du", "Na N"},        // a press that did not start over the button
        {"l", "N"},
        {"il", "Hrc NrR"},
        {"idlu", "Hrc Pra NrR N"},
        {"idolu", "Hrc Pra Or NrR N"},
    };
    for (const auto& [events, expected] : cases) {
        EXPECT_EQ(Trace(events), expected) << events;
    }
}

}  // namespace
}  // namespace melvora
