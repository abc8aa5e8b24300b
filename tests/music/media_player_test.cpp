#include "music/media_player.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "music/media_player_rig.h"
#include "platform/string_table.h"

namespace melvora {
namespace {

using testing_support::Log;
using testing_support::PlayerRig;
using testing_support::RecordingMciPort;
using State = MediaPlayer::State;

class MediaPlayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetStringProvider([](int entry) -> std::wstring {
            static const std::map<int, std::wstring> table = {
                {141, L"Media Player"},
                {223, L"Cannot reopen MIDI output device!"},
                {224, L"MCI error!"},
                {368, L"No MIDI output"}};
            const auto it = table.find(entry);
            return it != table.end() ? it->second : std::wstring();
        });
    }
    void TearDown() override { SetStringProvider(nullptr); }
};

TEST_F(MediaPlayerTest, TimeTexts) {
    struct Case {
        int positionSeconds, lengthSeconds;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {0, 200, L"   0:00  /    3:20"},
        {65, 200, L"   1:05  /    3:20"},
        {3599, 6000, L"  59:59  /  100:00"},
        {600000, 0, L"10000:00  /    0:00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            MediaPlayer::TimeText(c.positionSeconds, MediaPlayer::LengthText(c.lengthSeconds)),
            c.expected)
            << c.positionSeconds;
    }
}

TEST_F(MediaPlayerTest, TempoFromX8ToAnEighth) {
    // Slider -30 is the top (x8), +30 the bottom (x1/8); base tempo 120 and an odd one.
    const int positions[] = {-30, -20, -10, -5, 0, 5, 10, 20, 30};
    const int at120[] = {960, 480, 240, 170, 120, 85, 60, 30, 15};
    const int at97[] = {776, 388, 194, 137, 97, 69, 49, 24, 12};
    for (size_t i = 0; i < sizeof(positions) / sizeof(positions[0]); ++i) {
        EXPECT_EQ(MediaPlayer::TempoForSlider(positions[i], 120), at120[i]) << positions[i];
        EXPECT_EQ(MediaPlayer::TempoForSlider(positions[i], 97), at97[i]) << positions[i];
    }
}

TEST_F(MediaPlayerTest, FileTitles) {
    EXPECT_EQ(MediaPlayer::FileTitle("C:\\a\\b\\song.mid"), "song");
    EXPECT_EQ(MediaPlayer::FileTitle("/x/y.z/take.one.wav"), "take.one");
    EXPECT_EQ(MediaPlayer::FileTitle("D:/music/noext"), "noext");
    EXPECT_EQ(MediaPlayer::FileTitle("C:\\m\\.hidden"), ".hidden");
}

TEST_F(MediaPlayerTest, ChoosingReadsTheFileAndClosesTheAlias) {
    struct Case {
        bool midi;
        Log expected;
    };
    const Case cases[] = {
        {false,
         {"open \"C:\\songs\\take one.wav\" alias mydevice",
          "set mydevice time format milliseconds", "close mydevice",
          "open \"C:\\songs\\take one.wav\" alias mydevice",
          "set mydevice time format milliseconds", "status mydevice length",
          "sysinfo mydevice installname", "close mydevice"}},
        {true,
         {"open \"C:\\songs\\tune.mid\" alias mydevice", "set mydevice time format milliseconds",
          "close mydevice", "open \"C:\\songs\\tune.mid\" alias mydevice",
          "set mydevice time format milliseconds", "status mydevice length",
          "sysinfo mydevice installname", "status mydevice tempo", "close mydevice"}},
    };
    for (const Case& c : cases) {
        PlayerRig rig(c.midi);
        rig.player.OnEject();
        EXPECT_EQ(rig.log, c.expected);
        EXPECT_EQ(rig.player.CurrentState(), State::Stopped);
        EXPECT_EQ(rig.player.IsMidiFile(), c.midi);
        EXPECT_EQ(rig.view.tempoEnabled, c.midi);
        EXPECT_EQ(rig.view.rangeMax, 200);
        EXPECT_EQ(rig.view.timeText, L"   0:00  /    3:20");
        EXPECT_EQ(rig.view.caption, c.midi ? L"Media Player - tune" : L"Media Player - take one");
        EXPECT_FALSE(rig.port.AliasOpen());
        EXPECT_TRUE(rig.view.messages.empty());
    }
}

