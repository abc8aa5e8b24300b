#include "music/media_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>

#include "music/media_player_view.h"
#include "music/midi_handover.h"
#include "platform/mci_port.h"
#include "platform/string_table.h"
#include "resources/rc_string_table.h"

namespace melvora {
namespace {

using State = MediaPlayer::State;

// One log of what the player did through its seams: MCI commands ("open" and "ms" short for
// the open and time-format strings) and "release"/"reclaim" of the shared MIDI output. Like
// MCI the port keeps the alias: a second open fails, so does a command while it is closed.
// Answers come from a table keyed by the logged command.
struct Rig : MciPort, MidiHandover, MediaPlayerView {
    explicit Rig(bool midi) {
        answers["status mydevice length"] = {0, "200500"};
        answers["sysinfo mydevice installname"] = {0, midi ? "Sequencer" : "waveaudio"};
        answers["status mydevice tempo"] = {0, "120"};
        answers["status mydevice position"] = {0, "65400"};
        path = midi ? "C:\\songs\\tune.mid" : "D:/music/take.one.wav";
        SetStringProvider(ProgramText);
        player.Start();
    }
    ~Rig() override { SetStringProvider(nullptr); }
    uint32_t Send(const std::string& command, std::string* reply) override {
        const bool opening = command.compare(0, 5, "open ") == 0;
        const std::string logged = opening                                              ? "open"
                                   : command == "set mydevice time format milliseconds" ? "ms"
                                                                                        : command;
        log += logged + "|";
        if (opening == aliasOpen) {
            return opening ? 289 : 263;
        }
        const std::pair<uint32_t, std::string> answer = answers[logged];
        if (reply != nullptr) {
            *reply = answer.second;
        }
        if (answer.first == 0 && (opening || command == "close mydevice")) {
            aliasOpen = opening;
        }
        return answer.first;
    }
    std::wstring ErrorText(uint32_t code) override { return L"error " + std::to_wstring(code); }
    bool MidiOutputAvailable() override { return midiOutput; }
    void Release() override {
        log += "release|";
        ++released;
    }
    bool Reclaim() override {
        log += "reclaim|";
        --released;
        return reclaimWorks;
    }
    void SetCaption(const std::wstring& text) override { caption = text; }
    void SetTimeText(const std::wstring& text) override { timeText = text; }
    void SetPositionRange(int maximumSeconds) override { rangeMax = maximumSeconds; }
    void SetPositionPageSize(int pageSeconds) override { pageSize = pageSeconds; }
    void SetPosition(int seconds) override { position = seconds; }
    void SetTempoPosition(int) override {}
    void EnableTempo(bool enabled) override { tempoEnabled = enabled; }
    void ShowPlayLatched(bool latched) override { playLatched = latched; }
    void ShowPauseLatched(bool latched) override { pauseLatched = latched; }
    void SetTimerRunning(bool running) override { timerRunning = running; }
    bool AskOpenPath(std::string* chosen) override {
        *chosen = path;
        return !path.empty();
    }
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }
    int Language() const override { return 0; }

    // Runs a script of steps separated by spaces: play, pause, stop, eject, timer, destroy, end,
    // superseded, seek:S, tempo:P, fail:COMMAND=CODE (words of COMMAND joined by '_'),
    // nofile (the file dialog is cancelled), nomidi, noreclaim.
    void Run(const std::string& script) {
        std::istringstream steps(script);
        std::string step;
        while (steps >> step) {
            const size_t colon = step.find(':');
            const std::string arg = colon == std::string::npos ? "" : step.substr(colon + 1);
            const std::string verb = step.substr(0, colon);
            using Button = void (MediaPlayer::*)();
            static const std::map<std::string, Button> buttons = {
                {"play", &MediaPlayer::OnPlay},   {"pause", &MediaPlayer::OnPause},
                {"stop", &MediaPlayer::OnStop},   {"eject", &MediaPlayer::OnEject},
                {"timer", &MediaPlayer::OnTimer}, {"destroy", &MediaPlayer::OnDestroy}};
            if (buttons.count(verb) != 0) {
                (player.*buttons.at(verb))();
            } else if (verb == "end" || verb == "superseded") {
                player.OnPlayNotify(verb == "end");
            } else if (verb == "seek" || verb == "tempo") {
                verb == "seek" ? player.OnPositionSlider(std::stoi(arg))
                               : player.OnTempoSlider(std::stoi(arg));
            }
            path = verb == "nofile" ? "" : path;
            midiOutput = midiOutput && verb != "nomidi";
            reclaimWorks = reclaimWorks && verb != "noreclaim";
            if (verb == "fail") {
                std::string command = arg.substr(0, arg.find('='));
                std::replace(command.begin(), command.end(), '_', ' ');
                answers[command] = {std::stoul(arg.substr(arg.find('=') + 1)), "n/a"};
            }
        }
    }

