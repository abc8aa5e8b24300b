#include "platform/wave_port_simulated.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace melvora {

namespace {

// One direction of the card.
struct Channel {
    bool open = false;
    bool started = false;  // capture: recording; playback: open means playing
    bool openFails = false;
    bool stalled = false;  // a hung driver: time passes, no buffer is finished
    WaveFormat format;
    int64_t baseMicroseconds = 0;  // card time at which framesDone was 0
    int64_t framesDone = 0;        // frames sampled or played since baseMicroseconds
    std::deque<WaveHeader*> queue;
    uint32_t frontOffsetBytes = 0;  // bytes of the front header already filled or played
};

// Frames that should have passed on a channel at card time `now`.
int64_t FramesDue(const Channel& channel, int64_t now) {
    const int64_t elapsed = now - channel.baseMicroseconds;
    if (elapsed <= 0 || channel.format.sampleRateHz == 0) {
        return 0;
    }
    return elapsed * static_cast<int64_t>(channel.format.sampleRateHz) / 1000000 -
           channel.framesDone;
}

void EncodeSamples(const int16_t* samples, size_t count, uint16_t bitsPerSample, char* out) {
    for (size_t i = 0; i < count; ++i) {
        const uint16_t value = static_cast<uint16_t>(samples[i]);
        if (bitsPerSample == 8) {
            out[i] = static_cast<char>(static_cast<uint8_t>((value >> 8) + 128));
        } else {
            out[2 * i] = static_cast<char>(value & 0xFF);
            out[2 * i + 1] = static_cast<char>(value >> 8);
        }
    }
}

void DecodeSamples(const char* in, size_t count, uint16_t bitsPerSample, int16_t* samples) {
    for (size_t i = 0; i < count; ++i) {
        if (bitsPerSample == 8) {
            samples[i] = static_cast<int16_t>((static_cast<uint8_t>(in[i]) - 128) * 256);
        } else {
            const uint16_t lo = static_cast<uint8_t>(in[2 * i]);
            const uint16_t hi = static_cast<uint8_t>(in[2 * i + 1]);
            samples[i] = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
        }
    }
}

void MarkDone(WaveHeader& header) {
    const uint32_t flags = header.flags.load(std::memory_order_relaxed);
    header.flags.store((flags | kWaveHeaderDone) & ~kWaveHeaderInQueue, std::memory_order_release);
}

}  // namespace

struct SimulatedSoundCard::Impl {
    mutable std::mutex mutex;
    SimulatedSoundCard::ClockMode mode = SimulatedSoundCard::ClockMode::kManual;
    double speed = 1.0;
    int64_t nowMicroseconds = 0;
    Channel capture;
    Channel playback;
    CaptureSource source;
    PlaybackSink sink;
    int64_t capturedFrames = 0;
    int64_t droppedCaptureFrames = 0;
    int64_t playedFrames = 0;
    int64_t underrunFrames = 0;
    std::vector<int16_t> scratch;

    std::atomic<bool> stopClock{false};
    std::thread clockThread;

    // Reads what `read` returns under the card's lock.
    template <class Read>
    auto Locked(Read read) const {
        std::lock_guard<std::mutex> lock(mutex);
        return read();
    }

    // Runs both channels up to nowMicroseconds. Caller holds the mutex.
    void Process() {
        ProcessCapture();
        ProcessPlayback();
    }

    void Sample(size_t count) {
        scratch.resize(std::max(scratch.size(), count));
        if (source) {
            source(scratch.data(), count);
        } else {
            std::fill(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(count), 0);
        }
    }