// Each case starts from a chosen file in the given state and runs one action.
struct ActionCase {
    const char* name;
    bool midi;
    State from;
    std::function<void(PlayerRig&)> action;
    Log expected;
    State to;
};

void Reach(PlayerRig& rig, State state) {
    if (state == State::NoFile) {
        return;
    }
    rig.player.OnEject();
    if (state == State::Playing || state == State::Paused) {
        rig.player.OnPlay();
    }
    if (state == State::Paused) {
        rig.player.OnPause();
    }
    rig.log.clear();
}

TEST_F(MediaPlayerTest, CommandSequencesByState) {
    const std::string openWav = "open \"C:\\songs\\take one.wav\" alias mydevice";
    const std::string openMid = "open \"C:\\songs\\tune.mid\" alias mydevice";
    const std::string timeFormat = "set mydevice time format milliseconds";
    const ActionCase cases[] = {
        {"play wav",
         false,
         State::Stopped,
         [](PlayerRig& r) { r.player.OnPlay(); },
         {openWav, timeFormat, "play mydevice notify"},
         State::Playing},
        {"play midi hands the output over",
         true,
         State::Stopped,
         [](PlayerRig& r) { r.player.OnPlay(); },
         {"release", openMid, timeFormat, "play mydevice notify"},
         State::Playing},
        {"tempo chosen while stopped applies at play",
         true,
         State::Stopped,
         [](PlayerRig& r) {
             r.player.OnTempoSlider(-10);
             r.player.OnPlay();
         },
         {"release", openMid, timeFormat, "set mydevice tempo 240", "play mydevice notify"},
         State::Playing},
        {"tempo while playing",
         true,
         State::Playing,
         [](PlayerRig& r) { r.player.OnTempoSlider(30); },
         {"set mydevice tempo 15"},
         State::Playing},
        {"tempo on a wav sends nothing",
         false,
         State::Playing,
         [](PlayerRig& r) { r.player.OnTempoSlider(-30); },
         {},
         State::Playing},
        {"play while playing restarts",
         false,
         State::Playing,
         [](PlayerRig& r) { r.player.OnPlay(); },
         {"play mydevice from 0 notify"},
         State::Playing},
        {"pause",
         false,
         State::Playing,
         [](PlayerRig& r) { r.player.OnPause(); },
         {"pause mydevice"},
         State::Paused},
        {"pause again resumes",
         false,
         State::Paused,
         [](PlayerRig& r) { r.player.OnPause(); },
         {"play mydevice notify"},
         State::Playing},
        {"play resumes",
         false,
         State::Paused,
         [](PlayerRig& r) { r.player.OnPlay(); },
         {"play mydevice notify"},
         State::Playing},
        {"stop midi gives the output back",
         true,
         State::Paused,
         [](PlayerRig& r) { r.player.OnStop(); },
         {"close mydevice", "reclaim"},
         State::Stopped},
        {"stop while stopped",
         false,
         State::Stopped,
         [](PlayerRig& r) { r.player.OnStop(); },
         {},
         State::Stopped},
        {"seek while playing",
         false,
         State::Playing,
         [](PlayerRig& r) { r.player.OnPositionSlider(65); },
         {"play mydevice from 65000 notify"},
         State::Playing},
        {"seek while paused",
         false,
         State::Paused,
         [](PlayerRig& r) { r.player.OnPositionSlider(65); },
         {"seek mydevice to 65000"},
         State::Paused},
        {"timer reads the position",
         false,
         State::Playing,
         [](PlayerRig& r) { r.player.OnTimer(); },
         {"status mydevice position"},
         State::Playing},
        {"timer while paused",
         false,
         State::Paused,
         [](PlayerRig& r) { r.player.OnTimer(); },
         {},
         State::Paused},
        {"end of file",
         true,
         State::Playing,
         [](PlayerRig& r) { r.player.OnPlayNotify(true); },
         {"close mydevice", "reclaim"},
         State::Stopped},
        {"superseded notification",
         false,
         State::Playing,
         [](PlayerRig& r) { r.player.OnPlayNotify(false); },
         {},
         State::Playing},
        {"eject while playing",
         false,
         State::Playing,
         [](PlayerRig& r) {
             r.view.nextPath.clear();
             r.player.OnEject();
         },
         {"close mydevice", openWav, timeFormat, "status mydevice length",
          "sysinfo mydevice installname", "close mydevice"},
         State::Stopped},
        {"play with no file asks, then plays",
         false,
         State::NoFile,
         [](PlayerRig& r) { r.player.OnPlay(); },
         {openWav, timeFormat, "close mydevice", openWav, timeFormat, "status mydevice length",
          "sysinfo mydevice installname", "close mydevice", openWav, timeFormat,
          "play mydevice notify"},
         State::Playing},
        {"destroy while paused",
         false,
         State::Paused,
         [](PlayerRig& r) { r.player.OnDestroy(); },
         {"close mydevice"},
         State::Stopped},
    };
    for (const ActionCase& c : cases) {
        PlayerRig rig(c.midi);
        rig.port.On("status mydevice position", 0, "65400");
        Reach(rig, c.from);
        c.action(rig);
        EXPECT_EQ(rig.log, c.expected) << c.name;
        EXPECT_EQ(rig.player.CurrentState(), c.to) << c.name;
        EXPECT_TRUE(rig.view.messages.empty()) << c.name;
        const bool aliasOpen = c.to == State::Playing || c.to == State::Paused;
        EXPECT_EQ(rig.port.AliasOpen(), aliasOpen) << c.name;
        EXPECT_EQ(rig.view.timerRunning, c.to == State::Playing) << c.name;
        EXPECT_EQ(rig.view.playLatched, aliasOpen) << c.name;
        EXPECT_EQ(rig.view.pauseLatched, c.to == State::Paused) << c.name;
        EXPECT_EQ(rig.view.pageSize, aliasOpen ? 1 : 0) << c.name;
    }
}

