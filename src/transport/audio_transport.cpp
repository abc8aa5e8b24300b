#include "transport/audio_transport.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/wave_file.h"
#include "audio/wave_in_device.h"
#include "audio/wave_out_device.h"
#include "platform/program_directory.h"
#include "transport/replay_reader.h"

namespace melvora {

// Everything the worker touches. The worker holds its own reference, so an abandoned worker
// keeps it alive and frees it when (if) it ends.
struct AudioTransport::Shared {
    std::atomic<int32_t> mode{static_cast<int32_t>(TransportMode::Idle)};
    std::atomic<bool> stopRequest{false};
    std::atomic<bool> pauseRequest{false};
    std::atomic<bool> parked{false};
    std::atomic<bool> endOfFile{false};
    // Set by the worker when the capture device failed or a block could not be appended:
    // nothing more is appended to the file until the next set-up or file change.
    std::atomic<bool> appendHalted{false};
    // A device failure is reported once until the next set-up, so a device that keeps
    // failing does not flood the window.
    bool captureReported = false;
    bool playbackReported = false;

    std::unique_ptr<TransportAnalysis> analysis;
    std::unique_ptr<WaveInDevice> capture;
    std::unique_ptr<WaveOutDevice> playback;
    std::unique_ptr<ReplayReader> reader;
    std::vector<int16_t> block;
    int blockLength = 0;
    int sampleRateHz = 0;

    // The current file, shared with the window thread: the worker appends under the lock, and
    // the window thread replaces or closes the file under it, so a file is never closed in the
    // middle of a block and an abandoned worker never writes into a freed one.
    std::mutex fileMutex;
    std::unique_ptr<WaveFile> currentFile;

    // The owner, cleared when the worker is abandoned so it never posts to a window that is
    // gone.
    std::mutex ownerMutex;
    TransportOwner* owner = nullptr;

    // The handshake and the worker's end: the flags above are atomics that anyone may read,
    // but pauseRequest, parked and stopRequest change under this lock, and every change is
    // announced on `changed`, so neither side has to spin.
    std::mutex mutex;
    std::condition_variable changed;
    bool workerEnded = false;

    void Post(TransportEvent event, int deviceError = 0) {
        std::lock_guard<std::mutex> lock(ownerMutex);
        if (owner != nullptr) {
            owner->PostEvent(event, deviceError);
        }
    }

    // One pass of the worker loop while not paused.
    void Pass() {
        const auto current = static_cast<TransportMode>(mode.load());
        int16_t* samples = block.data();
        if (current != TransportMode::Replaying) {
            if (capture->ReadBlock(samples, blockLength) == -1) {
                int deviceError = 0;
                if (capture->TakeFailure(&deviceError)) {
                    // What the card delivered of this block is not whole: it is not passed on,
                    // and a recording keeps what it had.
                    appendHalted.store(true);
                    if (!captureReported) {
                        captureReported = true;
                        Post(TransportEvent::CaptureFailed, deviceError);
                    }
                    return;
                }
            }
        } else if (!endOfFile.load()) {
            const int frames = reader ? reader->Read(samples, blockLength) : 0;
            if (frames <= 0) {
                endOfFile.store(true);
                Post(TransportEvent::ReplayEnded);
                return;
            }
            // The last, short block is passed on whole; past the end of the file it keeps the
            // previous block's samples, as the command-line analyser does, so both show the
            // same last result.
        } else {
            // The end was reached and the window has not paused the replay yet: nothing new to
            // analyse or play, so nothing is passed on twice.
            std::this_thread::yield();
            return;
        }
        analysis->ProcessBlock(samples, blockLength);
        if (current == TransportMode::Recording) {
            Append(samples);
        } else if (current == TransportMode::Replaying) {
            if (playback->WriteBlock(samples, blockLength) == -1) {
                int deviceError = 0;
                if (playback->TakeFailure(&deviceError) && !playbackReported) {
                    playbackReported = true;
                    Post(TransportEvent::PlaybackFailed, deviceError);
                }
            }
        }
    }

