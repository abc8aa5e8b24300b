#pragma once

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "platform/wave_port.h"

namespace melvora {

// What the capture and playback devices share over their port (WaveInPort or WaveOutPort):
// the format, the buffers' memory, the failure kept for TakeFailure and the block transfer
// that gives a stalled card up.
template <class Port>
class WaveDevice {
  public:
    // How long (device time, milliseconds) a block transfer waits for the card before it gives
    // the device up: well above any buffer's length, short enough that the window is not held.
    static constexpr int kStallLimitMs = 3000;

    virtual ~WaveDevice() = default;
    WaveDevice(const WaveDevice&) = delete;
    WaveDevice& operator=(const WaveDevice&) = delete;

    // Ignored while started. Tags 6 and 7 (G.711) with 16 bits become 1 (PCM).
    void SetFormat(int sampleRateHz, int bitsPerSample, int channels, int formatTag) {
        if (started_) {
            return;
        }
        if (bitsPerSample == 16 && (formatTag == 6 || formatTag == 7)) {
            formatTag = 1;
        }
        sampleRateHz_ = sampleRateHz;
        bitsPerSample_ = bitsPerSample;
        channels_ = channels;
        formatTag_ = formatTag;
        bytesPerSecond_ = bitsPerSample * sampleRateHz / 8 * channels;
    }
    // True once after an open device failed in a block transfer; `deviceError` gets the sound
    // system's code of the failed call, 0 when the device stalled.
    bool TakeFailure(int* deviceError) {
        if (!failed_) {
            return false;
        }
        failed_ = false;
        if (deviceError != nullptr) {
            *deviceError = failureError_;
        }
        return true;
    }
    // The system's text for a device error code (empty when it has none). Not while the
    // worker uses the device.
    std::wstring ErrorText(int deviceError) const { return port_->ErrorText(deviceError); }
    // The sound system's code of the device call that failed last (0 when none did), e.g.
    // after a failed Open.
    int LastError() const { return port_->LastError(); }
    virtual int Close() = 0;

    int State() const { return state_; }  // -1 closed, 1 open
    int SampleRateHz() const { return sampleRateHz_; }
    int BitsPerSample() const { return bitsPerSample_; }
    int Channels() const { return channels_; }
    int FormatTag() const { return formatTag_; }
    int BytesPerSecond() const { return bytesPerSecond_; }

  protected:
    explicit WaveDevice(std::unique_ptr<Port> port) : port_(std::move(port)) {}

    // The port format for the device's format fields.
    WaveFormat PortFormat() const {
        WaveFormat format;
        format.formatTag = static_cast<uint16_t>(formatTag_);
        format.channels = static_cast<uint16_t>(channels_);
        format.sampleRateHz = static_cast<uint32_t>(sampleRateHz_);
        format.averageBytesPerSecond =
            static_cast<uint32_t>((bitsPerSample_ / 8) * channels_ * sampleRateHz_);
        format.blockAlign = static_cast<uint16_t>((bitsPerSample_ / 8) * channels_);
        format.bitsPerSample = static_cast<uint16_t>(bitsPerSample_);
        return format;
    }

    void FreeHeader(WaveHeader* header) {
        port_->Forget(*header);
        std::free(header->data);
        delete header;
    }

    // Moves byteCount bytes through `move(doneBytes, leftBytes)` (bytes moved now, or -1),
    // waiting pollMs of the card's time after each try that leaves some. 1 once all moved; -1
    // when a move failed (Failed) or the card moved nothing for kStallLimitMs (GiveUp).
    template <class Move>
    int Transfer(int byteCount, int pollMs, Move move) {
        int doneBytes = 0;
        int waitedMs = 0;
        while (true) {
            const int moved = move(doneBytes, byteCount - doneBytes);
            if (moved == -1) {
                return Failed(port_->LastError());
            }
            doneBytes += moved;
            if (doneBytes >= byteCount) {
                return 1;
            }
            waitedMs = moved > 0 ? 0 : waitedMs + std::max(pollMs, 1);
            if (waitedMs >= kStallLimitMs) {
                return GiveUp(0);
            }
            port_->Sleep(pollMs);
        }
    }

    // A device call failed: keeps the error for TakeFailure, -1. The block is lost, the device
    // stays open: a call that failed once may work again.
    int Failed(int deviceError) {
        failed_ = true;
        failureError_ = deviceError;
        return -1;
    }

    // The device stalled: closes it (discarding what is queued), keeps the error for
    // TakeFailure, -1. Even when the device will not close cleanly, transfers from now on keep
    // the audio pace without it instead of waiting on it again.
    int GiveUp(int deviceError) {
        Close();
        state_ = -1;
        started_ = false;
        return Failed(deviceError);
    }

    std::unique_ptr<Port> port_;
    int bitsPerSample_ = 16;
    int state_ = -1;
    int sampleRateHz_ = -1;
    int channels_ = 1;
    int bytesPerSecond_ = 0;
    bool started_ = false;
    int formatTag_ = 1;

  private:
    bool failed_ = false;
    int failureError_ = 0;
};

}  // namespace melvora
