#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app_options.h"
#include "audio/wave_file.h"
#include "transport/deck_view.h"
#include "app/temp_folder.h"
#include "transport/transport_analysis.h"
#include "transport/transport_owner.h"
#include "platform/wave_port_simulated.h"
#include "string_ids.h"

namespace melvora {
namespace testing_support {

// The sample the simulated card captures at frame i: a counter, so any lost or repeated
// sample shows as a break in the sequence.
inline int16_t CounterSample(int64_t index) {
    return static_cast<int16_t>(index & 0x7FFF);
}

// A manual-clock card whose capture delivers CounterSample(0), (1), ... and whose playback
// collects everything played. The source and sink run under the card's lock, so reading
// `played` on another thread needs the lock here.
struct CounterCard {
    SimulatedSoundCard card;
    std::mutex playedMutex;
    std::vector<int16_t> played;
    int64_t nextCaptureIndex = 0;

    CounterCard() {
        card.SetCaptureSource([this](int16_t* samples, size_t count) {
            for (size_t i = 0; i < count; ++i) {
                samples[i] = CounterSample(nextCaptureIndex++);
            }
        });
        card.SetPlaybackSink([this](const int16_t* samples, size_t count) {
            std::lock_guard<std::mutex> lock(playedMutex);
            played.insert(played.end(), samples, samples + count);
        });
    }

    std::vector<int16_t> Played() {
        std::lock_guard<std::mutex> lock(playedMutex);
        return played;
    }
};

// Index of the first place where `samples` stops counting up by one from `first`, or
// samples.size() when it never does.
inline size_t FirstCounterBreak(const std::vector<int16_t>& samples, int64_t first) {
    for (size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] != CounterSample(first + static_cast<int64_t>(i))) {
            return i;
        }
    }
    return samples.size();
}

