#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/wave_port.h"

namespace melvora {

// A clocked fake sound card with one capture and one playback channel. Capture fills the
// queued buffers from a sample source at the sample rate and marks them done; playback takes
// the queued buffers' samples into a sink at the sample rate and marks them done. What a real
// card would lose (sound captured while no buffer is queued) is lost here too and counted.
//
// Clock: kManual advances only when asked (AdvanceMicroseconds) and when a device waits through
// its port (Sleep(ms) advances the card by ms), so tests are deterministic; kRealTime runs the
// card from a thread at `speed` times real time (a stall longer than 50 ms is not made up),
// and a port Sleep(ms) waits ms / speed.
//
// The ports keep the card alive, so a port may outlive the SimulatedSoundCard object; the
// real-time thread ends with the object. Source and sink are called on whatever thread moves
// the clock, with the card's lock held: they must not call back into the card.
class SimulatedSoundCard {
  public:
    enum class ClockMode { kManual, kRealTime };
    // Fills `count` interleaved samples of captured sound.
    using CaptureSource = std::function<void(int16_t* samples, size_t count)>;
    // Receives `count` interleaved samples that the card has played.
    using PlaybackSink = std::function<void(const int16_t* samples, size_t count)>;

    explicit SimulatedSoundCard(ClockMode mode = ClockMode::kManual, double speed = 1.0);
    ~SimulatedSoundCard();
    SimulatedSoundCard(const SimulatedSoundCard&) = delete;
    SimulatedSoundCard& operator=(const SimulatedSoundCard&) = delete;

    // Without a source the card captures silence; without a sink played sound is dropped.
    void SetCaptureSource(CaptureSource source);
    void SetPlaybackSink(PlaybackSink sink);
    // Makes the next Open of that direction fail, as a machine without such a device does.
    void SetOpenFails(bool captureFails, bool playbackFails);
    // Makes that direction hang as a broken driver does: its clock runs on, but no queued
    // buffer is ever finished (Reset still returns them).
    void SetStalled(bool captureStalls, bool playbackStalls);

    // Manual clock only: moves the card's time forward.
    void AdvanceMicroseconds(int64_t microseconds);
    int64_t NowMicroseconds() const;

    std::unique_ptr<WaveInPort> MakeCapturePort();
    std::unique_ptr<WaveOutPort> MakePlaybackPort();

    // Frames the capture channel has sampled since it was first started, and those of them
    // that no queued buffer could take.
    int64_t CapturedFrameCount() const;
    int64_t DroppedCaptureFrameCount() const;
    // Frames handed to the sink, and frames of silence played because nothing was queued.
    int64_t PlayedFrameCount() const;
    int64_t UnderrunFrameCount() const;
    int QueuedCaptureBufferCount() const;
    int QueuedPlaybackBufferCount() const;

    struct Impl;

  private:
    std::shared_ptr<Impl> impl_;
};

}  // namespace melvora
