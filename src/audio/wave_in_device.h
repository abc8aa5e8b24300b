#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "audio/wave_device.h"

namespace melvora {

// Capture from the system's default input in whole blocks, without callbacks: the port fills a
// ring of small buffers; a block read polls the oldest buffers for the done flag, copies what
// has arrived and waits a fifth of the block between polls until the block is complete.
class WaveInDevice : public WaveDevice<WaveInPort> {
  public:
    // Takes the port it records through (WINMM or the simulated card).
    explicit WaveInDevice(std::unique_ptr<WaveInPort> port);
    ~WaveInDevice() override;
    // Queues max(totalMs, 128) / msPerBuffer buffers (at least 5) of msPerBuffer each and
    // starts recording. 1 on success (also when already open), -1 on failure.
    [[nodiscard]] int Open(int totalMs, int msPerBuffer);
    // Blocks until sampleCount mono samples have been recorded. 1 on success, -1 on failure
    // (no format set, or a device call failed). A device that is not open delivers silence
    // after waiting the block's duration, so a worker reading it keeps the audio pace.
    // A read where a device call fails returns -1 (that block is lost); an open device that
    // returns no buffer for kStallLimitMs is closed and the read returns -1. TakeFailure then
    // reports either once.
    [[nodiscard]] int ReadBlock(int16_t* samples, int sampleCount);
    // Stops recording, returns the buffers and closes. 0 on success, -1 when a device call
    // fails (also when the device was never opened).
    int Close() override;

    int BufferCount() const { return bufferCount_; }
    int BytesPerBuffer() const { return bytesPerBuffer_; }
    int TotalBytes() const { return totalBytes_; }

  private:
    // Copies up to byteCount recorded bytes into target; bytes delivered, or -1.
    int ReadBytes(char* target, int byteCount);

    int bufferCount_ = 0;
    int bytesPerBuffer_ = 0;
    int totalBytes_ = 0;
    std::deque<WaveHeader*> buffers_;  // front: the oldest buffer queued to the card
};

}  // namespace melvora
