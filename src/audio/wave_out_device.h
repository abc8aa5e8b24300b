#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "audio/wave_device.h"

namespace melvora {

// Playback on the system's default output without callbacks. Incoming bytes gather in the
// newest buffer until it is worth sending: 250 ms when nothing else is queued (so sound that
// starts after the queue ran dry does not stutter), one buffer's milliseconds otherwise. While
// more than the queue limit is queued, writes take nothing and the block write retries, which
// holds the worker to the pace of the card.
class WaveOutDevice : public WaveDevice<WaveOutPort> {
  public:
    explicit WaveOutDevice(std::unique_ptr<WaveOutPort> port);
    ~WaveOutDevice() override;
    // Queue limit = max(maxQueuedMs, 300) ms; a gathering buffer is sent at msPerBuffer ms.
    // 1 on success (also when already open), -1 on failure.
    [[nodiscard]] int Open(int maxQueuedMs, int msPerBuffer);
    // Blocks until the device has taken all sampleCount samples: 1, or -1 on failure. A device
    // that is not open returns -1 after waiting the block's duration (keeps the audio pace).
    // A write where a device call fails returns -1 (that block is lost, the queue stays); an
    // open device that takes nothing for kStallLimitMs is closed and the write returns -1.
    // TakeFailure then reports either once.
    [[nodiscard]] int WriteBlock(const int16_t* samples, int sampleCount);
    // Sends what is gathering, waits until everything has played, then closes. -1 if not
    // started or the drain failed (the device is closed all the same), else Close's result.
    int Stop();
    // Discards whatever is queued and closes. 0, or -1 when not started or a call fails.
    int Close() override;
    // Sends what is gathering and waits until the queue is empty. 0, or -1.
    int Drain();

    int MaxQueuedMs() const { return maxQueuedMs_; }
    int MsPerBuffer() const { return msPerBuffer_; }
    int QueueLength() const { return static_cast<int>(queue_.size()); }
    // Bytes held in the newest buffer that has not been sent yet (0 when none gathers).
    int GatheringBytes() const;
    // Milliseconds still queued (sent or gathering) after reclaiming played buffers, or -1.
    int QueuedMs();

  private:
    // Frees played buffers from the front; measures the rest when queuedMs is given.
    int Reclaim(int* queuedMs);
    // Takes all n bytes (n), nothing (0, queue full or not open), or -1.
    [[nodiscard]] int WriteBytes(const char* bytes, int n);
    [[nodiscard]] int Send(WaveHeader* header);
    static bool IsGathering(const WaveHeader& header);

    int maxQueuedMs_ = 300;
    int msPerBuffer_ = 5;
    std::deque<WaveHeader*> queue_;  // front: oldest (playing or played); back: newest
};

}  // namespace melvora
