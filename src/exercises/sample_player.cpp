#include "exercises/sample_player.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "platform/string_table.h"
#include "string_ids.h"

namespace melvora {

namespace {

// A timer interval from a note's duration: hostile files may hold negative or huge values,
// and a timer period must be positive.
uint32_t TimerPeriodMs(double durationMs) {
    if (!(durationMs >= 1.0)) {
        return 1;
    }
    return static_cast<uint32_t>(std::min(durationMs, 2147483647.0));
}

}  // namespace

void SamplePlayer::Send(uint32_t message) {
    // No output: the sample runs silently; the try follows on time all the same.
    if (midi_ != nullptr) {
        midi_->Send(message);
    }
}

std::wstring SamplePlayer::PlayingText(int elapsedSeconds) const {
    wchar_t text[128];
    std::swprintf(text, sizeof(text) / sizeof(text[0]),
                  LoadText(IDS_FMT_PLAYING_TIME, language_).c_str(), elapsedSeconds / 60,
                  elapsedSeconds % 60, totalSeconds_ / 60, totalSeconds_ % 60);
    return text;
}

void SamplePlayer::Start(const Exercise& exercise, double speed, int octaveShift,
                         std::function<void()> completion) {
    notes_ = exercise.Notes();
    speed_ = speed;
    octaveShift_ = octaveShift;
    completion_ = std::move(completion);
    double totalMs = 0.0;
    for (const ExerciseNote& note : notes_) {
        totalMs += std::max(0, note.durationMs) * speed;
    }
    totalLengthMs_ = static_cast<int64_t>(std::min(totalMs, 2147483647.0));
    totalSeconds_ = static_cast<int>(totalLengthMs_ / 1000);
    startMs_ = clock_.NowMs();
    playing_ = true;
    noteIndex_ = 0;

    view_.SetTimeText(PlayingText(0));
    view_.SetSlider(static_cast<int>(totalLengthMs_), 1000, 0);
    clock_.StartTimer(RunnerClock::kProgressTimer, 100);

    int program = 0;
    if (exercise.StepInstrument() != -1) {
        program = exercise.StepInstrument();
    } else if (exercise.Instrument() != Exercise::kNoInstrument) {
        program = exercise.Instrument();
    }
    Send(ProgramChange(program));
    NextNote();
}

void SamplePlayer::NextNote() {
    Send(AllNotesOff());
    if (noteIndex_ >= notes_.size()) {
        Finish();
        return;
    }
    const ExerciseNote& note = notes_[noteIndex_];
    const int key = static_cast<int8_t>(note.key + 12 * octaveShift_);
    if (key >= 0) {
        Send(NoteOn(key, note.velocity));
    }
    clock_.StartTimer(RunnerClock::kNoteTimer, TimerPeriodMs(note.durationMs * speed_));
    ++noteIndex_;
}

void SamplePlayer::OnNoteTimer() {
    if (playing_) {
        NextNote();
    }
}

void SamplePlayer::OnProgressTimer() {
    if (!playing_) {
        return;
    }
    const uint32_t elapsedMs = clock_.NowMs() - startMs_;
    if (static_cast<int64_t>(elapsedMs) >= totalLengthMs_) {
        clock_.StopTimer(RunnerClock::kProgressTimer);
        return;
    }
    view_.SetTimeText(PlayingText(static_cast<int>(elapsedMs / 1000)));
    view_.SetSliderPosition(static_cast<int>(elapsedMs));
}

void SamplePlayer::Stop() {
    if (!playing_) {
        return;
    }
    Send(AllNotesOff());
    Finish();
}

void SamplePlayer::Abandon() {
    if (!playing_) {
        return;
    }
    Send(AllNotesOff());
    clock_.StopTimer(RunnerClock::kNoteTimer);
    clock_.StopTimer(RunnerClock::kProgressTimer);
    playing_ = false;
    completion_ = nullptr;
}

void SamplePlayer::Finish() {
    clock_.StopTimer(RunnerClock::kNoteTimer);
    clock_.StopTimer(RunnerClock::kProgressTimer);
    playing_ = false;
    std::function<void()> completion = std::move(completion_);
    completion_ = nullptr;
    if (completion) {
        completion();
    }
}

}  // namespace melvora
