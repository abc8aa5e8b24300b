#include "audio/wave_in_device.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace melvora {

WaveInDevice::WaveInDevice(std::unique_ptr<WaveInPort> port) : WaveDevice(std::move(port)) {}

WaveInDevice::~WaveInDevice() {
    if (state_ == 1) {
        Close();
    }
    // Whatever a failed close left behind is no longer queued to a card we could reach.
    for (WaveHeader* header : buffers_) {
        FreeHeader(header);
    }
    buffers_.clear();
}

int WaveInDevice::Open(int totalMs, int msPerBuffer) {
    if (state_ == 1) {
        return 1;
    }
    if (state_ != -1) {
        return -1;
    }
    if (sampleRateHz_ < 0 && !started_) {
        sampleRateHz_ = 16000;
        bitsPerSample_ = 16;
        channels_ = 1;
        formatTag_ = 1;
        bytesPerSecond_ = 32000;
    }
    if (msPerBuffer <= 0 || sampleRateHz_ <= 0 || channels_ <= 0 || bitsPerSample_ < 8) {
        return -1;
    }
    bufferCount_ = std::max(totalMs, 128) / msPerBuffer;
    if (bufferCount_ < 5) {
        bufferCount_ = 5;
    }
    bytesPerBuffer_ = (sampleRateHz_ * msPerBuffer / 1000) * (bitsPerSample_ / 8) * channels_;
    totalBytes_ = bufferCount_ * bytesPerBuffer_;
    if (bytesPerBuffer_ <= 0) {
        return -1;
    }

    if (!port_->Open(PortFormat())) {
        return -1;
    }

    for (int i = 0; i < bufferCount_; ++i) {
        auto* header = new WaveHeader;
        header->data = static_cast<char*>(std::calloc(static_cast<size_t>(bytesPerBuffer_), 1));
        header->bufferLengthBytes = static_cast<uint32_t>(bytesPerBuffer_);
        if (header->data == nullptr || !port_->Prepare(*header)) {
            FreeHeader(header);
            Close();
            return -1;
        }
        if (!port_->AddBuffer(*header)) {
            port_->Unprepare(*header);
            FreeHeader(header);
            Close();
            return -1;
        }
        buffers_.push_back(header);
    }
    if (!port_->Start()) {
        Close();
        return -1;
    }
    state_ = 1;
    started_ = true;
    return 1;
}

int WaveInDevice::ReadBytes(char* target, int byteCount) {
    if (state_ != 1) {
        return -1;
    }
    int delivered = 0;
    while (true) {
        if (buffers_.empty() || !port_->IsDone(*buffers_.front())) {
            return delivered;
        }
        WaveHeader* front = buffers_.front();
        const int recorded = static_cast<int>(front->bytesRecorded);
        if (byteCount > recorded) {
            std::memcpy(target + delivered, front->data, static_cast<size_t>(recorded));
            byteCount -= recorded;
            delivered += recorded;
            if (!port_->Unprepare(*front)) {
                return -1;
            }
            front->bytesRecorded = 0;
            front->flags.store(0, std::memory_order_relaxed);
            if (!port_->Prepare(*front) || !port_->AddBuffer(*front)) {
                return -1;
            }
            buffers_.pop_front();
            buffers_.push_back(front);
            continue;
        }
        // Take part of the buffer; the rest stays at the front, still done, for the next read.
        std::memcpy(target + delivered, front->data, static_cast<size_t>(byteCount));
        std::memmove(front->data, front->data + byteCount,
                     static_cast<size_t>(recorded - byteCount));
        front->bytesRecorded = static_cast<uint32_t>(recorded - byteCount);
        return delivered + byteCount;
    }
}

int WaveInDevice::ReadBlock(int16_t* samples, int sampleCount) {
    if (sampleRateHz_ < 0) {
        return -1;
    }
    if (sampleCount <= 0) {
        return 1;
    }
    const int blockMs = static_cast<int>(int64_t{sampleCount} * 1000 / sampleRateHz_);
    const int pollMs = blockMs / 5;
    if (state_ != 1) {
        std::fill(samples, samples + sampleCount, int16_t{0});
        port_->Sleep(blockMs);
        return 1;
    }
    const int byteCount = bitsPerSample_ * sampleCount / 8;
    // 16-bit sound is copied straight into the caller's samples (little-endian host).
    std::vector<char> bytes;
    char* target = reinterpret_cast<char*>(samples);
    if (bitsPerSample_ == 8) {
        bytes.resize(static_cast<size_t>(byteCount));
        target = bytes.data();
    }
    const int read = Transfer(byteCount, pollMs, [this, target](int doneBytes, int leftBytes) {
        return ReadBytes(target + doneBytes, leftBytes);
    });
    if (read != 1) {
        return -1;
    }
    if (bitsPerSample_ == 8) {
        for (int i = 0; i < sampleCount; ++i) {
            samples[i] = static_cast<int16_t>((static_cast<uint8_t>(bytes[i]) - 128) * 256);
        }
    }
    return 1;
}

int WaveInDevice::Close() {
    int result = 0;
    if (!port_->Reset()) {
        result = -1;
    }
    if (result == 0) {
        while (!buffers_.empty()) {
            WaveHeader* header = buffers_.front();
            if (!port_->Unprepare(*header)) {
                result = -1;
                break;
            }
            buffers_.pop_front();
            FreeHeader(header);
        }
    }
    if (result == 0 && !port_->Close()) {
        result = -1;
    }
    if (result != 0) {
        return -1;
    }
    started_ = false;
    formatTag_ = 1;
    state_ = -1;
    return 0;
}

}  // namespace melvora
