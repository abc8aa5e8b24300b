#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "exercises/exercise.h"
#include "exercises/exercise_runner_view.h"
#include "exercises/runner_clock.h"
#include "music/midi_sender.h"

namespace melvora {

// Plays the current step's notes ("the sample") on MIDI channel 1, one note per timer 2
// interval, and shows the progress on the runner's time text and slider with timer 1.
// Without a MIDI output (null sender, or one whose Send fails) the notes are silent but the
// timing runs all the same, so the runner still moves on to the try. Window thread.
class SamplePlayer {
  public:
    SamplePlayer(MidiSender* midi, RunnerClock& clock, ExerciseRunnerView& view)
        : midi_(midi), clock_(clock), view_(view) {}

    void SetLanguage(int language) { language_ = language; }

    // Starts the sample of `exercise`'s current step. `speed` scales the durations [1.0];
    // `octaveShift` moves every key by 12 x shift [0]. `completion` runs when the last note
    // has ended or Stop was called.
    void Start(const Exercise& exercise, double speed, int octaveShift,
               std::function<void()> completion);
    // Timer 2: the next note (or the end). Timer 1: time text and slider.
    void OnNoteTimer();
    void OnProgressTimer();
    // Silences and ends the sample early; runs the completion.
    void Stop();
    bool Playing() const { return playing_; }
    // Silences and ends without the completion (the runner is being left).
    void Abandon();

    // The packed short messages it sends.
    static uint32_t ProgramChange(int program) {
        return 192u | (static_cast<uint32_t>(program) & 0x7Fu) << 8;
    }
    static uint32_t AllNotesOff() { return 176u | 123u << 8; }
    static uint32_t NoteOn(int key, int velocity) {
        return 144u | (static_cast<uint32_t>(key) & 0x7Fu) << 8 |
               (static_cast<uint32_t>(velocity) & 0x7Fu) << 16;
    }

  private:
    void Send(uint32_t message);
    void NextNote();
    void Finish();
    std::wstring PlayingText(int elapsedSeconds) const;

    MidiSender* midi_;
    RunnerClock& clock_;
    ExerciseRunnerView& view_;
    int language_ = 0;

    std::vector<ExerciseNote> notes_;
    double speed_ = 1.0;
    int octaveShift_ = 0;
    size_t noteIndex_ = 0;
    bool playing_ = false;
    int64_t totalLengthMs_ = 0;
    int totalSeconds_ = 0;
    uint32_t startMs_ = 0;
    std::function<void()> completion_;
};

}  // namespace melvora
