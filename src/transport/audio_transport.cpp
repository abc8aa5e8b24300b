#include "transport/audio_transport.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "app/app_options.h"
#include "transport/replay_reader.h"
#include "audio/wave_file.h"
#include "audio/wave_in_device.h"
#include "audio/wave_out_device.h"
#include "platform/program_directory.h"

namespace melvora {

// Everything the worker touches. The worker holds its own reference, so an abandoned worker
// keeps it alive and frees it when (if) it ends.
struct AudioTransport::Shared {
    std::atomic<int32_t> mode{static_cast<int32_t>(TransportMode::Idle)};
    std::atomic<bool> stopRequest{false};
    std::atomic<bool> pauseRequest{false};
    std::atomic<bool> parked{false};
    std::atomic<bool> endOfFile{false};

    std::unique_ptr<TransportAnalysis> analysis;
    std::unique_ptr<WaveInDevice> capture;
    std::unique_ptr<WaveOutDevice> playback;
    std::unique_ptr<WaveFile> currentFile;
    std::unique_ptr<ReplayReader> reader;
    std::vector<int16_t> block;
    int blockLength = 0;
    int sampleRateHz = 0;

    // The owner, cleared when the worker is abandoned so it never posts to a window that is
    // gone.
    std::mutex ownerMutex;
    TransportOwner* owner = nullptr;

    std::mutex finishMutex;
    std::condition_variable finished;
    bool workerEnded = false;

    void Post(int commandId) {
        std::lock_guard<std::mutex> lock(ownerMutex);
        if (owner != nullptr) {
            owner->PostCommand(commandId);
        }
    }

    // One pass of the worker loop while not paused.
    void Pass() {
        const auto current = static_cast<TransportMode>(mode.load());
        int16_t* samples = block.data();
        if (current != TransportMode::Replaying) {
            capture->ReadBlock(samples, blockLength);
        } else if (!endOfFile.load()) {
            const int frames = reader ? reader->Read(samples, blockLength) : 0;
            if (frames <= 0) {
                endOfFile.store(true);
                Post(IDC_PLAY);
                Post(IDC_REW);
                return;
            }
            // The last, short block is passed on whole with silence after the end of the file,
            // not with the previous block's samples.
            std::fill(samples + frames, samples + blockLength, int16_t{0});
        } else {
            // The end was reached and the posted Play has not been handled yet: nothing new to
            // analyse or play, so nothing is passed on twice.
            std::this_thread::yield();
            return;
        }
        analysis->ProcessBlock(samples, blockLength);
        if (current == TransportMode::Recording && currentFile) {
            currentFile->WriteMono(samples, blockLength);
        } else if (current == TransportMode::Replaying) {
            playback->WriteBlock(samples, blockLength);
        }
    }

    int Run() {
        if (stopRequest.load()) {
            return 1;
        }
        do {
            if (pauseRequest.load()) {
                parked.store(true);
                std::this_thread::yield();
            } else {
                parked.store(false);
                Pass();
            }
        } while (!stopRequest.load());
        return 1;
    }
};

AudioTransport::AudioTransport(TransportOwner& owner, std::unique_ptr<TransportAnalysis> analysis,
                               std::unique_ptr<WaveInPort> capturePort,
                               std::unique_ptr<WaveOutPort> playbackPort)
    : shared_(std::make_shared<Shared>()) {
    shared_->owner = &owner;
    shared_->analysis = std::move(analysis);
    shared_->capture = std::make_unique<WaveInDevice>(std::move(capturePort));
    shared_->playback = std::make_unique<WaveOutDevice>(std::move(playbackPort));
    currentPath_ = WorkingFilePath();
    const AppOptions& options = Options();
    auto file = WaveFile::CreateForWriting(
        currentPath_, static_cast<uint32_t>(options.recordingFrequencyHz), 16, 1, 1);
    if (file && file->State() == WaveFileState::Writing) {
        shared_->currentFile = std::move(file);
    }
    SetUp();
}

AudioTransport::~AudioTransport() {
    Shared& s = *shared_;
    s.stopRequest.store(true);
    if (worker_.joinable()) {
        bool ended = false;
        {
            std::unique_lock<std::mutex> lock(s.finishMutex);
            ended = s.finished.wait_for(lock, std::chrono::milliseconds(stopWaitMs_),
                                        [&s] { return s.workerEnded; });
        }
        if (ended) {
            worker_.join();
        } else {
            // Leave the worker and what it uses alone; only the file it is not writing is
            // closed here, so its header is complete on disk.
            abandoned_ = true;
            worker_.detach();
            {
                std::lock_guard<std::mutex> lock(s.ownerMutex);
                s.owner = nullptr;
            }
            if (static_cast<TransportMode>(s.mode.load()) != TransportMode::Recording) {
                s.currentFile.reset();
            }
            return;
        }
    }
    s.currentFile.reset();
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
            std::lock_guard<std::mutex> lock(shared->finishMutex);
            shared->workerEnded = true;
        }
        shared->finished.notify_all();
    });
}

void AudioTransport::Pause() {
    if (pauseDepth_++ > 0 || !worker_.joinable()) {
        return;
    }
    Shared& s = *shared_;
    s.pauseRequest.store(true);
    while (!s.parked.load()) {
        std::this_thread::yield();
    }
}

void AudioTransport::Resume() {
    if (pauseDepth_ == 0 || --pauseDepth_ > 0 || !worker_.joinable()) {
        return;
    }
    Shared& s = *shared_;
    s.pauseRequest.store(false);
    while (s.parked.load()) {
        std::this_thread::yield();
    }
}

int AudioTransport::TransportRateHz() {
    if (shared_->currentFile) {
        return static_cast<int>(shared_->currentFile->SampleRateHz());
    }
    return Options().recordingFrequencyHz;
}

void AudioTransport::SetUp() {
    Shared& s = *shared_;
    const int rate = TransportRateHz();
    const AppOptions& options = Options();
    const int hop =
        s.analysis->Configure(rate, options.frameLengthSeconds, options.skipRateSeconds, 1024);
    s.blockLength = std::max(hop, 1);
    s.block.assign(static_cast<size_t>(s.blockLength), 0);
    s.sampleRateHz = rate;
    s.capture->Close();
    s.playback->Stop();
    s.capture->SetFormat(rate, 16, 1, 1);
    s.playback->SetFormat(rate, 16, 1, 1);
    s.capture->Open(128, 3);
    s.playback->Open(128, 5);
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
    shared_->currentFile = std::move(file);
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
