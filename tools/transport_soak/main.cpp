// transport-soak --audio-seconds S --speed F [--seed N]
//
// Runs S seconds of simulated 44100 Hz audio through the transport and the deck operations,
// with the simulated card's clock F times faster than real time, and random operations
// (record, stop, replay, pause, seek, rewind, new, save) done as the window thread would.
// Checks that while recording every sample the card captured reaches the file once and in
// order, and that while replaying every sample of the file reaches the speaker once and in
// order, apart from the jumps the soak itself caused (replay start, seek, rewind). Memory is
// independent of S: the file's content is kept as a list of counter runs, not as samples.

#include <pthread.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#include "analysis/result_holder.h"
#include "transport/deck_operations.h"
#include "transport/engine_transport_analysis.h"
#include "transport/replay_reader.h"
#include "audio/wave_file.h"
#include "platform/program_directory.h"
#include "platform/wave_port_simulated.h"

namespace melvora {
namespace {

constexpr int kRateHz = 44100;
constexpr int64_t kBlockLength = 1323;  // 0.03 s at kRateHz

int16_t CounterSample(int64_t index) {
    return static_cast<int16_t>(index & 0x7FFF);
}

class SoakOwner : public TransportOwner {
  public:
    void PostEvent(TransportEvent event, int) override {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
    }
    std::vector<TransportEvent> Take() {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<TransportEvent> out(events_.begin(), events_.end());
        events_.clear();
        return out;
    }

  private:
    std::mutex mutex_;
    std::deque<TransportEvent> events_;
};

// The program's analysis, which also notes the CPU-time clock of the thread it runs on (the
// worker), so that the soak can measure what a parked worker costs.
class ClockedAnalysis : public TransportAnalysis {
  public:
    explicit ClockedAnalysis(ResultHolder* holder) : inner_(holder) {}
    int Configure(int sampleRateHz, float frameLengthSeconds, float skipRateSeconds,
                  int minimumTransformSize) override {
        return inner_.Configure(sampleRateHz, frameLengthSeconds, skipRateSeconds,
                                minimumTransformSize);
    }
    void ProcessBlock(const int16_t* block, int blockLength) override {
        if (!haveClock_.load()) {
            clockid_t clock;
            if (pthread_getcpuclockid(pthread_self(), &clock) == 0) {
                clock_.store(clock);
                haveClock_.store(true);
            }
        }
        inner_.ProcessBlock(block, blockLength);
    }
    void ResetResults() override { inner_.ResetResults(); }
    void SetVoiceActivationSensitivity(float sensitivity) override {
        inner_.SetVoiceActivationSensitivity(sensitivity);
    }
    // CPU seconds the worker has used, or -1 before its first block.
    double WorkerCpuSeconds() const {
        timespec t{};
        if (!haveClock_.load() || clock_gettime(clock_.load(), &t) != 0) {
            return -1.0;
        }
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }

  private:
    EngineTransportAnalysis inner_;
    std::atomic<bool> haveClock_{false};
    std::atomic<clockid_t> clock_{};
};

class SoakView : public DeckView {
  public:
    int slider = 0;
    void EnableButton(DeckButton, bool) override {}
    void ShowPressed(DeckButton, bool) override {}
    void SetTimerRunning(bool) override {}
    void SetSliderRangeMaximum(int, bool) override {}
    void SetSliderPageSize(int) override {}
    void SetSliderPosition(int positionMs) override { slider = positionMs; }
    int SliderPosition() const override { return slider; }
    void SetTimeText(const std::wstring&) override {}
    bool AskOpenPath(std::string*) override { return false; }
    bool AskSavePath(std::string*) override { return false; }
    MessageAnswer ShowMessage(const std::wstring&, const std::wstring&, MessageButtons) override {
        return MessageAnswer::No;
    }
};

// What the current file holds, as runs of the card's counter, and the check of what the
// speaker plays against it. The sink runs on the card's thread; the soak's thread changes the
// model, so both go through the lock.
class FileModel {
  public:
    struct Run {
        int64_t fileStart;
        int64_t counterStart;
        int64_t length;
    };

