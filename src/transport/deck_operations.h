#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "string_ids.h"
#include "transport/audio_transport.h"
#include "transport/deck_view.h"

namespace melvora {

// The transport operations of the main controls: record, stop, play, pause, rewind, seek, new,
// open, save and close, with what each does to the WAV files, the devices and the deck's
// controls. Owns the transport. Window thread only; every mode change goes through the
// transport's handshake. Texts come from the string table in the settings' language.
class DeckOperations {
  public:
    // Builds the transport (see AudioTransport) and disables Rew and Play. The worker is
    // started by StartWorker, after the window has been set up.
    DeckOperations(DeckView& view, TransportOwner& owner,
                   std::unique_ptr<TransportAnalysis> analysis,
                   std::unique_ptr<WaveInPort> capturePort,
                   std::unique_ptr<WaveOutPort> playbackPort,
                   const TransportSettings& settings = TransportSettings());
    ~DeckOperations();
    DeckOperations(const DeckOperations&) = delete;
    DeckOperations& operator=(const DeckOperations&) = delete;

    void StartWorker() { transport_->StartWorker(); }
    AudioTransport& Transport() { return *transport_; }

    // New settings: the language at once, the rates at the next set-up (New, Open, Save).
    void SetSettings(const TransportSettings& settings) { transport_->SetSettings(settings); }

    // What the worker reported (posted to the window thread): the end of a replay pauses it
    // at its first frame; a failed device or file ends what depended on it and says so.
    void OnTransportEvent(TransportEvent event, int deviceError);

    // Rec button (and the exercise runner): start a take, or stop the running one.
    void RecordToggle();
    // Ends a take (Recording), or starts a new take (RecordStopped).
    void StopRecording();
    // Play button: start or pause the replay.
    void PlayToggle();
    // Pauses a running replay, restarts a paused one.
    void PauseReplay();
    // Rew button and the end of a replay: back to the first frame.
    void Rewind();
    // Slider moved: replay position from SliderPosition() (milliseconds).
    void Seek();
    // Empties the working file for a new recording (asks to save unless forced).
    void New(bool forced);
    // Asks for a file and makes it the current file, for replay and appending. The working
    // file itself is refused: a later New would empty it under the user's eyes.
    void Open(bool forced);
    // Asks for a target when something unsaved is in the working file; true to go on.
    bool Save();
    // Copies the working file to `targetPath` and continues on the copy; true on success or
    // when there is nothing to save. Also the exercise runner's way to keep a take.
    [[nodiscard]] bool SaveTo(const std::string& targetPath);
    // "Do you wish to save your recordings?" when something is unsaved; false = cancelled.
    bool AskSave();
    // The window's close: walks the mode down to Idle, asks to save, closes the file. true =
    // close (the worker stays paused until the transport is destroyed); false = cancelled,
    // everything as it was.
    bool Close();
    // Timer 1, the operations and the language switch: slider and time text.
    void RefreshTimeDisplay();

    // Menu states: New, Open and the exercises; Save.
    bool CanNewOrOpen() const;
    bool CanSave() const;

    // The text for a time: "%4d:%02d".
    static std::wstring FormatMinutesSeconds(int seconds);

  private:
    void HandshakeTo(TransportMode mode);
    void StartRecordingFromIdle();
    void StartReplayFromPaused();
    void StartReplayFromIdle();
    // Closes the replay reader and goes to Idle (from ReplayPaused).
    void LeaveReplayPaused();
    // Closes the current file, deleting an empty working file. false when cancelled.
    bool ReleaseCurrentFile(bool forced);
    // Closes the current file (if any) without asking, deleting an empty working file.
    void DropCurrentFile();
    // Before New or Open: settles a stopped or paused deck in Idle. false while recording or
    // replaying, when neither may start.
    bool SettleForFileChange();
    // A recording or replay has stopped: `released` pops up, `enabled` come back, the
    // analysis results are reset and the time stops.
    void ShowStopped(DeckButton released, std::initializer_list<DeckButton> enabled);
    // The time display for the current file, with no replay range on the slider.
    void ShowFileTime();
    void EnableReplayButtons(bool enable);
    void SetUpWithHandshake();
    std::wstring Text(int id) const;
    // The current file could not be written (its samples or its header): says so, with its
    // path.
    void ShowWriteFailure();
    // A sound device failed: text `textId` and the system's text for `deviceError`, if any.
    void ShowDeviceFailure(int textId, bool capture, int deviceError);

    DeckView& view_;
    std::unique_ptr<AudioTransport> transport_;
};

}  // namespace melvora
