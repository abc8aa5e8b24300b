#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "platform/wave_port.h"

namespace melvora {

// Playback on the system's default output without callbacks. Incoming bytes gather in the
// newest buffer until it is worth sending: 250 ms when nothing else is queued (so sound that
// starts after the queue ran dry does not stutter), one buffer's milliseconds otherwise. While
// more than the queue limit is queued, writes take nothing and the block write retries, which
// holds the worker to the pace of the card.
class WaveOutDevice {
  public:
    // How long (device time, milliseconds) a write waits for room before it gives the device
    // up.
    static constexpr int kStallLimitMs = 3000;

    explicit WaveOutDevice(std::unique_ptr<WaveOutPort> port);
    virtual ~WaveOutDevice();
    WaveOutDevice(const WaveOutDevice&) = delete;
    WaveOutDevice& operator=(const WaveOutDevice&) = delete;

    // Ignored while started. Tags 6 and 7 (G.711) with 16 bits become 1 (PCM).
    void SetFormat(int sampleRateHz, int bitsPerSample, int channels, int formatTag);
    // Queue limit = max(maxQueuedMs, 300) ms; a gathering buffer is sent at msPerBuffer ms.
    // 1 on success (also when already open), -1 on failure.
    int Open(int maxQueuedMs, int msPerBuffer);
    // Blocks until the device has taken all sampleCount samples: 1, or -1 on failure. A device
    // that is not open returns -1 after waiting the block's duration (keeps the audio pace).
    // A write where a device call fails returns -1 (that block is lost, the queue stays); an
    // open device that takes nothing for kStallLimitMs is closed and the write returns -1.
    // TakeFailure then reports either once.
    int WriteBlock(const int16_t* samples, int sampleCount);
    // True once after an open device failed in WriteBlock; `deviceError` gets the sound
    // system's code of the failed call, 0 when the device stalled.
    bool TakeFailure(int* deviceError);
    std::wstring ErrorText(int deviceError) const { return port_->ErrorText(deviceError); }
    // Sends what is gathering, waits until everything has played, then closes. -1 if not
    // started or the drain failed (the device is closed all the same), else Close's result.
    int Stop();
    // Discards whatever is queued and closes. 0, or -1 when not started or a call fails.
    int Close();
    // Sends what is gathering and waits until the queue is empty. 0, or -1.
    int Drain();

    int State() const { return state_; }  // -1 closed, 1 open
    int SampleRateHz() const { return sampleRateHz_; }
    int BitsPerSample() const { return bitsPerSample_; }
    int Channels() const { return channels_; }
    int FormatTag() const { return formatTag_; }
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
    int WriteBytes(const char* bytes, int n);
    int Send(WaveHeader* header);
    void FreeHeader(WaveHeader* header);
    // A device call failed: keeps the error for TakeFailure, -1.
    int Failed(int deviceError);
    // The device stalled: closes it, keeps the error for TakeFailure, -1.
    int GiveUp(int deviceError);
    static bool IsGathering(const WaveHeader& header);

    std::unique_ptr<WaveOutPort> port_;
    int bitsPerSample_ = 16;
    int state_ = -1;
    int sampleRateHz_ = -1;
    int channels_ = 1;
    int bytesPerSecond_ = 0;
    int maxQueuedMs_ = 300;
    int msPerBuffer_ = 5;
    bool started_ = false;
    int formatTag_ = 1;
    bool failed_ = false;
    int failureError_ = 0;
    std::deque<WaveHeader*> queue_;  // front: oldest (playing or played); back: newest
};

}  // namespace melvora