TEST_F(MediaPlayerTest, PositionSliderAndTimeTextByState) {
    struct Case {
        State state;
        int expectedPosition;
        const wchar_t* expectedText;
    };
    const Case cases[] = {
        {State::NoFile, 0, L""},
        {State::Stopped, 0, L"   0:00  /    3:20"},
        {State::Playing, 65, L"   1:05  /    3:20"},
        {State::Paused, 65, L"   1:05  /    3:20"},
    };
    for (const Case& c : cases) {
        PlayerRig rig;
        Reach(rig, c.state);
        rig.view.position = 65;
        rig.player.OnPositionSlider(65);
        EXPECT_EQ(rig.view.position, c.expectedPosition) << static_cast<int>(c.state);
        EXPECT_EQ(rig.view.timeText, c.expectedText) << static_cast<int>(c.state);
    }
    PlayerRig rig;
    Reach(rig, State::Playing);
    rig.port.On("status mydevice position", 0, "199999");
    rig.player.OnTimer();
    EXPECT_EQ(rig.view.position, 199);
    EXPECT_EQ(rig.view.timeText, L"   3:19  /    3:20");
}

// Failures: one message each, the alias never left open, the MIDI output always returned.
TEST_F(MediaPlayerTest, FailuresCloseTheAliasAndReportOnce) {
    struct Case {
        const char* name;
        bool midi;
        const char* failing;  // command prefix that fails (or answers badly)
        uint32_t code;
        const char* reply;
        std::function<void(PlayerRig&)> action;
        State to;
        size_t messages;
    };
    const Case cases[] = {
        {"length query fails", false, "status mydevice length", 277, "",
         [](PlayerRig& r) { r.player.OnEject(); }, State::Stopped, 1},
        {"length unreadable", false, "status mydevice length", 0, "n/a",
         [](PlayerRig& r) { r.player.OnEject(); }, State::Stopped, 0},
        {"tempo query fails", true, "status mydevice tempo", 277, "",
         [](PlayerRig& r) { r.player.OnEject(); }, State::Stopped, 1},
        {"file does not open", false, "open", 275, "", [](PlayerRig& r) { r.player.OnEject(); },
         State::NoFile, 1},
        {"no synthesizer: midi open fails at play", true, "open", 0, "",
         [](PlayerRig& r) {
             r.player.OnEject();
             r.port.On("open", 266);
             r.player.OnPlay();
         },
         State::Stopped, 1},
        {"play fails", true, "play", 266, "",
         [](PlayerRig& r) {
             r.player.OnEject();
             r.player.OnPlay();
         },
         State::Stopped, 1},
        {"position query fails, timer stops", false, "status mydevice position", 263, "",
         [](PlayerRig& r) {
             r.player.OnEject();
             r.player.OnPlay();
             r.player.OnTimer();
             EXPECT_FALSE(r.view.timerRunning);
         },
         State::Playing, 1},
    };
    for (const Case& c : cases) {
        PlayerRig rig(c.midi);
        rig.port.On(c.failing, c.code, c.reply);
        c.action(rig);
        EXPECT_EQ(rig.player.CurrentState(), c.to) << c.name;
        EXPECT_EQ(rig.view.messages.size(), c.messages) << c.name;
        if (c.to != State::Playing) {
            EXPECT_FALSE(rig.port.AliasOpen()) << c.name;
        }
        int released = 0;
        for (const std::string& entry : rig.log) {
            released += entry == "release" ? 1 : entry == "reclaim" ? -1 : 0;
        }
        EXPECT_EQ(released, 0) << c.name;
        EXPECT_FALSE(rig.view.playLatched && c.to != State::Playing) << c.name;
    }
}

