#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "platform/wave_port.h"

namespace melvora {

// Capture from the system's default input in whole blocks, without callbacks: the port fills a
// ring of small buffers; a block read polls the oldest buffers for the done flag, copies what
// has arrived and waits a fifth of the block between polls until the block is complete.
class WaveInDevice {
  public:
    // How long (device time, milliseconds) a read waits for a buffer before it gives the
    // device up: well above any buffer's length, short enough that the window is not held.
    static constexpr int kStallLimitMs = 3000;

    // Takes the port it records through (WINMM or the simulated card).
    explicit WaveInDevice(std::unique_ptr<WaveInPort> port);
    virtual ~WaveInDevice();
    WaveInDevice(const WaveInDevice&) = delete;
    WaveInDevice& operator=(const WaveInDevice&) = delete;

    // Ignored while started. Tags 6 and 7 (G.711) with 16 bits become 1 (PCM).
    void SetFormat(int sampleRateHz, int bitsPerSample, int channels, int formatTag);
    // Queues max(totalMs, 128) / msPerBuffer buffers (at least 5) of msPerBuffer each and
    // starts recording. 1 on success (also when already open), -1 on failure.
    int Open(int totalMs, int msPerBuffer);
    // Blocks until sampleCount mono samples have been recorded. 1 on success, -1 on failure
    // (no format set, or a device call failed). A device that is not open delivers silence
    // after waiting the block's duration, so a worker reading it keeps the audio pace.
    // A read where a device call fails returns -1 (that block is lost); an open device that
    // returns no buffer for kStallLimitMs is closed and the read returns -1. TakeFailure then
    // reports either once.
    int ReadBlock(int16_t* samples, int sampleCount);
    // True once after an open device failed in ReadBlock; `deviceError` gets the sound
    // system's code of the failed call, 0 when the device stalled.
    bool TakeFailure(int* deviceError);
    // The system's text for a device error code (empty when it has none). Not while the
    // worker reads the device.
    std::wstring ErrorText(int deviceError) const { return port_->ErrorText(deviceError); }
    // Stops recording, returns the buffers and closes. 0 on success, -1 when a device call
    // fails (also when the device was never opened).
    int Close();

    int State() const { return state_; }  // -1 closed, 1 open and recording
    int SampleRateHz() const { return sampleRateHz_; }
    int BitsPerSample() const { return bitsPerSample_; }
    int Channels() const { return channels_; }
    int FormatTag() const { return formatTag_; }
    int BytesPerSecond() const { return bytesPerSecond_; }
    int BufferCount() const { return bufferCount_; }
    int BytesPerBuffer() const { return bytesPerBuffer_; }
    int TotalBytes() const { return totalBytes_; }

  private:
    // Copies up to byteCount recorded bytes into target; bytes delivered, or -1.
    int ReadBytes(char* target, int byteCount);
    void FreeHeader(WaveHeader* header);
    // A device call failed: keeps the error for TakeFailure, -1.
    int Failed(int deviceError);
    // The device stalled: closes it, keeps the error for TakeFailure, -1.
    int GiveUp(int deviceError);

    std::unique_ptr<WaveInPort> port_;
    int bitsPerSample_ = 16;
    int state_ = -1;
    int sampleRateHz_ = -1;
    int channels_ = 1;
    int bytesPerSecond_ = 0;
    bool started_ = false;
    int formatTag_ = 1;
    int bufferCount_ = 0;
    int bytesPerBuffer_ = 0;
    int totalBytes_ = 0;
    bool failed_ = false;
    int failureError_ = 0;
    std::deque<WaveHeader*> buffers_;  // front: the oldest buffer queued to the card
};

}  // namespace melvora
