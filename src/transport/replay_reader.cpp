#include "transport/replay_reader.h"

#include "audio/wave_file.h"

namespace melvora {

ReplayReader::ReplayReader(const std::string& path) : file_(WaveFile::OpenForReading(path)) {
    if (file_ && file_->State() != WaveFileState::Reading) {
        file_.reset();
    }
}

ReplayReader::~ReplayReader() = default;

bool ReplayReader::IsOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return file_ != nullptr;
}

int ReplayReader::Read(int16_t* samples, int frameCount) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!file_) {
        return 0;
    }
    const int32_t frames = file_->ReadMono(samples, frameCount);
    if (frames <= 0) {
        return 0;
    }
    positionFrame_ += frames;
    return frames;
}

bool ReplayReader::Seek(int frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!file_ || !file_->Seek(frame)) {
        return false;
    }
    positionFrame_ = frame;
    return true;
}

int ReplayReader::PositionFrame() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return positionFrame_;
}

int ReplayReader::FrameCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return file_ ? file_->FrameCount() : 0;
}

int ReplayReader::SampleRateHz() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return file_ ? static_cast<int>(file_->SampleRateHz()) : 0;
}

}  // namespace melvora