    // Moves channel `c` up to nowMicroseconds: `move(header, offsetBytes, frames)` fills or
    // plays frames of the front buffer, `idle(frames)` accounts for frames that no queued
    // buffer took. A buffer with less than a frame left is finished and handed back done.
    template <class Move, class Idle>
    void Run(Channel& c, Move move, Idle idle) {
        if (c.stalled) {
            c.framesDone += std::max<int64_t>(FramesDue(c, nowMicroseconds), 0);
            return;
        }
        const uint32_t frameBytes = c.format.blockAlign;
        int64_t due = FramesDue(c, nowMicroseconds);
        while (due > 0) {
            if (c.queue.empty()) {
                idle(due);
                c.framesDone += due;
                return;
            }
            WaveHeader& h = *c.queue.front();
            const int64_t room = (h.bufferLengthBytes - c.frontOffsetBytes) / frameBytes;
            const int64_t n = std::min(due, room);
            if (n > 0) {
                move(h, c.frontOffsetBytes, n);
                c.frontOffsetBytes += static_cast<uint32_t>(n) * frameBytes;
                due -= n;
                c.framesDone += n;
            }
            if (c.frontOffsetBytes + frameBytes > h.bufferLengthBytes) {
                if (&c == &capture) {
                    h.bytesRecorded = c.frontOffsetBytes;
                }
                c.frontOffsetBytes = 0;
                c.queue.pop_front();
                MarkDone(h);
            }
        }
    }

    void ProcessCapture() {
        if (!capture.open || !capture.started) {
            return;
        }
        const uint32_t channels = capture.format.channels;
        const uint16_t bits = capture.format.bitsPerSample;
        Run(
            capture,
            [this, channels, bits](WaveHeader& h, uint32_t offsetBytes, int64_t n) {
                const size_t count = static_cast<size_t>(n) * channels;
                Sample(count);
                EncodeSamples(scratch.data(), count, bits, h.data + offsetBytes);
                capturedFrames += n;
            },
            [this, channels](int64_t due) {
                // Nobody gave the card a buffer: the sound is sampled and lost.
                int64_t left = due;
                while (left > 0) {
                    const int64_t n = std::min<int64_t>(left, 4096);
                    Sample(static_cast<size_t>(n) * channels);
                    left -= n;
                }
                droppedCaptureFrames += due;
                capturedFrames += due;
            });
    }

    void ProcessPlayback() {
        if (!playback.open) {
            return;
        }
        const uint32_t channels = playback.format.channels;
        const uint16_t bits = playback.format.bitsPerSample;
        Run(
            playback,
            [this, channels, bits](WaveHeader& h, uint32_t offsetBytes, int64_t n) {
                const size_t count = static_cast<size_t>(n) * channels;
                scratch.resize(std::max(scratch.size(), count));
                DecodeSamples(h.data + offsetBytes, count, bits, scratch.data());
                if (sink) {
                    sink(scratch.data(), count);
                }
                playedFrames += n;
            },
            [this](int64_t due) { underrunFrames += due; });
    }

    void Advance(int64_t microseconds) {
        std::lock_guard<std::mutex> lock(mutex);
        nowMicroseconds += microseconds;
        Process();
    }

    // A port's wait: on the manual clock the wait is what moves time.
    void Wait(int milliseconds) {
        if (mode == SimulatedSoundCard::ClockMode::kManual) {
            Advance(milliseconds > 0 ? int64_t{milliseconds} * 1000 : 250);
            return;
        }
        if (milliseconds <= 0) {
            std::this_thread::yield();
            return;
        }
        const auto real = std::chrono::microseconds(
            static_cast<int64_t>(static_cast<double>(milliseconds) * 1000.0 / speed));
        std::this_thread::sleep_for(real);
    }

    bool Open(Channel& c, const WaveFormat& format) {
        std::lock_guard<std::mutex> lock(mutex);
        if (c.open || c.openFails || format.sampleRateHz == 0 || format.channels == 0 ||
            (format.bitsPerSample != 8 && format.bitsPerSample != 16)) {
            return false;
        }
        c.format = format;
        c.format.blockAlign = static_cast<uint16_t>(format.bitsPerSample / 8 * format.channels);
        c.open = true;
        c.started = false;
        c.baseMicroseconds = nowMicroseconds;
        c.framesDone = 0;
        c.frontOffsetBytes = 0;
        return true;
    }