    void Append(const int16_t* samples) {
        if (appendHalted.load()) {
            return;
        }
        std::lock_guard<std::mutex> lock(fileMutex);
        if (currentFile && currentFile->WriteMono(samples, blockLength) != blockLength) {
            appendHalted.store(true);
            Post(TransportEvent::RecordingStopped);
        }
    }

    int Run() {
        while (!stopRequest.load()) {
            if (pauseRequest.load()) {
                std::unique_lock<std::mutex> lock(mutex);
                parked.store(true);
                changed.notify_all();
                changed.wait(lock, [this] { return !pauseRequest.load() || stopRequest.load(); });
                parked.store(false);
                changed.notify_all();
                if (stopRequest.load()) {
                    break;
                }
                // Resume returns once parked is clear, and its callers rely on the worker
                // being in a pass by then: go straight into one.
            }
            Pass();
        }
        return 1;
    }

    // Closes the current file (which finishes its header) once no block is being appended.
    // false when the worker held the file for longer than `waitMs`.
    bool CloseFile(int waitMs) {
        // Polled rather than a timed lock: this runs once, at shut-down, and the timed lock's
        // clock variant is not seen by the thread sanitizer.
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        std::unique_lock<std::mutex> lock(fileMutex, std::try_to_lock);
        while (!lock.owns_lock()) {
            if (std::chrono::steady_clock::now() >= end) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            lock.try_lock();
        }
        currentFile.reset();
        return true;
    }
};

AudioTransport::AudioTransport(TransportOwner& owner, std::unique_ptr<TransportAnalysis> analysis,
                               std::unique_ptr<WaveInPort> capturePort,
                               std::unique_ptr<WaveOutPort> playbackPort,
                               const TransportSettings& settings)
    : shared_(std::make_shared<Shared>()), settings_(settings) {
    shared_->owner = &owner;
    shared_->analysis = std::move(analysis);
    shared_->capture = std::make_unique<WaveInDevice>(std::move(capturePort));
    shared_->playback = std::make_unique<WaveOutDevice>(std::move(playbackPort));
    currentPath_ = WorkingFilePath();
    auto file = WaveFile::CreateForWriting(
        currentPath_, static_cast<uint32_t>(settings_.recordingRateHz), 16, 1, 1);
    if (file && file->State() == WaveFileState::Writing) {
        shared_->currentFile = std::move(file);
    }
    SetUp();
}

AudioTransport::~AudioTransport() {
    Shared& s = *shared_;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.stopRequest.store(true);
    }
    s.changed.notify_all();
    if (worker_.joinable()) {
        bool ended = false;
        {
            std::unique_lock<std::mutex> lock(s.mutex);
            ended = s.changed.wait_for(lock, std::chrono::milliseconds(stopWaitMs_),
                                       [&s] { return s.workerEnded; });
        }
        if (ended) {
            worker_.join();
        } else {
            // Leave the worker and what it uses alone, but finish the recording's header: the
            // file is taken from the worker under its lock, so it appends nothing more.
            abandoned_ = true;
            worker_.detach();
            {
                std::lock_guard<std::mutex> lock(s.ownerMutex);
                s.owner = nullptr;
            }
            s.CloseFile(stopWaitMs_);
            return;
        }
    }
    s.CloseFile(0);
    s.reader.reset();
    s.analysis.reset();
    s.block.clear();
    s.capture->Close();
    s.playback->Stop();
    s.capture.reset();
    s.playback.reset();
}

void AudioTransport::StartWorker() {
    if (worker_.joinable() || abandoned_) {
        return;
    }
    std::shared_ptr<Shared> shared = shared_;
    worker_ = std::thread([shared] {
        shared->Run();
        {
            std::lock_guard<std::mutex> lock(shared->mutex);
            shared->workerEnded = true;
        }
        shared->changed.notify_all();
    });
}