    void Reset() {
        std::lock_guard<std::mutex> lock(mutex_);
        runs_.clear();
        length_ = 0;
        expect_ = -1;
        ends_.clear();
        padLeft_ = 0;
        padded_ = false;
        lastJumpFrame_ = 0;
        jumps_.clear();
    }
    void Append(int64_t counterStart, int64_t length) {
        std::lock_guard<std::mutex> lock(mutex_);
        runs_.push_back({length_, counterStart, length});
        length_ += length;
    }
    int64_t Length() {
        std::lock_guard<std::mutex> lock(mutex_);
        return length_;
    }
    // The replay will continue at `frame` (replay start, seek, rewind) of the file as it is
    // now. The speaker may hear that much later: the playback device keeps what it gathered
    // when a replay pauses and sends it with the next replay's first sound.
    void ExpectJump(int64_t frame) {
        std::lock_guard<std::mutex> lock(mutex_);
        jumps_.push_back({frame, length_});
        ends_.push_back(length_);
        if (ends_.size() > 64) {
            ends_.pop_front();
        }
        if (jumps_.size() > 64) {
            jumps_.pop_front();
        }
    }
    void Played(const int16_t* samples, size_t count) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (size_t i = 0; i < count; ++i) {
            Check(samples[i]);
        }
        playedSamples_ += static_cast<int64_t>(count);
    }
    int64_t Lost() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lost_;
    }
    int64_t Repeated() {
        std::lock_guard<std::mutex> lock(mutex_);
        return repeated_;
    }
    void AddLost(int64_t n) {
        std::lock_guard<std::mutex> lock(mutex_);
        lost_ += n;
    }
    void AddRepeated(int64_t n) {
        std::lock_guard<std::mutex> lock(mutex_);
        repeated_ += n;
    }
    int64_t PaddingBlocks() {
        std::lock_guard<std::mutex> lock(mutex_);
        return paddingBlocks_;
    }
    int64_t PlayedSamples() {
        std::lock_guard<std::mutex> lock(mutex_);
        return playedSamples_;
    }

  private:
    int Sample(int64_t frame) const {
        if (frame < 0 || frame >= length_) {
            return -1;
        }
        auto it = std::upper_bound(runs_.begin(), runs_.end(), frame,
                                   [](int64_t f, const Run& r) { return f < r.fileStart; });
        --it;
        return CounterSample(it->counterStart + (frame - it->fileStart));
    }

    void Check(int16_t v) {
        if (padLeft_ == 0 && expect_ >= 0 && Sample(expect_) == v) {
            ++expect_;
            return;
        }
        // After the end of a replayed file (as long as it was when that replay began), the
        // rest of the last short block keeps what the block buffer held before: exactly the
        // samples that complete the block counted from the last jump, whatever they are.
        if (padLeft_ > 0) {
            --padLeft_;
            return;
        }
        if (!padded_ && expect_ > lastJumpFrame_ &&
            (expect_ >= length_ || std::find(ends_.begin(), ends_.end(), expect_) != ends_.end())) {
            const int64_t tail = (expect_ - lastJumpFrame_) % kBlockLength;
            padded_ = true;
            if (tail != 0) {
                padLeft_ = kBlockLength - tail - 1;
                ++paddingBlocks_;
                return;
            }
        }
        while (!jumps_.empty()) {
            const Jump jump = jumps_.front();
            jumps_.pop_front();
            if (Sample(jump.frame) == v) {
                expect_ = jump.frame + 1;
                lastJumpFrame_ = jump.frame;
                padded_ = false;
                return;
            }
        }
        // Nothing explains it: an earlier sample again, or a sample from further on.
        bool earlier = false;
        for (int64_t back = 1; back <= 4 * 1323 && expect_ - back >= 0; ++back) {
            if (Sample(expect_ - back) == v) {
                earlier = true;
                expect_ = expect_ - back + 1;
                break;
            }
        }
        if (earlier) {
            ++repeated_;
        } else {
            ++lost_;
            if (expect_ >= 0) {
                ++expect_;
            }
        }
    }