    bool Prepare(Channel& c, WaveHeader& h) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!c.open || h.data == nullptr) {
            return false;
        }
        h.flags.fetch_or(kWaveHeaderPrepared, std::memory_order_relaxed);
        return true;
    }

    bool Queue(Channel& c, WaveHeader& h) {
        std::lock_guard<std::mutex> lock(mutex);
        const uint32_t flags = h.flags.load(std::memory_order_relaxed);
        if (!c.open || !(flags & kWaveHeaderPrepared) || (flags & kWaveHeaderInQueue)) {
            return false;
        }
        h.flags.store((flags & ~kWaveHeaderDone) | kWaveHeaderInQueue, std::memory_order_relaxed);
        if (&c == &playback && c.queue.empty()) {
            // A card that ran dry starts the new buffer now, not in the past.
            c.baseMicroseconds = nowMicroseconds;
            c.framesDone = 0;
        }
        c.queue.push_back(&h);
        return true;
    }

    bool Reset(Channel& c) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!c.open) {
            return false;
        }
        Process();
        bool front = true;
        for (WaveHeader* h : c.queue) {
            if (&c == &capture) {
                h->bytesRecorded = front ? c.frontOffsetBytes : 0;
            }
            front = false;
            MarkDone(*h);
        }
        c.queue.clear();
        c.frontOffsetBytes = 0;
        c.started = false;
        return true;
    }

    bool Unprepare(Channel& c, WaveHeader& h) {
        std::lock_guard<std::mutex> lock(mutex);
        const uint32_t flags = h.flags.load(std::memory_order_relaxed);
        if (!c.open || (flags & kWaveHeaderInQueue)) {
            return false;
        }
        h.flags.store(flags & ~kWaveHeaderPrepared, std::memory_order_relaxed);
        return true;
    }

    bool Close(Channel& c) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!c.open || !c.queue.empty()) {
            return false;  // still holding buffers, like WAVERR_STILLPLAYING
        }
        c.open = false;
        c.started = false;
        return true;
    }
};

namespace {

// What the capture and playback ports share: each works on its own channel of the card.
template <class PortBase>
class SimulatedPort : public PortBase {
  public:
    using ChannelMember = Channel SimulatedSoundCard::Impl::*;
    SimulatedPort(std::shared_ptr<SimulatedSoundCard::Impl> card, ChannelMember channel)
        : card_(std::move(card)), channel_(channel) {}
    ~SimulatedPort() override {
        if (IsOpen()) {
            card_->Reset(Own());
            card_->Close(Own());
        }
    }
    bool Open(const WaveFormat& format) override { return card_->Open(Own(), format); }
    bool IsOpen() const override {
        std::lock_guard<std::mutex> lock(card_->mutex);
        return Own().open;
    }
    bool Prepare(WaveHeader& header) override { return card_->Prepare(Own(), header); }
    bool Reset() override { return card_->Reset(Own()); }
    bool Unprepare(WaveHeader& header) override { return card_->Unprepare(Own(), header); }
    bool Close() override { return card_->Close(Own()); }
    bool IsDone(WaveHeader& header) override {
        return (header.flags.load(std::memory_order_acquire) & kWaveHeaderDone) != 0;
    }
    void Sleep(int milliseconds) override { card_->Wait(milliseconds); }

  protected:
    Channel& Own() const { return (*card_).*channel_; }

    std::shared_ptr<SimulatedSoundCard::Impl> card_;

  private:
    ChannelMember channel_;
};

class SimulatedWaveInPort : public SimulatedPort<WaveInPort> {
  public:
    explicit SimulatedWaveInPort(std::shared_ptr<SimulatedSoundCard::Impl> card)
        : SimulatedPort(std::move(card), &SimulatedSoundCard::Impl::capture) {}
    bool AddBuffer(WaveHeader& header) override { return card_->Queue(Own(), header); }
    bool Start() override {
        std::lock_guard<std::mutex> lock(card_->mutex);
        Channel& c = Own();
        if (!c.open) {
            return false;
        }
        if (!c.started) {
            c.started = true;
            c.baseMicroseconds = card_->nowMicroseconds;
            c.framesDone = 0;
        }
        return true;
    }
};

class SimulatedWaveOutPort : public SimulatedPort<WaveOutPort> {
  public:
    explicit SimulatedWaveOutPort(std::shared_ptr<SimulatedSoundCard::Impl> card)
        : SimulatedPort(std::move(card), &SimulatedSoundCard::Impl::playback) {}
    bool Write(WaveHeader& header) override { return card_->Queue(Own(), header); }
};

}  // namespace