TEST_F(MediaPlayerTest, MidiFileWithoutAnyMidiOutputIsRefusedOnce) {
    PlayerRig rig(true);
    rig.port.midiOutput = false;
    rig.Choose();
    rig.player.OnPlay();
    EXPECT_TRUE(rig.log.empty());
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0], L"No MIDI output");
    EXPECT_EQ(rig.player.CurrentState(), State::Stopped);
    EXPECT_FALSE(rig.view.timerRunning);
    // A WAV file plays all the same.
    PlayerRig wav;
    wav.port.midiOutput = false;
    wav.ChooseAndPlay();
    EXPECT_EQ(wav.player.CurrentState(), State::Playing);
}

TEST_F(MediaPlayerTest, FailureMessageCarriesTheSystemText) {
    PlayerRig rig;
    rig.port.On("open", 275);
    rig.player.OnEject();
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0], L"MCI error!\nerror 275");
    EXPECT_EQ(rig.player.FilePath(), "");
    EXPECT_EQ(rig.view.caption, L"Media Player");
}

TEST_F(MediaPlayerTest, AfterAFailedQueryTheNextFileOpens) {
    PlayerRig rig;
    rig.port.On("status mydevice length", 277);
    rig.player.OnEject();
    rig.port.On("status mydevice length", 0, "65000");
    rig.view.messages.clear();
    rig.player.OnEject();
    EXPECT_TRUE(rig.view.messages.empty());
    EXPECT_EQ(rig.view.rangeMax, 65);
    rig.player.OnPlay();
    EXPECT_EQ(rig.player.CurrentState(), State::Playing);
}

TEST_F(MediaPlayerTest, OutputThatCannotBeReclaimedIsReported) {
    PlayerRig rig(true);
    rig.handover.reclaimWorks = false;
    Reach(rig, State::Playing);
    rig.player.OnStop();
    ASSERT_EQ(rig.view.messages.size(), 1u);
    EXPECT_EQ(rig.view.messages[0], L"Cannot reopen MIDI output device!");
    // The next play hands over and reclaims again: the keyboard gets another chance.
    rig.handover.reclaimWorks = true;
    rig.log.clear();
    rig.player.OnPlay();
    rig.player.OnStop();
    EXPECT_EQ(rig.log.front(), "release");
    EXPECT_EQ(rig.log.back(), "reclaim");
}

TEST_F(MediaPlayerTest, MidiFileWithoutKeyboardPlays) {
    Log log;
    RecordingMciPort port(log);
    port.On("status mydevice length", 0, "1000");
    port.On("sysinfo mydevice installname", 0, "sequencer");
    port.On("status mydevice tempo", 0, "100");
    testing_support::FakePlayerView view;
    view.nextPath = "a.mid";
    MediaPlayer player(port, view, nullptr);
    player.Start();
    player.OnPlay();
    player.OnStop();
    EXPECT_EQ(player.CurrentState(), State::Stopped);
    EXPECT_TRUE(view.messages.empty());
}

}  // namespace
}  // namespace melvora
