#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "analysis/result_record.h"
#include "analysis/try_scorer.h"
#include "exercises/exercise_progress.h"
#include "exercises/exercise_runner_view.h"
#include "exercises/runner_clock.h"
#include "exercises/runner_transport.h"
#include "exercises/sample_player.h"
#include "music/midi_sender.h"

namespace melvora {

enum class RunnerState : int32_t {
    Introduction = 0,
    Step = 1,
    Playing = 2,
    Recording = 3,
    Final = 4
};

// The exercise options the runner follows (byte flags of the options file) and how often
// the analysis publishes a record, which the score needs to know the time of each record.
struct RunnerSettings {
    bool autoAdvance = false;
    bool useVoiceActivityDetection = false;
    bool keepRecordings = true;
    double recordPeriodMs = 30.0;  // skip rate x averaging window
    int language = 0;              // 0 English, 1 Turkish
};

// The exercise runner: for each step it plays the sample, records one try through the
// transport, collects the published results of the try, shows the try's averages and how
// well it matched the melody, and writes progress to "unfinished.dat" at Begin, Next and
// Finish. The window (CExerciseDlg in the program) routes its buttons, menu commands and
// timers here and implements the view.
//
// Threads: IntakeResult runs on the transport's worker; everything else on the window
// thread. The try records, the intake's open flag and the voice-active flag are guarded by
// one lock; the end of a try closes the intake before it reads the records. The worker acts
// on the window only through PostTryEnd, which carries the try it belongs to.
class ExerciseRunner {
  public:
    // `midi` may be null (no MIDI output: the samples are silent but keep their timing).
    ExerciseRunner(ExerciseRunnerView& view, RunnerTransport& transport, RunnerClock& clock,
                   MidiSender* midi, const RunnerSettings& settings,
                   std::unique_ptr<ExerciseProgress> progress);
    ~ExerciseRunner();
    ExerciseRunner(const ExerciseRunner&) = delete;
    ExerciseRunner& operator=(const ExerciseRunner&) = delete;

    // Shows the exercise where it stands (introduction, a step, or the final results).
    void ShowPosition();

    // Retry/Restart (1061), Begin/Next/Finish/New Exercise (1046), Save & Exit/Stop/Exit
    // (button 5 and the Save & Exit command).
    void OnRetry();
    void OnNext();
    void OnExitButton();
    // Menu commands New Exercise and Restart Exercise.
    void OnNewExercise();
    void OnRestart();
    // The window's close box: ends what runs (a try is kept and counted) and leaves,
    // keeping the progress, or deleting it in the Final state as Exit does.
    void OnClose();
    void OnTimer(int timerId);
    // The posted end of try `tryId` (the voice stopped); ignored unless that try still runs.
    void OnTryEnded(int tryId);

    // Worker thread: one published average.
    void IntakeResult(const ResultRecord& record);

    void SetSettings(const RunnerSettings& settings);

    RunnerState State() const { return state_; }
    int Tries() const { return tries_; }
    bool HasLeft() const { return left_; }
    // New Exercise, Restart Exercise and Save & Exit are offered outside Playing/Recording.
    bool FileCommandsEnabled() const;
    // "Save && E&xit" reads "E&xit" in the Final state.
    bool ExitReadsExit() const { return state_ == RunnerState::Final; }
    const ExerciseProgress* Progress() const { return progress_.get(); }
    // The shown result text (the "%s" of the step and final texts).
    std::wstring ResultText() const;
    std::wstring ExerciseText() const;
    float TryAveragePitchHz() const { return tryAveragePitchHz_; }
    float TryAverageTessim() const { return tryAverageTessim_; }
    const TryScorer::Score& LastScore() const { return lastScore_; }

    // Means of the step results without the Begin pair and without steps that had no
    // result (pitch 0); false when no step had a result.
    static bool OverallAverages(const std::vector<ExerciseProgress::StepResult>& results,
                                float* pitchHz, float* tessim);
    // Means over the records that carry a pitch; false when none does.
    static bool TryAverages(const std::vector<ResultRecord>& records, float* pitchHz,
                            float* tessim);

  private:
    enum class ResultKind { None, NoResults, Try, Overall, OverallNone };

    void PlaySample();
    void SampleEnded();
    void StartTry();
    void EndTry(bool mayAutoAdvance);
    void ShowFinal();
    void ReplaceProgress(std::unique_ptr<Exercise> exercise);
    void LeaveNow();
    void RefreshText();
    void SetButton(RunnerButton button, int captionId, int tipId);
    void SetIdleDisplay();
    std::wstring Text(int id) const;
    std::wstring Format(int id, int a, int b) const;
    std::wstring StepFormat(int id) const;
    std::wstring RecordingText(int elapsedSeconds) const;

    ExerciseRunnerView& view_;
    RunnerTransport& transport_;
    RunnerClock& clock_;
    RunnerSettings settings_;
    std::unique_ptr<ExerciseProgress> progress_;
    SamplePlayer player_;

    RunnerState state_ = RunnerState::Introduction;
    int tries_ = 0;
    bool stopRequested_ = false;
    bool left_ = false;
    float tryAveragePitchHz_ = 0.0f;
    float tryAverageTessim_ = 0.0f;
    ResultKind resultKind_ = ResultKind::None;
    float overallPitchHz_ = 0.0f;
    float overallTessim_ = 0.0f;
    TryScorer::Score lastScore_;
    int32_t tryLengthMs_ = 0;
    uint32_t tryStartMs_ = 0;
    int trySeconds_ = 0;

    mutable std::mutex tryLock_;
    std::vector<ResultRecord> tryRecords_;   // guarded by tryLock_
    bool intakeOpen_ = false;                // guarded: true while a try records
    bool voiceActive_ = false;               // guarded; the voice gate of the intake
    bool intakeUsesVoiceDetection_ = false;  // guarded
    int tryId_ = 0;                          // guarded; the try the intake belongs to
};

}  // namespace melvora
