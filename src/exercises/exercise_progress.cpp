#include "exercises/exercise_progress.h"

#include "exercises/byte_order.h"
#include "exercises/exercise_folder.h"
#include "platform/file_system.h"
#include "platform/program_directory.h"
#include "platform/text_encoding.h"

namespace melvora {
namespace {

constexpr size_t kMaxFileBytes = 16u << 20;

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        return false;
    }
    uint8_t chunk[8192];
    size_t got;
    bool ok = true;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        if (bytes->size() + got > kMaxFileBytes) {
            ok = false;
            break;
        }
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    std::fclose(file);
    return ok;
}

[[nodiscard]] bool WriteBytes(std::FILE* file, const std::vector<uint8_t>& bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

std::string FormatTime(const char* format, std::time_t when) {
    const std::tm* local = std::localtime(&when);
    if (local == nullptr) {
        return std::string();
    }
    char buffer[128];
    const size_t length = std::strftime(buffer, sizeof(buffer), format, local);
    return std::string(buffer, length);
}

}  // namespace

ExerciseProgress::~ExerciseProgress() {
    CloseKeeping();
}

std::string ExerciseProgress::FilePath() {
    return ExerciseFolder::Path() + "unfinished.dat";
}

bool ExerciseProgress::ParseFileImage(const uint8_t* data, size_t sizeBytes, FileImage* image) {
    using exercise_bytes::ReadF32;
    using exercise_bytes::ReadI32;
    using exercise_bytes::ReadString;
    size_t p = 0;
    if (!ReadString(data, p, sizeBytes, &image->fileName, &p) ||
        !ReadString(data, p, sizeBytes, &image->startStamp, &p) ||
        !ReadString(data, p, sizeBytes, &image->startTime, &p)) {
        return false;
    }
    if (sizeBytes - p < 4) {
        return false;
    }
    // Written as UTF-8; files of older builds hold the system's 8-bit code page.
    image->fileName = StoredTextToUtf8(image->fileName);
    image->startTime = StoredTextToUtf8(image->startTime);
    image->currentStepOffset = p;
    image->currentStep = ReadI32(data + p);
    p += 4;
    image->stepResults.clear();
    for (; sizeBytes - p >= 8; p += 8) {
        image->stepResults.push_back({ReadF32(data + p), ReadF32(data + p + 4)});
    }
    return true;
}

std::unique_ptr<ExerciseProgress> ExerciseProgress::Load() {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(FilePath(), &bytes)) {
        return nullptr;
    }
    FileImage image;
    if (!ParseFileImage(bytes.data(), bytes.size(), &image)) {
        return nullptr;
    }
    std::unique_ptr<Exercise> exercise = Exercise::Open(image.fileName);
    if (!exercise) {
        return nullptr;
    }
    // Walk the exercise to the stored step; a step it cannot reach means the exercise file
    // changed since, and the stored results no longer belong to it.
    if (image.currentStep >= 0) {
        if (image.currentStep > exercise->StepCount()) {
            return nullptr;
        }
        for (int32_t i = 0; i <= image.currentStep; ++i) {
            if (!exercise->Advance()) {
                return nullptr;
            }
        }
    }
    std::unique_ptr<ExerciseProgress> progress(new ExerciseProgress());
    progress->exercise_ = std::move(exercise);
    progress->startStamp_ = image.startStamp;
    progress->startTime_ = image.startTime;
    progress->stepResults_ = image.stepResults;
    progress->currentStepPosition_ = static_cast<long>(image.currentStepOffset);
    progress->file_ = OpenFile(FilePath(), "r+b");
    if (progress->file_ == nullptr) {
        return nullptr;
    }
    return progress;
}

std::unique_ptr<ExerciseProgress> ExerciseProgress::Start(std::unique_ptr<Exercise> exercise) {
    return Start(std::move(exercise), std::time(nullptr));
}

std::unique_ptr<ExerciseProgress> ExerciseProgress::Start(std::unique_ptr<Exercise> exercise,
                                                          std::time_t startTime) {
    if (!exercise) {
        return nullptr;
    }
    if (std::unique_ptr<ExerciseProgress> older = Load()) {
        older->CloseAndDelete();
    }
    std::unique_ptr<ExerciseProgress> progress(new ExerciseProgress());
    progress->file_ = OpenFile(FilePath(), "wb");
    if (progress->file_ == nullptr) {
        return nullptr;
    }
    progress->exercise_ = std::move(exercise);
    progress->startStamp_ = FormatTime("%y%m%d%H%M", startTime);
    progress->startTime_ = FormatTime("%c", startTime);

    std::vector<uint8_t> head;
    exercise_bytes::AppendString(head, progress->exercise_->FileName());
    exercise_bytes::AppendString(head, progress->startStamp_);
    exercise_bytes::AppendString(head, progress->startTime_);
    progress->currentStepPosition_ = static_cast<long>(head.size());
    exercise_bytes::AppendI32(head, progress->exercise_->CurrentStep());
    // On disk now, so a crash before the first step still leaves a resumable exercise. A file
    // that cannot take its head is as good as one that could not be created.
    if (!WriteBytes(progress->file_, head) || std::fflush(progress->file_) != 0) {
        progress->CloseAndDelete();
        return nullptr;
    }
    return progress;
}

bool ExerciseProgress::RecordStep(float averagePitchHz, float averageTessim) {
    if (!exercise_->Advance()) {
        return false;
    }
    if (file_ != nullptr) {
        std::vector<uint8_t> step;
        exercise_bytes::AppendI32(step, exercise_->CurrentStep());
        std::vector<uint8_t> pair;
        exercise_bytes::AppendF32(pair, averagePitchHz);
        exercise_bytes::AppendF32(pair, averageTessim);
        const bool written = std::fseek(file_, currentStepPosition_, SEEK_SET) == 0 &&
                             WriteBytes(file_, step) && std::fseek(file_, 0, SEEK_END) == 0 &&
                             WriteBytes(file_, pair) && std::fflush(file_) == 0;
        if (!written) {
            // The exercise goes on in memory; the file keeps what it had and takes no more
            // writes, so it never holds a step without its results.
            CloseKeeping();
        }
    }
    stepResults_.push_back({averagePitchHz, averageTessim});
    return true;
}

void ExerciseProgress::CloseKeeping() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void ExerciseProgress::CloseAndDelete() {
    CloseKeeping();
    DeleteFileAt(FilePath());
}

std::string ExerciseProgress::RecordingPath(int tryNumber) const {
    const std::string& fileName = exercise_->FileName();
    const size_t dot = fileName.rfind('.');
    const std::string stem = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    const std::string folder =
        ExerciseFolder::RecordingsPath() + stem + "_" + startStamp_ + PathSeparator();
    ExerciseFolder::CreateFolders(folder);
    char name[64];
    std::snprintf(name, sizeof(name), "step%d_try#%d.wav", exercise_->CurrentStep(), tryNumber);
    return folder + name;
}

}  // namespace melvora