void AudioTransport::Pause() {
    if (pauseDepth_++ > 0 || !worker_.joinable()) {
        return;
    }
    Shared& s = *shared_;
    std::unique_lock<std::mutex> lock(s.mutex);
    s.pauseRequest.store(true);
    s.changed.wait(lock, [&s] { return s.parked.load() || s.workerEnded; });
}

void AudioTransport::Resume() {
    if (pauseDepth_ == 0 || --pauseDepth_ > 0 || !worker_.joinable()) {
        return;
    }
    Shared& s = *shared_;
    std::unique_lock<std::mutex> lock(s.mutex);
    s.pauseRequest.store(false);
    s.changed.notify_all();
    s.changed.wait(lock, [&s] { return !s.parked.load() || s.workerEnded; });
}

int AudioTransport::TransportRateHz() {
    if (shared_->currentFile) {
        return static_cast<int>(shared_->currentFile->SampleRateHz());
    }
    return settings_.recordingRateHz;
}

void AudioTransport::SetUp() {
    Shared& s = *shared_;
    const int rate = TransportRateHz();
    const int hop =
        s.analysis->Configure(rate, settings_.frameLengthSeconds, settings_.skipRateSeconds, 1024);
    s.blockLength = std::max(hop, 1);
    s.block.assign(static_cast<size_t>(s.blockLength), 0);
    s.sampleRateHz = rate;
    s.capture->Close();
    s.playback->Stop();
    s.capture->SetFormat(rate, 16, 1, 1);
    s.playback->SetFormat(rate, 16, 1, 1);
    // A device that does not open behaves as a closed one (silence in, nothing out), so the
    // worker keeps its pace and the analysis runs on: a machine without a sound card carries
    // on silently.
    static_cast<void>(s.capture->Open(128, 3));
    static_cast<void>(s.playback->Open(128, 5));
    // Devices that failed before are open again (or closed for good): a recording may append,
    // and a new failure is reported again.
    s.appendHalted.store(false);
    s.captureReported = false;
    s.playbackReported = false;
}

void AudioTransport::SetVoiceActivationSensitivity(float sensitivity) {
    shared_->analysis->SetVoiceActivationSensitivity(sensitivity);
}

std::wstring AudioTransport::CaptureErrorText(int deviceError) const {
    return shared_->capture->ErrorText(deviceError);
}

std::wstring AudioTransport::PlaybackErrorText(int deviceError) const {
    return shared_->playback->ErrorText(deviceError);
}

TransportMode AudioTransport::Mode() const {
    return static_cast<TransportMode>(shared_->mode.load());
}

void AudioTransport::SetMode(TransportMode mode) {
    shared_->mode.store(static_cast<int32_t>(mode));
}

WaveFile* AudioTransport::CurrentFile() {
    return shared_->currentFile.get();
}

void AudioTransport::SetCurrentFile(std::unique_ptr<WaveFile> file) {
    std::unique_ptr<WaveFile> old;
    {
        std::lock_guard<std::mutex> lock(shared_->fileMutex);
        old = std::move(shared_->currentFile);
        shared_->currentFile = std::move(file);
    }
    shared_->appendHalted.store(false);
    // Closing the old file (which writes its header) needs no lock: the worker cannot see it.
}

ReplayReader* AudioTransport::Reader() {
    return shared_->reader.get();
}

void AudioTransport::SetReader(std::unique_ptr<ReplayReader> reader) {
    shared_->reader = std::move(reader);
}

void AudioTransport::ResetResultsOfAnalysis() {
    shared_->analysis->ResetResults();
}

bool AudioTransport::EndOfFile() const {
    return shared_->endOfFile.load();
}

void AudioTransport::ClearEndOfFile() {
    shared_->endOfFile.store(false);
}

int AudioTransport::SampleRateHz() const {
    return shared_->sampleRateHz;
}

int AudioTransport::BlockLength() const {
    return shared_->blockLength;
}

std::string AudioTransport::WorkingFilePath() {
    return ProgramDirectory() + kWorkingFileName;
}

}  // namespace melvora
