#pragma once

#include <cstdint>
#include <string>

namespace melvora {

class MciPort;
class MediaPlayerView;
class MidiHandover;

// The media player's logic: one MCI alias, "mydevice", open only while a file plays or is
// paused (and for a moment while a chosen file is read). A MIDI file needs the MIDI output
// that the keyboard holds, so the shared output is released before such a file opens and
// reclaimed after it closes. Every failed MCI command is shown once ("MCI error!" and the
// system's text) and the action that needed it stops there.
class MediaPlayer {
  public:
    enum class State { NoFile = 0, Stopped = 1, Playing = 2, Paused = 3 };

    static constexpr int kTempoSliderMin = -30;  // x8
    static constexpr int kTempoSliderMax = 30;   // x1/8
    static constexpr int kTimerPeriodMs = 1000;

    // `handover` may be null (no keyboard window): MIDI files then play without it.
    MediaPlayer(MciPort& port, MediaPlayerView& view, MidiHandover* handover);

    // The keyboard's output, once it exists; only while no file plays (nothing is
    // released then).
    void SetMidiHandover(MidiHandover* handover) { handover_ = handover; }

    // The window is ready: tempo slider at x1 and disabled, position 0..0, empty time text.
    void Start();

    // Buttons.
    void OnPlay();
    void OnPause();
    void OnStop();
    void OnEject();
    // The position slider moved to `seconds` (every scroll code).
    void OnPositionSlider(int seconds);
    // The tempo slider moved to `position` (-30..30).
    void OnTempoSlider(int position);
    // The 1-second timer.
    void OnTimer();
    // The end-of-play notification; `successful` for MCI_NOTIFY_SUCCESSFUL only.
    void OnPlayNotify(bool successful);
    // The window is going away: a file that plays or is paused is closed.
    void OnDestroy();
    // Window text and time text again, in the language now in force.
    void RefreshTexts();

    State CurrentState() const { return state_; }
    const std::string& FilePath() const { return path_; }
    bool IsMidiFile() const { return isMidi_; }
    int LengthSeconds() const { return lengthSeconds_; }
    int BaseTempo() const { return baseTempo_; }

    // "%4d:%02d" of `seconds`.
    static std::wstring LengthText(int seconds);
    // "%4d:%02d  / <length text>".
    static std::wstring TimeText(int positionSeconds, const std::wstring& lengthText);
    // The MCI tempo for slider `position`: 2^(-position/10) x base, rounded half up.
    static int TempoForSlider(int position, int baseTempo);
    // The file's name without folder and extension.
    static std::string FileTitle(const std::string& path);

  private:
    bool Send(const std::string& command, std::string* reply = nullptr);
    bool SendForNumber(const std::string& command, int* value);
    [[nodiscard]] bool OpenAlias();
    void CloseAlias();
    bool ChooseFile();
    bool ReadFileInformation();
    void PlayFromBeginning();
    void StopAndClose();
    void Resume();
    bool ApplyTempo();
    void ReclaimMidiOutput();
    void ShowTime(int seconds);
    void ShowFailure(uint32_t code);

    MciPort& port_;
    MediaPlayerView& view_;
    MidiHandover* handover_;
    State state_ = State::NoFile;
    std::string path_;
    bool isMidi_ = false;
    bool released_ = false;
    int lengthSeconds_ = 0;
    int baseTempo_ = 0;
    int tempoPosition_ = 0;
    std::wstring lengthText_;
    // A message box is open: failures meanwhile (a timer tick) are not shown again.
    bool reporting_ = false;
};

}  // namespace melvora
