#include "audio/wave_out_device.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace melvora {

namespace {

// A drain gives up when the card has not played for this long beyond what was queued.
constexpr int kDrainGraceMs = 2000;

}  // namespace

WaveOutDevice::WaveOutDevice(std::unique_ptr<WaveOutPort> port) : WaveDevice(std::move(port)) {}

WaveOutDevice::~WaveOutDevice() {
    if (started_) {
        Close();
    }
    for (WaveHeader* header : queue_) {
        FreeHeader(header);
    }
    queue_.clear();
}

bool WaveOutDevice::IsGathering(const WaveHeader& header) {
    return header.flags.load(std::memory_order_relaxed) == 0;
}

int WaveOutDevice::Open(int maxQueuedMs, int msPerBuffer) {
    if (state_ == 1) {
        return 1;
    }
    if (state_ != -1) {
        return -1;
    }
    if (sampleRateHz_ <= 0 || channels_ <= 0 || bitsPerSample_ < 8) {
        return -1;
    }
    maxQueuedMs_ = std::max(maxQueuedMs, 300);
    msPerBuffer_ = msPerBuffer;
    if (!port_->IsOpen()) {
        if (!port_->Open(PortFormat())) {
            return -1;
        }
    }
    state_ = 1;
    started_ = true;
    return 1;
}

int WaveOutDevice::Reclaim(int* queuedMs) {
    while (!queue_.empty()) {
        WaveHeader* front = queue_.front();
        if (IsGathering(*front) || !port_->IsDone(*front)) {
            break;
        }
        if (!port_->Unprepare(*front)) {
            return -1;
        }
        queue_.pop_front();
        FreeHeader(front);
    }
    if (queuedMs != nullptr) {
        int64_t sum = 0;
        for (const WaveHeader* header : queue_) {
            sum += header->bufferLengthBytes;
        }
        const int bytesPerSample = bitsPerSample_ / 8;
        *queuedMs = static_cast<int>(sum * 1000 / sampleRateHz_ / bytesPerSample / channels_);
    }
    return 0;
}

int WaveOutDevice::Send(WaveHeader* header) {
    if (!port_->Prepare(*header)) {
        return -1;
    }
    if (!port_->Write(*header)) {
        port_->Unprepare(*header);
        return -1;
    }
    return 0;
}

int WaveOutDevice::WriteBytes(const char* bytes, int n) {
    if (sampleRateHz_ < 0) {
        return -1;
    }
    if (state_ != 1) {
        return 0;
    }
    int queuedMs = 0;
    if (Reclaim(&queuedMs) != 0) {
        return -1;
    }
    if (queuedMs > maxQueuedMs_) {
        return 0;
    }
    WaveHeader* gathering = nullptr;
    if (!queue_.empty() && IsGathering(*queue_.back())) {
        gathering = queue_.back();
        const size_t size = gathering->bufferLengthBytes + static_cast<size_t>(n);
        char* grown = static_cast<char*>(std::realloc(gathering->data, size));
        if (grown == nullptr) {
            return -1;
        }
        gathering->data = grown;
        std::memcpy(grown + gathering->bufferLengthBytes, bytes, static_cast<size_t>(n));
        gathering->bufferLengthBytes = static_cast<uint32_t>(size);
    } else {
        gathering = new WaveHeader;
        gathering->data = static_cast<char*>(std::malloc(static_cast<size_t>(n)));
        if (gathering->data == nullptr) {
            delete gathering;
            return -1;
        }
        std::memcpy(gathering->data, bytes, static_cast<size_t>(n));
        gathering->bufferLengthBytes = static_cast<uint32_t>(n);
        queue_.push_back(gathering);
    }
    const int64_t bytesPerSecond = int64_t{bitsPerSample_ / 8} * channels_ * sampleRateHz_;
    const int64_t threshold =
        queue_.size() == 1 ? bytesPerSecond * 250 / 1000 : msPerBuffer_ * bytesPerSecond / 1000;
    if (static_cast<int64_t>(gathering->bufferLengthBytes) < threshold) {
        return n;
    }
    if (Send(gathering) != 0) {
        // The block is lost; the queue stays as it was before this write.
        gathering->bufferLengthBytes -= static_cast<uint32_t>(n);
        if (gathering->bufferLengthBytes == 0) {
            queue_.pop_back();
            FreeHeader(gathering);
        }
        return -1;
    }
    port_->Sleep(msPerBuffer_ / 2);
    return n;
}

int WaveOutDevice::WriteBlock(const int16_t* samples, int sampleCount) {
    if (sampleRateHz_ <= 0) {
        return -1;
    }
    const int blockMs = static_cast<int>(int64_t{sampleCount} * 1000 / sampleRateHz_);
    if (state_ == -1) {
        port_->Sleep(blockMs);
        return -1;
    }
    if (sampleCount <= 0) {
        return 1;
    }
    const int retryMs = blockMs / 5;
    const int byteCount = (bitsPerSample_ / 8) * sampleCount;
    // The samples go out as they are; with 8 bits they are narrowed to unsigned bytes.
    const char* bytes = reinterpret_cast<const char*>(samples);
    std::unique_ptr<char[]> narrowed;
    if (bitsPerSample_ == 8) {
        narrowed.reset(new char[static_cast<size_t>(sampleCount)]);
        for (int i = 0; i < sampleCount; ++i) {
            narrowed[i] = static_cast<char>(static_cast<uint8_t>((samples[i] >> 8) + 128));
        }
        bytes = narrowed.get();
    }
    return Transfer(byteCount, retryMs, [this, bytes](int doneBytes, int leftBytes) {
        return WriteBytes(bytes + doneBytes, leftBytes);
    });
}

int WaveOutDevice::GatheringBytes() const {
    if (queue_.empty() || !IsGathering(*queue_.back())) {
        return 0;
    }
    return static_cast<int>(queue_.back()->bufferLengthBytes);
}

int WaveOutDevice::QueuedMs() {
    if (sampleRateHz_ <= 0) {
        return -1;
    }
    int queuedMs = 0;
    return Reclaim(&queuedMs) == 0 ? queuedMs : -1;
}

int WaveOutDevice::Drain() {
    if (!started_) {
        return -1;
    }
    if (!queue_.empty() && IsGathering(*queue_.back())) {
        if (Send(queue_.back()) != 0) {
            return -1;
        }
    }
    int queuedMs = 0;
    if (Reclaim(&queuedMs) != 0) {
        return -1;
    }
    // A card that stops marking buffers done must not hold the caller forever.
    int waitedMs = 0;
    const int patienceMs = queuedMs + kDrainGraceMs;
    while (!queue_.empty()) {
        if (waitedMs > patienceMs) {
            return -1;
        }
        port_->Sleep(3);
        waitedMs += 3;
        if (Reclaim(nullptr) != 0) {
            return -1;
        }
    }
    return 0;
}

int WaveOutDevice::Stop() {
    if (!started_) {
        return -1;
    }
    const int drained = Drain();
    const int closed = Close();
    return drained != 0 ? -1 : closed;
}

int WaveOutDevice::Close() {
    if (!started_) {
        return -1;
    }
    started_ = false;
    if (!port_->Reset()) {
        return -1;
    }
    while (!queue_.empty()) {
        WaveHeader* header = queue_.front();
        if (!IsGathering(*header) && !port_->Unprepare(*header)) {
            return -1;
        }
        queue_.pop_front();
        FreeHeader(header);
    }
    if (!port_->Close()) {
        return -1;
    }
    formatTag_ = 1;
    state_ = -1;
    return 0;
}

}  // namespace melvora
