#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "platform/wave_port.h"
#include "transport/transport_analysis.h"
#include "transport/transport_owner.h"
#include "transport/transport_settings.h"

namespace melvora {

class ReplayReader;
class WaveFile;
class WaveInDevice;
class WaveOutDevice;

enum class TransportMode : int32_t {
    Idle = 0,
    Recording = 1,
    RecordStopped = 2,
    Replaying = 3,
    ReplayPaused = 4,
};

// The spine of the program: a worker thread that takes one block at a time from the source the
// mode selects (the microphone, or the replay reader while Replaying), hands it to the
// analysis, then to the sink the mode selects (the recording file while Recording, the
// speaker while Replaying). All audio here is mono 16-bit PCM at the transport rate: the
// current file's rate, or the settings' recording rate when there is no current file. What the
// worker meets (the end of a replay, a failed device or file) it reports as a TransportEvent.
//
// Threads: the window thread makes every call below. The mode, the current file and the
// replay reader change only between Pause and Resume (the handshake), or before StartWorker.
// Rewind and seek move the replay reader without the handshake (the reader locks itself).
class AudioTransport {
  public:
    // The working recording file's name, in the program directory.
    static constexpr const char* kWorkingFileName = "tmp.wav";
    // How long destruction waits for the worker to end.
    static constexpr int kStopWaitMs = 3000;

    // Creates both devices (closed), the working file (program directory + "tmp.wav", at the
    // settings' recording rate; when it cannot be created there is no current file) and runs
    // the set-up. The worker does not run until StartWorker.
    AudioTransport(TransportOwner& owner, std::unique_ptr<TransportAnalysis> analysis,
                   std::unique_ptr<WaveInPort> capturePort,
                   std::unique_ptr<WaveOutPort> playbackPort,
                   const TransportSettings& settings = TransportSettings());
    // Sets the stop request and waits up to StopWaitMs() for the worker. A worker that does not
    // end in time is abandoned, not killed (killing a thread that may hold a lock can hang or
    // corrupt the rest of the exit): it keeps everything it uses alive and frees it itself if it
    // ever ends, and it posts nothing more to the owner. Either way the current file is closed
    // here, so a recording's header is complete on disk; an abandoned worker writes no more.
    ~AudioTransport();
    AudioTransport(const AudioTransport&) = delete;
    AudioTransport& operator=(const AudioTransport&) = delete;

    // Starts the worker thread; once only.
    void StartWorker();
    bool WorkerStarted() const { return worker_.joinable() || abandoned_; }

    // Handshake. Pause returns once the worker has finished the pass it was in and parked;
    // until Resume it sleeps on a condition variable and touches nothing but its parked flag.
    // Pauses nest: only the outermost Resume lets the worker go on. Both return at once when
    // the worker is not running. A pass ends within the devices' stall limit even when a
    // sound card hangs, so Pause never waits longer than that.
    void Pause();
    void Resume();
    bool IsPaused() const { return pauseDepth_ > 0; }

    // Configures the analysis, the block buffer and both devices for the transport rate.
    // Call between Pause and Resume (or before StartWorker).
    void SetUp();

    // The settings the next set-up uses (rate, frame length, skip rate). Window thread.
    const TransportSettings& Settings() const { return settings_; }
    void SetSettings(const TransportSettings& settings) { settings_ = settings; }
    // Takes effect at once, also while the worker runs.
    void SetVoiceActivationSensitivity(float sensitivity);

    TransportMode Mode() const;
    // Between Pause and Resume only.
    void SetMode(TransportMode mode);

    // The file recordings are appended to, or null.
    WaveFile* CurrentFile();
    // Replaces (and closes) the current file; waits while the worker is appending a block.
    void SetCurrentFile(std::unique_ptr<WaveFile> file);
    // The replay reader, or null; it exists only in Replaying and ReplayPaused.
    ReplayReader* Reader();
    // Replaces the reader. Not while Replaying unless paused.
    void SetReader(std::unique_ptr<ReplayReader> reader);

    // Clears the results the views show (through the analysis).
    void ResetResultsOfAnalysis();

    bool EndOfFile() const;
    void ClearEndOfFile();

    bool Opened() const { return opened_; }
    void SetOpened(bool opened) { opened_ = opened; }
    bool Recorded() const { return recorded_; }
    void SetRecorded(bool recorded) { recorded_ = recorded; }
    const std::string& CurrentPath() const { return currentPath_; }
    void SetCurrentPath(const std::string& path) { currentPath_ = path; }
    const std::wstring& LengthText() const { return lengthText_; }
    void SetLengthText(const std::wstring& text) { lengthText_ = text; }

    // The transport rate of the last set-up and the samples per block.
    int SampleRateHz() const;
    int BlockLength() const;
    // The rate the next set-up will use.
    int TransportRateHz();

    // The system's text for a device error that a CaptureFailed or PlaybackFailed event
    // carried (empty when it has none). Window thread.
    std::wstring CaptureErrorText(int deviceError) const;
    std::wstring PlaybackErrorText(int deviceError) const;

    // Program directory + "tmp.wav".
    static std::string WorkingFilePath();

    // Tests: a shorter destruction wait, and whether the worker was abandoned.
    void SetStopWaitMs(int milliseconds) { stopWaitMs_ = milliseconds; }
    bool WorkerAbandoned() const { return abandoned_; }

    struct Shared;

  private:
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
    int pauseDepth_ = 0;
    bool abandoned_ = false;
    int stopWaitMs_ = kStopWaitMs;
    TransportSettings settings_;
    bool opened_ = false;
    bool recorded_ = false;
    std::string currentPath_;
    std::wstring lengthText_;
};

}  // namespace melvora