SimulatedSoundCard::SimulatedSoundCard(ClockMode mode, double speed)
    : impl_(std::make_shared<Impl>()) {
    impl_->mode = mode;
    impl_->speed = speed > 0.0 ? speed : 1.0;
    if (mode == ClockMode::kRealTime) {
        Impl* impl = impl_.get();
        impl_->clockThread = std::thread([impl] {
            // Each tick moves the card by the real time since the last one, so the card keeps
            // real time even where a tick takes several times its nominal length (Wine). The
            // real time is counted from the start, not tick by tick: a tick shorter than the
            // clock's resolution would otherwise lose its fraction, and the card fall behind.
            // Only a long stall (a debugger, a swapped-out process) is capped, so the card does
            // not fill all its buffers in one jump, which no real card does. The tick is a whole
            // millisecond: Windows sleeps shorter than that return at once, and spin.
            constexpr auto kTick = std::chrono::milliseconds(1);
            constexpr int64_t kMaxStepRealMicroseconds = 50000;
            const int64_t maxStep =
                static_cast<int64_t>(static_cast<double>(kMaxStepRealMicroseconds) * impl->speed);
            const auto start = std::chrono::steady_clock::now();
            int64_t lastReal = 0;
            while (!impl->stopClock.load(std::memory_order_acquire)) {
                std::this_thread::sleep_for(kTick);
                const int64_t nowReal = std::chrono::duration_cast<std::chrono::microseconds>(
                                            std::chrono::steady_clock::now() - start)
                                            .count();
                const int64_t real = nowReal - lastReal;
                lastReal = nowReal;
                const int64_t step = std::min(
                    maxStep, static_cast<int64_t>(static_cast<double>(real) * impl->speed));
                std::lock_guard<std::mutex> lock(impl->mutex);
                impl->nowMicroseconds += step;
                impl->Process();
            }
        });
    }
}

SimulatedSoundCard::~SimulatedSoundCard() {
    impl_->stopClock.store(true, std::memory_order_release);
    if (impl_->clockThread.joinable()) {
        impl_->clockThread.join();
    }
}

void SimulatedSoundCard::SetCaptureSource(CaptureSource source) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->source = std::move(source);
}

void SimulatedSoundCard::SetPlaybackSink(PlaybackSink sink) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->sink = std::move(sink);
}

void SimulatedSoundCard::SetOpenFails(bool captureFails, bool playbackFails) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->capture.openFails = captureFails;
    impl_->playback.openFails = playbackFails;
}

void SimulatedSoundCard::SetStalled(bool captureStalls, bool playbackStalls) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->capture.stalled = captureStalls;
    impl_->playback.stalled = playbackStalls;
}

void SimulatedSoundCard::AdvanceMicroseconds(int64_t microseconds) {
    if (impl_->mode == ClockMode::kManual && microseconds > 0) {
        impl_->Advance(microseconds);
    }
}

int64_t SimulatedSoundCard::NowMicroseconds() const {
    return impl_->Locked([this] { return impl_->nowMicroseconds; });
}

std::unique_ptr<WaveInPort> SimulatedSoundCard::MakeCapturePort() {
    return std::make_unique<SimulatedWaveInPort>(impl_);
}

std::unique_ptr<WaveOutPort> SimulatedSoundCard::MakePlaybackPort() {
    return std::make_unique<SimulatedWaveOutPort>(impl_);
}

int64_t SimulatedSoundCard::CapturedFrameCount() const {
    return impl_->Locked([this] { return impl_->capturedFrames; });
}

int64_t SimulatedSoundCard::DroppedCaptureFrameCount() const {
    return impl_->Locked([this] { return impl_->droppedCaptureFrames; });
}

int64_t SimulatedSoundCard::PlayedFrameCount() const {
    return impl_->Locked([this] { return impl_->playedFrames; });
}

int64_t SimulatedSoundCard::UnderrunFrameCount() const {
    return impl_->Locked([this] { return impl_->underrunFrames; });
}

int SimulatedSoundCard::QueuedCaptureBufferCount() const {
    return impl_->Locked([this] { return static_cast<int>(impl_->capture.queue.size()); });
}

int SimulatedSoundCard::QueuedPlaybackBufferCount() const {
    return impl_->Locked([this] { return static_cast<int>(impl_->playback.queue.size()); });
}

}  // namespace melvora