    std::mutex mutex_;
    std::vector<Run> runs_;
    int64_t length_ = 0;
    int64_t expect_ = -1;
    struct Jump {
        int64_t frame;
        int64_t fileLength;
    };
    std::deque<Jump> jumps_;
    std::deque<int64_t> ends_;   // file lengths at recent replay starts, seeks and rewinds
    int64_t padLeft_ = 0;        // samples of a last block's tail still to come
    bool padded_ = false;        // the tail after the current end has been taken
    int64_t lastJumpFrame_ = 0;  // where the replay's reads started counting blocks
    int64_t paddingBlocks_ = 0;
    int64_t lost_ = 0;
    int64_t repeated_ = 0;
    int64_t playedSamples_ = 0;
};

struct Settings {
    double audioSeconds = 60;
    double speed = 10;
    uint32_t seed = 1;
};

bool ParseArguments(int argc, char** argv, Settings* settings) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        char* end = nullptr;
        const double value = std::strtod(argv[++i], &end);
        if (end == argv[i] || *end != '\0') {
            return false;
        }
        if (name == "--audio-seconds" && value > 0 && value < 1e7) {
            settings->audioSeconds = value;
        } else if (name == "--speed" && value > 0 && value <= 1000) {
            settings->speed = value;
        } else if (name == "--seed" && value >= 0 && value < 4294967296.0) {
            settings->seed = static_cast<uint32_t>(value);
        } else {
            return false;
        }
    }
    return true;
}

double PeakRssMiB() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

class Soak {
  public:
    Soak(const Settings& settings, const std::string& folder)
        : settings_(settings),
          folder_(folder),
          card_(SimulatedSoundCard::ClockMode::kRealTime, settings.speed),
          random_(settings.seed) {
        card_.SetCaptureSource([this](int16_t* samples, size_t count) {
            for (size_t i = 0; i < count; ++i) {
                samples[i] = CounterSample(captureIndex_++);
            }
        });
        card_.SetPlaybackSink(
            [this](const int16_t* samples, size_t count) { model_.Played(samples, count); });
        auto analysis = std::make_unique<ClockedAnalysis>(&holder_);
        analysis_ = analysis.get();
        TransportSettings transportSettings;
        transportSettings.recordingRateHz = kRateHz;
        deck_ = std::make_unique<DeckOperations>(view_, owner_, std::move(analysis),
                                                 card_.MakeCapturePort(), card_.MakePlaybackPort(),
                                                 transportSettings);
        deck_->StartWorker();
    }

    int Run() {
        const int64_t endUs = static_cast<int64_t>(settings_.audioSeconds * 1e6);
        while (card_.NowMicroseconds() < endUs) {
            // Let audio pass between operations, handling the worker's commands meanwhile.
            std::uniform_int_distribution<int> dwell(200, 1500);
            const int64_t until = card_.NowMicroseconds() + int64_t{dwell(random_)} * 1000;
            while (card_.NowMicroseconds() < std::min(until, endUs)) {
                Dispatch();
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            }
            Dispatch();
            RandomOperation();
        }
        if (T().Mode() == TransportMode::Recording) {
            deck_->RecordToggle();
            CheckTake();
        }
        const double parkedShare = MeasureParkedWorker();
        deck_->Close();
        deck_.reset();  // drains the speaker through the checks
        const int64_t lost = model_.Lost();
        const int64_t repeated = model_.Repeated();
        if (overrunBreaks_ > 0) {
            std::printf(
                "soak: %d card overruns while recording (%lld frames the card dropped "
                "because the worker was late; the machine is too busy for this speed)\n",
                overrunBreaks_, static_cast<long long>(overrunFrames_));
        }
        std::printf(
            "soak: %.0f s audio, %d operations, %lld lost, %lld repeated, %lld short last "
            "blocks, %d device events, peak RSS %.1f MiB\n",
            settings_.audioSeconds, operations_, static_cast<long long>(lost),
            static_cast<long long>(repeated), static_cast<long long>(model_.PaddingBlocks()),
            deviceEvents_, PeakRssMiB());
        std::printf(
            "soak: parked worker used %.3f %% of a core over %.1f s (%.1f %% while analysing "
            "live for 1 s before)\n",
            parkedShare * 100.0, kParkSeconds, runningShare_ * 100.0);
        const bool parkedIdle = parkedShare >= 0.0 && parkedShare < 0.01;
        return lost == 0 && repeated == 0 && deviceEvents_ == 0 && parkedIdle ? 0 : 1;
    }