    std::map<std::string, std::pair<uint32_t, std::string>> answers;
    bool aliasOpen = false, midiOutput = true, reclaimWorks = true;
    int released = 0;
    std::string log, path;
    std::wstring caption, timeText;
    int rangeMax = -1, pageSize = -1, position = -1;
    bool tempoEnabled = true, playLatched = false, pauseLatched = false, timerRunning = false;
    std::vector<std::wstring> messages;
    MediaPlayer player{*this, *this, this};
};

// After `setup` (logged commands forgotten), `script` sends `expected` and ends in `to` with
// `messages` shown. What must always hold is checked too: the alias is open exactly while
// playing or paused, the look of Play and Pause and the slider's page follow the state, the
// timer runs only while playing, and the MIDI output is away exactly while a MIDI file plays
// or is paused.
TEST(MediaPlayerTest, CommandsByStateAndFault) {
    struct Case {
        bool midi;
        const char* setup;
        const char* script;
        std::string expected;
        State to;
        size_t messages;
    };
    // A chosen file is opened once to try it, then again for its length and device.
    const std::string tried = "open|ms|close mydevice|", length = "open|ms|status mydevice length|";
    const std::string info = length + "sysinfo mydevice installname|";
    const Case cases[] = {
        {false, "", "play", tried + info + "close mydevice|open|ms|play mydevice notify|",
         State::Playing, 0},
        // A tempo chosen while stopped waits for the next play (no error on a closed alias).
        {true, "eject", "tempo:-10 play",
         "release|open|ms|set mydevice tempo 240|play mydevice notify|", State::Playing, 0},
        {true, "eject play pause", "tempo:30", "set mydevice tempo 15|", State::Paused, 0},
        {false, "eject play", "tempo:-30", "", State::Playing, 0},
        {false, "eject play", "play", "play mydevice from 0 notify|", State::Playing, 0},
        {false, "eject play", "pause", "pause mydevice|", State::Paused, 0},
        {false, "eject play pause", "pause", "play mydevice notify|", State::Playing, 0},
        {false, "eject play pause", "play", "play mydevice notify|", State::Playing, 0},
        {false, "eject play", "seek:65", "play mydevice from 65000 notify|", State::Playing, 0},
        {false, "eject play pause", "seek:65", "seek mydevice to 65000|", State::Paused, 0},
        {false, "eject", "seek:65 stop", "", State::Stopped, 0},
        {true, "eject play", "end", "close mydevice|reclaim|", State::Stopped, 0},
        {false, "eject play", "superseded", "", State::Playing, 0},
        {true, "eject play pause", "destroy", "close mydevice|reclaim|", State::Stopped, 0},
        {false, "eject play", "nofile eject", "close mydevice|" + info + "close mydevice|",
         State::Stopped, 0},
        // Faults: whatever fails, the alias is closed again, and each failure shows once.
        {false, "", "fail:status_mydevice_length=0 eject", tried + length + "close mydevice|",
         State::Stopped, 0},
        {true, "", "fail:status_mydevice_tempo=277 eject",
         tried + info + "status mydevice tempo|close mydevice|", State::Stopped, 1},
        {false, "", "fail:open=275 eject", "open|", State::NoFile, 1},
        {true, "eject", "fail:open=266 play", "release|open|reclaim|", State::Stopped, 1},
        {true, "eject", "fail:play_mydevice_notify=266 play",
         "release|open|ms|play mydevice notify|close mydevice|reclaim|", State::Stopped, 1},
        {true, "eject", "nomidi play", "", State::Stopped, 1},
        {true, "eject play", "noreclaim stop", "close mydevice|reclaim|", State::Stopped, 1},
        {false, "eject play", "fail:status_mydevice_position=263 timer",
         "status mydevice position|", State::Playing, 1},
    };
    for (const Case& c : cases) {
        Rig rig(c.midi);
        rig.Run(c.setup);
        rig.log.clear();
        rig.Run(c.script);
        const std::string name = std::string(c.setup) + " / " + c.script;
        EXPECT_EQ(rig.log, c.expected) << name;
        EXPECT_EQ(rig.player.CurrentState(), c.to) << name;
        EXPECT_EQ(rig.messages.size(), c.messages) << name;
        const bool open = c.to == State::Playing || c.to == State::Paused;
        EXPECT_EQ(rig.aliasOpen, open) << name;
        EXPECT_EQ(rig.playLatched, open) << name;
        EXPECT_EQ(rig.pauseLatched, c.to == State::Paused) << name;
        EXPECT_EQ(rig.pageSize, open ? 1 : 0) << name;
        EXPECT_EQ(rig.timerRunning, c.to == State::Playing && c.messages == 0) << name;
        EXPECT_EQ(rig.released, c.midi && open ? 1 : 0) << name;
    }
}

TEST(MediaPlayerTest, WhatTheWindowShows) {
    EXPECT_EQ(MediaPlayer::TimeText(3599, MediaPlayer::LengthText(6000)), L"  59:59  /  100:00");
    // Slider -30 is the top (x8), +30 the bottom (x1/8).
    const int positions[] = {-30, -20, -10, -5, 0, 5, 10, 20, 30};
    const int at120[] = {960, 480, 240, 170, 120, 85, 60, 30, 15};
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(MediaPlayer::TempoForSlider(positions[i], 120), at120[i]) << positions[i];
    }
    Rig wav(false);
    wav.Run("play timer");
    EXPECT_EQ(wav.caption, L"Media Player - take.one");
    EXPECT_EQ(wav.rangeMax, 200);
    EXPECT_FALSE(wav.tempoEnabled);
    EXPECT_EQ(wav.position, 65);
    EXPECT_EQ(wav.timeText, L"   1:05  /    3:20");
    wav.Run("stop");
    EXPECT_EQ(wav.position, 0);
    EXPECT_EQ(wav.timeText, L"   0:00  /    3:20");

    Rig midi(true);
    midi.Run("eject");
    EXPECT_TRUE(midi.tempoEnabled);
    EXPECT_EQ(midi.player.BaseTempo(), 120);
    // A file that does not open leaves the former one chosen.
    midi.path = "C:\\other.wav";
    midi.Run("fail:open=275 eject");
    EXPECT_EQ(midi.player.FilePath(), "C:\\songs\\tune.mid");
    EXPECT_EQ(midi.messages, std::vector<std::wstring>{L"MCI error!\nerror 275"});
}

}  // namespace
}  // namespace melvora