// Waits for a condition that another thread makes true; false if it never did within the
// limit (the limit only stops a broken test from hanging, it is not what is measured).
inline bool WaitUntil(const std::function<bool()>& condition, int limitMs = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

// Writes a file of `frames` frames whose channel c (of one or two) holds CounterSample(i) + c.
inline void MakeFile(const std::string& path, uint32_t rateHz, uint16_t channels, int frames) {
    std::vector<int16_t> left(static_cast<size_t>(frames)), right(left.size());
    for (int i = 0; i < frames; ++i) {
        left[i] = CounterSample(i);
        right[i] = static_cast<int16_t>(left[i] + 1);
    }
    const int16_t* both[] = {left.data(), right.data()};
    auto file = WaveFile::CreateForWriting(path, rateHz, 16, channels, 1);
    ASSERT_EQ(file->WriteChannels(both, frames), frames * channels);
}

// The whole file as mono samples; empty when it does not read.
inline std::vector<int16_t> ReadMonoFile(const std::string& path) {
    auto file = WaveFile::OpenForReading(path);
    std::vector<int16_t> all(static_cast<size_t>(file->FrameCount()));
    if (file->ReadMono(all.data(), file->FrameCount()) != file->FrameCount()) {
        all.clear();
    }
    return all;
}

// The analysis as the transport sees it: counts blocks and can hold the worker inside one block
// until released.
class ProbeAnalysis : public TransportAnalysis {
  public:
    struct Counters {
        std::atomic<int> blocks{0};
        std::atomic<int> resets{0};
        std::atomic<int> configuredRateHz{0};
        std::atomic<float> sensitivity{-1.0f};
        std::atomic<bool> inside{false};
        std::atomic<bool> holdNext{false};
        std::atomic<bool> held{false};
        std::atomic<bool> release{false};
        std::atomic<bool> destroyed{false};
        std::atomic<std::thread::id> destroyedOn{};
        std::mutex lastMutex;
        std::vector<int16_t> last;  // the newest block analysed
        std::vector<int16_t> LastBlock() {
            std::lock_guard<std::mutex> lock(lastMutex);
            return last;
        }
    };

    explicit ProbeAnalysis(std::shared_ptr<Counters> counters) : c_(std::move(counters)) {}
    ~ProbeAnalysis() override {
        c_->destroyedOn.store(std::this_thread::get_id());
        c_->destroyed.store(true);
    }
    int Configure(int sampleRateHz, float, float skipRateSeconds, int) override {
        c_->configuredRateHz.store(sampleRateHz);
        return static_cast<int>(skipRateSeconds * static_cast<float>(sampleRateHz) + 0.5f);
    }
    void ProcessBlock(const int16_t* block, int blockLength) override {
        c_->inside.store(true);
        {
            std::lock_guard<std::mutex> lock(c_->lastMutex);
            c_->last.assign(block, block + blockLength);
        }
        if (c_->holdNext.exchange(false)) {
            c_->held.store(true);
            while (!c_->release.load()) {
                std::this_thread::yield();
            }
        }
        c_->blocks.fetch_add(1);
        c_->inside.store(false);
    }
    void ResetResults() override { c_->resets.fetch_add(1); }
    void SetVoiceActivationSensitivity(float sensitivity) override {
        c_->sensitivity.store(sensitivity);
    }

  private:
    std::shared_ptr<Counters> c_;
};

// The owner window: a queue of posted events.
class QueueOwner : public TransportOwner {
  public:
    using Posted = std::pair<TransportEvent, int>;  // the event and its device error
    void PostEvent(TransportEvent event, int deviceError) override {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back({event, deviceError});
    }
    std::vector<Posted> Events() {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    size_t Count() { return Events().size(); }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.clear();
    }

  private:
    std::mutex mutex_;
    std::vector<Posted> events_;
};

// What a transport or deck test runs on: a fresh program folder and options, a counter card,
// the owner window and the probe's counters.
struct WorkerRig : ::testing::Test {
    TempProgramDirectory dir;
    CounterCard cc;
    QueueOwner owner;
    std::shared_ptr<ProbeAnalysis::Counters> counters = std::make_shared<ProbeAnalysis::Counters>();

    WorkerRig() { Options() = AppOptions(); }
    ~WorkerRig() override { Options() = AppOptions(); }
    std::unique_ptr<ProbeAnalysis> Probe() { return std::make_unique<ProbeAnalysis>(counters); }
    void RunBlocks(int n) {
        const int target = counters->blocks.load() + n;
        ASSERT_TRUE(WaitUntil([&] { return counters->blocks.load() >= target; }));
    }
};

// The main controls window as a recorder of what the deck told it, with scripted answers.
class RecorderView : public DeckView {
  public:
    // As the dialog starts: every button enabled, none pressed.
    std::map<DeckButton, bool> enabled{{DeckButton::Rec, true},
                                       {DeckButton::Rew, true},
                                       {DeckButton::Play, true},
                                       {DeckButton::Eject, true}};
    std::map<DeckButton, bool> pressed;
    bool timerRunning = false;
    int sliderMaximumMs = -1;
    int sliderPageMs = -1;
    int sliderPositionMs = 0;
    std::wstring timeText;

    std::deque<std::string> openAnswers;  // empty string = the user cancels
    std::deque<std::string> saveAnswers;
    std::deque<MessageAnswer> messageAnswers;
    struct Message {
        std::wstring text;
        std::wstring caption;
        MessageButtons buttons;
    };
    std::vector<Message> messages;

    void EnableButton(DeckButton button, bool on) override { enabled[button] = on; }
    void ShowPressed(DeckButton button, bool on) override { pressed[button] = on; }
    void SetTimerRunning(bool running) override { timerRunning = running; }
    void SetSliderRangeMaximum(int maximumMs, bool) override { sliderMaximumMs = maximumMs; }
    void SetSliderPageSize(int pageMs) override { sliderPageMs = pageMs; }
    void SetSliderPosition(int positionMs) override { sliderPositionMs = positionMs; }
    int SliderPosition() const override { return sliderPositionMs; }
    void SetTimeText(const std::wstring& text) override { timeText = text; }
    bool AskOpenPath(std::string* path) override { return Answer(openAnswers, path); }
    bool AskSavePath(std::string* path) override { return Answer(saveAnswers, path); }
    MessageAnswer ShowMessage(const std::wstring& text, const std::wstring& caption,
                              MessageButtons buttons) override {
        messages.push_back({text, caption, buttons});
        if (messageAnswers.empty()) {
            return MessageAnswer::Cancel;
        }
        const MessageAnswer answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }

  private:
    static bool Answer(std::deque<std::string>& answers, std::string* path) {
        if (answers.empty()) {
            return false;
        }
        *path = answers.front();
        answers.pop_front();
        return !path->empty();
    }
};

}  // namespace testing_support
}  // namespace melvora
