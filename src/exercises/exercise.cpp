#include "exercises/exercise.h"

#include <cstdio>

#include "exercises/byte_order.h"
#include "exercises/exercise_folder.h"
#include "platform/file_system.h"

namespace melvora {

using exercise_bytes::ReadI32;
using exercise_bytes::ReadString;
using exercise_bytes::ReadU32;

std::unique_ptr<Exercise> Exercise::Open(const std::string& fileName) {
    // The name comes from a folder listing or from unfinished.dat; a separator in it could
    // reach files outside the folder (and later recording folders outside their own).
    if (fileName.empty() || fileName.find_first_of("/\\") != std::string::npos) {
        return nullptr;
    }
    std::FILE* file = OpenFile(ExerciseFolder::Path() + fileName, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[8192];
    size_t got;
    bool tooLarge = false;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        if (bytes.size() + got > kMaxFileBytes) {
            tooLarge = true;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    if (tooLarge) {
        return nullptr;
    }
    return FromBytes(fileName, std::move(bytes));
}

std::unique_ptr<Exercise> Exercise::FromBytes(const std::string& fileName,
                                              std::vector<uint8_t> bytes) {
    std::unique_ptr<Exercise> exercise(new Exercise());
    exercise->fileName_ = fileName;
    exercise->bytes_ = std::move(bytes);
    if (!exercise->ParseHeader() || !exercise->StepTextsAreTerminated()) {
        return nullptr;
    }
    return exercise;
}

bool Exercise::ParseHeader() {
    const size_t size = bytes_.size();
    if (size < 4) {
        return false;
    }
    const uint64_t headerBytes = ReadU32(bytes_.data());
    if (headerBytes > size - 4) {
        return false;
    }
    const uint8_t* header = bytes_.data() + 4;
    const size_t h = static_cast<size_t>(headerBytes);
    size_t p = 0;
    if (!ReadString(header, p, h, &title_, &p) || p >= h) {
        return false;
    }
    if (!ReadString(header, p, h, &description_, &p) || p >= h) {
        return false;
    }
    if (!ReadString(header, p, h, &introduction_, &p)) {
        return false;
    }
    instrument_ = kNoInstrument;
    if (p + 5 <= h) {
        instrument_ = header[p];
        p += 1;
    }
    if (p + 4 > h) {
        return false;
    }
    stepCount_ = ReadI32(header + p);
    // A negative count has no meaning and would let Advance walk past the end for ever.
    if (stepCount_ < 0) {
        return false;
    }
    nextRecord_ = 4 + h;
    currentStep_ = -1;
    return true;
}

bool Exercise::StepTextsAreTerminated() const {
    const size_t size = bytes_.size();
    size_t offset = nextRecord_;
    for (int32_t step = 0; step < stepCount_; ++step) {
        if (size - offset < 4) {
            return true;  // an incomplete record fails in Advance, as a short read does
        }
        const uint64_t payloadBytes = ReadU32(bytes_.data() + offset);
        if (payloadBytes > size - offset - 4) {
            return true;
        }
        const uint8_t* payload = bytes_.data() + offset + 4;
        std::string text;
        size_t next;
        if (!ReadString(payload, 0, static_cast<size_t>(payloadBytes), &text, &next)) {
            return false;
        }
        offset += 4 + static_cast<size_t>(payloadBytes);
    }
    return true;
}

void Exercise::ClearStep() {
    stepText_.clear();
    stepInstrument_ = -1;
    notes_.clear();
    totalDurationMs_ = 0;
}

bool Exercise::Advance() {
    ClearStep();
    if (currentStep_ >= stepCount_) {
        return false;
    }
    currentStep_ += 1;
    if (currentStep_ == stepCount_) {
        return true;
    }
    const size_t size = bytes_.size();
    if (nextRecord_ > size || size - nextRecord_ < 4) {
        nextRecord_ = size;
        return false;
    }
    const uint64_t payloadBytes = ReadU32(bytes_.data() + nextRecord_);
    if (payloadBytes > size - nextRecord_ - 4) {
        nextRecord_ = size;
        return false;
    }
    const uint8_t* payload = bytes_.data() + nextRecord_ + 4;
    const size_t p = static_cast<size_t>(payloadBytes);
    nextRecord_ += 4 + p;

    size_t t = 0;
    if (!ReadString(payload, 0, p, &stepText_, &t)) {
        return false;
    }
    if ((p - t) % 6 != 0) {
        stepInstrument_ = static_cast<int8_t>(payload[t]);
        t += 1;
    }
    const size_t noteCount = (p - t) / 6;
    notes_.resize(noteCount);
    for (size_t i = 0; i < noteCount; ++i) {
        const uint8_t* n = payload + t + 6 * i;
        notes_[i].key = static_cast<int8_t>(n[0]);
        notes_[i].velocity = n[1];
        notes_[i].durationMs = ReadI32(n + 2);
        totalDurationMs_ += notes_[i].durationMs;
    }
    return true;
}

}  // namespace melvora
