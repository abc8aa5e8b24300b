#pragma once

#include <map>
#include <string>
#include <vector>

#include "music/media_player.h"
#include "music/media_player_view.h"
#include "music/midi_handover.h"
#include "platform/mci_port.h"

namespace melvora {
namespace testing_support {

// One log of everything the player did through its seams, in order: MCI commands as sent,
// "release"/"reclaim" of the shared MIDI output.
using Log = std::vector<std::string>;

// Answers MCI commands from a table keyed by the command's first words (longest match
// wins); unknown commands succeed with an empty reply. Like MCI it keeps the alias: opening
// it twice fails, and commands on it while it is closed fail.
class RecordingMciPort : public MciPort {
  public:
    struct Answer {
        uint32_t code;
        std::string reply;
    };
    explicit RecordingMciPort(Log& log) : log_(log) {}
    void On(const std::string& prefix, uint32_t code, const std::string& reply = "") {
        answers_[prefix] = Answer{code, reply};
    }
    static constexpr uint32_t kInvalidDevice = 263;
    static constexpr uint32_t kDeviceOpen = 289;

    bool AliasOpen() const { return aliasOpen_; }

    uint32_t Send(const std::string& command, std::string* reply) override {
        log_.push_back(command);
        if (reply != nullptr) {
            reply->clear();
        }
        const bool opening = command.compare(0, 5, "open ") == 0;
        if (opening && aliasOpen_) {
            return kDeviceOpen;
        }
        if (!opening && !aliasOpen_) {
            return kInvalidDevice;
        }
        const Answer* best = nullptr;
        size_t bestLength = 0;
        for (const auto& entry : answers_) {
            if (command.compare(0, entry.first.size(), entry.first) == 0 &&
                entry.first.size() >= bestLength) {
                best = &entry.second;
                bestLength = entry.first.size();
            }
        }
        if (reply != nullptr && best != nullptr) {
            *reply = best->reply;
        }
        const uint32_t code = best != nullptr ? best->code : 0;
        if (code == 0 && opening) {
            aliasOpen_ = true;
        } else if (code == 0 && command == "close mydevice") {
            aliasOpen_ = false;
        }
        return code;
    }
    std::wstring ErrorText(uint32_t code) override { return L"error " + std::to_wstring(code); }
    bool MidiOutputAvailable() override { return midiOutput; }
    bool midiOutput = true;

  private:
    Log& log_;
    std::map<std::string, Answer> answers_;
    bool aliasOpen_ = false;
};

class RecordingHandover : public MidiHandover {
  public:
    explicit RecordingHandover(Log& log) : log_(log) {}
    void Release() override { log_.push_back("release"); }
    bool Reclaim() override {
        log_.push_back("reclaim");
        return reclaimWorks;
    }
    bool reclaimWorks = true;

  private:
    Log& log_;
};

class FakePlayerView : public MediaPlayerView {
  public:
    void SetCaption(const std::wstring& text) override { caption = text; }
    void SetTimeText(const std::wstring& text) override { timeText = text; }
    void SetPositionRange(int maximumSeconds) override { rangeMax = maximumSeconds; }
    void SetPositionPageSize(int pageSeconds) override { pageSize = pageSeconds; }
    void SetPosition(int seconds) override { position = seconds; }
    void SetTempoPosition(int value) override { tempoPosition = value; }
    void EnableTempo(bool enabled) override { tempoEnabled = enabled; }
    void ShowPlayLatched(bool latched) override { playLatched = latched; }
    void ShowPauseLatched(bool latched) override { pauseLatched = latched; }
    void SetTimerRunning(bool running) override { timerRunning = running; }
    bool AskOpenPath(std::string* path) override {
        ++dialogs;
        if (nextPath.empty()) {
            return false;
        }
        *path = nextPath;
        return true;
    }
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }
    int Language() const override { return 0; }

    std::wstring caption, timeText;
    int rangeMax = -1, pageSize = -1, position = -1, tempoPosition = 99;
    bool tempoEnabled = true, playLatched = false, pauseLatched = false, timerRunning = false;
    std::string nextPath;
    int dialogs = 0;
    std::vector<std::wstring> messages;
};

// A player over the fakes, with a 200.5-second WAV or MIDI file ready to be chosen.
struct PlayerRig {
    Log log;
    RecordingMciPort port{log};
    RecordingHandover handover{log};
    FakePlayerView view;
    MediaPlayer player{port, view, &handover};

    explicit PlayerRig(bool midi = false) {
        port.On("status mydevice length", 0, "200500");
        port.On("sysinfo mydevice installname", 0, midi ? "Sequencer" : "waveaudio");
        port.On("status mydevice tempo", 0, "120");
        view.nextPath = midi ? "C:\\songs\\tune.mid" : "C:\\songs\\take one.wav";
        player.Start();
    }
    // Chooses the file, then forgets what that logged.
    void Choose() {
        player.OnEject();
        log.clear();
    }
    void ChooseAndPlay() {
        player.OnEject();
        player.OnPlay();
        log.clear();
    }
};

}  // namespace testing_support
}  // namespace melvora