  private:
    static constexpr double kParkSeconds = 3.0;

    AudioTransport& T() { return deck_->Transport(); }

    // The worker's own CPU time (its thread's clock) across kParkSeconds of real time parked
    // in the handshake, as a share of one core; -1 when it cannot be read.
    double MeasureParkedWorker() {
        // For comparison: the same clock over a second of live analysis.
        const double runningFrom = analysis_->WorkerCpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        runningShare_ = analysis_->WorkerCpuSeconds() - runningFrom;
        T().Pause();
        const double before = analysis_->WorkerCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(kParkSeconds));
        const double after = analysis_->WorkerCpuSeconds();
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        T().Resume();
        if (before < 0.0 || after < 0.0) {
            return -1.0;
        }
        return (after - before) / elapsed;
    }

    void Dispatch() {
        for (TransportEvent event : owner_.Take()) {
            if (event == TransportEvent::ReplayEnded) {
                if (T().Mode() == TransportMode::ReplayPaused ||
                    T().Mode() == TransportMode::Replaying) {
                    model_.ExpectJump(0);
                }
            } else {
                ++deviceEvents_;
            }
            deck_->OnTransportEvent(event, 0);
        }
    }

    // Checks what the last take appended: one unbroken run of the card's counter.
    void CheckTake() {
        WaveFile* current = T().CurrentFile();
        if (current == nullptr) {
            return;
        }
        const int64_t from = takeStartFrame_;
        const int64_t to = current->FrameCount();
        auto reader = WaveFile::OpenForReading(T().CurrentPath());
        if (!reader || reader->State() != WaveFileState::Reading || to <= from) {
            return;
        }
        if (!reader->Seek(static_cast<int32_t>(from))) {
            model_.AddLost(to - from);  // a take that cannot be reached is not in the file
            return;
        }
        int64_t overrunBudget = card_.DroppedCaptureFrameCount() - dropsAtTakeStart_;
        std::vector<int16_t> chunk(8192);
        int64_t position = from;
        int64_t runStart = -1;
        int64_t runFileStart = from;
        int16_t previous = 0;
        while (position < to) {
            const int32_t want = static_cast<int32_t>(std::min<int64_t>(8192, to - position));
            const int32_t got = reader->ReadMono(chunk.data(), want);
            if (got <= 0) {
                break;
            }
            for (int32_t i = 0; i < got; ++i) {
                const int16_t v = chunk[static_cast<size_t>(i)];
                if (runStart < 0) {
                    runStart = v;
                } else if (v != CounterSample(previous + 1)) {
                    // A break inside a take: the card's sound did not all reach the file.
                    // The card never captures a sample twice: any break is sound missing. What
                    // the card itself dropped for want of a queued buffer (the worker was late
                    // on a busy machine) is an overrun; the rest was lost by the software.
                    const int64_t gap =
                        ((v - previous - 1) & 0x7FFF) > 0 ? ((v - previous - 1) & 0x7FFF) : 0x8000;
                    if (gap <= overrunBudget) {
                        overrunBudget -= gap;
                        overrunFrames_ += gap;
                        ++overrunBreaks_;
                    } else {
                        model_.AddLost(gap);
                    }
                    model_.Append(runStart, position + i - runFileStart);
                    runFileStart = position + i;
                    runStart = v;
                }
                previous = v;
            }
            position += got;
        }
        if (runStart >= 0) {
            model_.Append(runStart, position - runFileStart);
        }
    }

    void RandomOperation() {
        std::uniform_int_distribution<int> pick(0, 99);
        const int p = pick(random_);
        const TransportMode mode = T().Mode();
        ++operations_;
        if (mode == TransportMode::Recording) {
            if (p < 85) {
                deck_->RecordToggle();
                CheckTake();
            } else {
                --operations_;  // keep recording a little longer
            }
            return;
        }
        const bool replay = mode == TransportMode::Replaying || mode == TransportMode::ReplayPaused;
        if (p < 30) {  // record (a new take appended to the current file)
            if (T().CurrentFile() != nullptr && mode != TransportMode::Replaying) {
                takeStartFrame_ = T().CurrentFile()->FrameCount();
                dropsAtTakeStart_ = card_.DroppedCaptureFrameCount();
                deck_->RecordToggle();
            }
        } else if (p < 50) {  // play / pause
            if (mode == TransportMode::Idle || mode == TransportMode::RecordStopped) {
                model_.ExpectJump(0);
            }
            deck_->PlayToggle();
        } else if (p < 65) {  // seek
            if (replay && T().Reader() != nullptr) {
                const int frames = T().Reader()->FrameCount();
                std::uniform_int_distribution<int> where(0, frames / 44 + 300);
                view_.slider = where(random_);
                const double frame = view_.slider * 0.001 * T().Reader()->SampleRateHz();
                if (static_cast<int>(frame) < frames) {
                    model_.ExpectJump(static_cast<int>(frame));
                }
                deck_->Seek();
            }
        } else if (p < 75) {  // rewind
            if (replay) {
                model_.ExpectJump(0);
                deck_->Rewind();
            }
        } else if (p < 88) {  // pause the replay
            deck_->PauseReplay();
        } else if (p < 94) {  // new
            if (mode != TransportMode::Replaying) {
                deck_->New(true);
                model_.Reset();  // the set-up drained the speaker against the old content
                RemoveSaved();
            }
        } else {  // save
            if (deck_->CanSave()) {
                const std::string target = folder_ + "save" + std::to_string(saves_++) + ".wav";
                RemoveSaved();
                if (deck_->SaveTo(target)) {
                    savedPath_ = target;
                }
            }
        }
    }

    void RemoveSaved() {
        if (!savedPath_.empty() && savedPath_ != T().CurrentPath()) {
            DeleteFileAt(savedPath_);
            savedPath_.clear();
        }
    }

    Settings settings_;
    std::string folder_;
    ResultHolder holder_;
    SimulatedSoundCard card_;
    std::mt19937 random_;
    int64_t captureIndex_ = 0;
    FileModel model_;
    ClockedAnalysis* analysis_ = nullptr;
    double runningShare_ = 0.0;
    SoakOwner owner_;
    SoakView view_;
    std::unique_ptr<DeckOperations> deck_;
    int operations_ = 0;
    int deviceEvents_ = 0;
    int64_t takeStartFrame_ = 0;
    int64_t dropsAtTakeStart_ = 0;
    int64_t overrunFrames_ = 0;
    int overrunBreaks_ = 0;
    int saves_ = 0;
    std::string savedPath_;
};

}  // namespace
}  // namespace melvora

int main(int argc, char** argv) {
    melvora::Settings settings;
    if (!melvora::ParseArguments(argc, argv, &settings)) {
        std::fprintf(stderr, "usage: transport-soak --audio-seconds S --speed F [--seed N]\n");
        return 2;
    }
    char pattern[] = "/tmp/melvora-soak-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) {
        std::fprintf(stderr, "transport-soak: cannot make a temporary folder\n");
        return 2;
    }
    const std::string folder = std::string(made) + "/";
    melvora::SetProgramDirectoryOverride(folder);
    int result = 1;
    {
        melvora::Soak soak(settings, folder);
        result = soak.Run();
    }
    std::system(("rm -rf '" + folder + "'").c_str());
    return result;
}
