#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "exercises/exercise_note.h"

namespace melvora {

// One opened exercise file (".exc" in the "Exercises" folder): a header with the texts, an
// optional General MIDI instrument and the step count, then one record per step with the
// step's text, optional instrument and sample notes.
//
// File layout, all integers little-endian:
//   header length H (u32), header: title\0 description\0 introduction\0
//     [instrument (u8), present only if 5 or more header bytes remain] step count (i32) ...
//   per step: payload length P (u32), payload: text\0 [instrument (u8), present exactly
//     when the bytes after the text are not a multiple of 6] notes (6 bytes each) ...
//
// The whole file is read when it is opened and checked so that every string ends inside its
// header or payload; a file that breaks that is not offered at all. Destroying the object
// closes the exercise.
class Exercise {
  public:
    static constexpr uint8_t kNoInstrument = 255;
    // Larger files are not exercises; reading them whole would only waste memory.
    static constexpr size_t kMaxFileBytes = 16u << 20;

    // Opens `fileName` (no folder) in the "Exercises" folder of the program directory. None
    // when it cannot be read, its name holds a folder separator, or it is not a valid
    // exercise (incomplete header, negative step count, a string without its zero byte).
    static std::unique_ptr<Exercise> Open(const std::string& fileName);
    // The same from the file's bytes; `fileName` is only kept.
    static std::unique_ptr<Exercise> FromBytes(const std::string& fileName,
                                               std::vector<uint8_t> bytes);

    // Moves to the next step: before the first step (-1) to step 0, ..., from the last step
    // to the final results position (current step = step count, no record is read). Returns
    // false at the final results position and when the step record cannot be read (the
    // current step has then moved on by one). The step fields are cleared first.
    bool Advance();

    const std::string& FileName() const { return fileName_; }
    const std::string& Title() const { return title_; }
    const std::string& Description() const { return description_; }
    const std::string& Introduction() const { return introduction_; }
    // General MIDI program number for the samples; kNoInstrument when none.
    uint8_t Instrument() const { return instrument_; }
    int32_t StepCount() const { return stepCount_; }
    // -1 before the first step, 0 to StepCount() - 1 on a step, StepCount() at the end.
    int32_t CurrentStep() const { return currentStep_; }

    // Fields of the current step (empty before the first step and at the end).
    const std::string& StepText() const { return stepText_; }
    // Program number of this step's sample as a signed byte; -1 when none.
    int StepInstrument() const { return stepInstrument_; }
    const std::vector<ExerciseNote>& Notes() const { return notes_; }
    int NoteCount() const { return static_cast<int>(notes_.size()); }
    // Sum of the notes' durations, in 64 bits so hostile durations cannot overflow.
    int64_t TotalDurationMs() const { return totalDurationMs_; }

  private:
    Exercise() = default;
    bool ParseHeader();
    // Every complete step record must hold its text's zero byte.
    bool StepTextsAreTerminated() const;
    void ClearStep();

    std::string fileName_;
    std::vector<uint8_t> bytes_;
    size_t nextRecord_ = 0;  // offset of the next step record in bytes_

    std::string title_;
    std::string description_;
    std::string introduction_;
    uint8_t instrument_ = kNoInstrument;
    int32_t stepCount_ = 0;
    int32_t currentStep_ = -1;

    std::string stepText_;
    int stepInstrument_ = -1;
    std::vector<ExerciseNote> notes_;
    int64_t totalDurationMs_ = 0;
};

}  // namespace melvora
