#include "exercises/exercise_runner.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <limits>

#include "exercises/exercise_launcher.h"
#include "exercises/exercise_text.h"
#include "platform/string_table.h"
#include "string_ids.h"

namespace melvora {

namespace {

// The try lasts the melody plus a margin for a late start.
constexpr int64_t kTryMarginMs = 1500;

}  // namespace

ExerciseRunner::ExerciseRunner(ExerciseRunnerView& view, RunnerTransport& transport,
                               RunnerClock& clock, MidiSender* midi, const RunnerSettings& settings,
                               std::unique_ptr<ExerciseProgress> progress)
    : view_(view),
      transport_(transport),
      clock_(clock),
      settings_(settings),
      progress_(std::move(progress)),
      player_(midi, clock, view) {
    player_.SetLanguage(settings.language);
    intakeUsesVoiceDetection_ = settings.useVoiceActivityDetection;
}

ExerciseRunner::~ExerciseRunner() {
    player_.Abandon();
}

std::wstring ExerciseRunner::Text(int id) const {
    return LoadText(id, settings_.language);
}

std::wstring ExerciseRunner::Format(int id, int a, int b) const {
    wchar_t text[512];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), Text(id).c_str(), a, b);
    return text;
}

std::wstring ExerciseRunner::StepFormat(int id) const {
    return Format(id, progress_->GetExercise().CurrentStep() + 1, tries_);
}

std::wstring ExerciseRunner::RecordingText(int elapsedSeconds) const {
    wchar_t text[128];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), Text(IDS_FMT_RECORDING_TIME).c_str(),
                  elapsedSeconds / 60, elapsedSeconds % 60, trySeconds_ / 60, trySeconds_ % 60);
    return text;
}

void ExerciseRunner::SetSettings(const RunnerSettings& settings) {
    settings_ = settings;
    player_.SetLanguage(settings.language);
    std::lock_guard<std::mutex> lock(tryLock_);
    intakeUsesVoiceDetection_ = settings.useVoiceActivityDetection;
}

bool ExerciseRunner::FileCommandsEnabled() const {
    return state_ != RunnerState::Playing && state_ != RunnerState::Recording;
}

bool ExerciseRunner::TryAverages(const std::vector<ResultRecord>& records, float* pitchHz,
                                 float* tessim) {
    // Breaths and silence carry no pitch; counting them would make every try read flat.
    double pitchSum = 0.0;
    double tessimSum = 0.0;
    int voiced = 0;
    for (const ResultRecord& r : records) {
        if (r.pitchHz > 0.0f) {
            pitchSum += r.pitchHz;
            tessimSum += r.tessim;
            ++voiced;
        }
    }
    *pitchHz = voiced > 0 ? static_cast<float>(pitchSum / voiced) : 0.0f;
    *tessim = voiced > 0 ? static_cast<float>(tessimSum / voiced) : 0.0f;
    return voiced > 0;
}

bool ExerciseRunner::OverallAverages(const std::vector<ExerciseProgress::StepResult>& results,
                                     float* pitchHz, float* tessim) {
    // The first pair is Begin's (0, 0), and a step without a result stores (0, 0) as well;
    // neither is a sung result. The file keeps them, the means leave them out.
    double pitchSum = 0.0;
    double tessimSum = 0.0;
    int counted = 0;
    for (size_t i = 1; i < results.size(); ++i) {
        if (results[i].averagePitchHz > 0.0f) {
            pitchSum += results[i].averagePitchHz;
            tessimSum += results[i].averageTessim;
            ++counted;
        }
    }
    *pitchHz = counted > 0 ? static_cast<float>(pitchSum / counted) : 0.0f;
    *tessim = counted > 0 ? static_cast<float>(tessimSum / counted) : 0.0f;
    return counted > 0;
}

std::wstring ExerciseRunner::ResultText() const {
    wchar_t text[512];
    switch (resultKind_) {
        case ResultKind::None:
            return Text(IDS_RESULT_NONE);
        case ResultKind::NoResults:
        case ResultKind::OverallNone:
            return Text(IDS_NO_RESULTS);
        case ResultKind::Overall:
            std::swprintf(text, sizeof(text) / sizeof(text[0]),
                          Text(IDS_FMT_OVERALL_AVERAGES).c_str(), overallPitchHz_, overallTessim_);
            return text;
        case ResultKind::Try:
            break;
    }
    std::swprintf(text, sizeof(text) / sizeof(text[0]), Text(IDS_FMT_TRY_AVERAGES).c_str(),
                  tryAveragePitchHz_, tryAverageTessim_);
    std::wstring result = text;
    if (lastScore_.voicedFrames > 0) {
        std::swprintf(text, sizeof(text) / sizeof(text[0]), Text(IDS_FMT_IN_TUNE).c_str(),
                      static_cast<int>(std::lround(lastScore_.inTuneShare * 100.0)),
                      lastScore_.meanCents);
        result += L"\n";
        result += text;
        if (lastScore_.octaveShift == -1) {
            result += L"\n" + Text(IDS_OCTAVE_BELOW);
        } else if (lastScore_.octaveShift == 1) {
            result += L"\n" + Text(IDS_OCTAVE_ABOVE);
        } else if (lastScore_.octaveShift != 0) {
            std::swprintf(text, sizeof(text) / sizeof(text[0]), Text(IDS_FMT_OCTAVES).c_str(),
                          lastScore_.octaveShift);
            result += L"\n";
            result += text;
        }
    }
    return result;
}

std::wstring ExerciseRunner::ExerciseText() const {
    wchar_t text[2048];
    const std::wstring format = WideStringFormat(Text(IDS_FMT_STEP_RESULTS));
    switch (state_) {
        case RunnerState::Introduction:
            return ExerciseTextToWide(progress_->GetExercise().Introduction());
        case RunnerState::Step:
            if (tries_ == 0) {
                return StepFormat(IDS_FMT_STEP);
            }
            std::swprintf(text, sizeof(text) / sizeof(text[0]), format.c_str(),
                          progress_->GetExercise().CurrentStep() + 1, tries_, ResultText().c_str());
            return text;
        case RunnerState::Playing:
            return StepFormat(IDS_FMT_STEP_PLAYING);
        case RunnerState::Recording:
            return StepFormat(IDS_FMT_STEP_ANALYZING);
        case RunnerState::Final:
            std::swprintf(text, sizeof(text) / sizeof(text[0]),
                          WideStringFormat(Text(IDS_FMT_FINAL_RESULTS)).c_str(),
                          ResultText().c_str());
            return text;
    }
    return std::wstring();
}

void ExerciseRunner::RefreshText() {
    view_.SetExerciseText(ExerciseText());
}

void ExerciseRunner::SetButton(RunnerButton button, int captionId, int tipId) {
    view_.SetButton(button, Text(captionId), tipId);
}

void ExerciseRunner::SetIdleDisplay() {
    view_.SetTimeText(Text(IDS_TIME_TEXT_IDLE));
    view_.SetSlider(0, 0, 0);
    view_.SetSliderTip(IDS_TIP_POSITION);
}

void ExerciseRunner::ShowPosition() {
    if (left_) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(tryLock_);
        tryRecords_.clear();
    }
    tries_ = 0;
    resultKind_ = ResultKind::None;
    view_.ShowScore(nullptr);
    const Exercise& exercise = progress_->GetExercise();
    const int32_t step = exercise.CurrentStep();
    if (step < 0) {
        state_ = RunnerState::Introduction;
        SetButton(RunnerButton::Next, IDS_BUTTON_BEGIN, IDS_TIP_BEGIN);
        view_.EnableButton(RunnerButton::Next, true);
        SetButton(RunnerButton::Retry, IDS_BUTTON_RETRY, IDS_TIP_RETRY);
        view_.EnableButton(RunnerButton::Retry, false);
        SetButton(RunnerButton::Exit, IDS_BUTTON_SAVE_EXIT, IDS_TIP_SAVE_EXIT);
    } else if (step < exercise.StepCount()) {
        state_ = RunnerState::Step;
        const bool last = step == exercise.StepCount() - 1;
        SetButton(RunnerButton::Next, last ? IDS_BUTTON_FINISH : IDS_BUTTON_NEXT,
                  last ? IDS_TIP_FINISH : IDS_TIP_NEXT);
        view_.EnableButton(RunnerButton::Next, false);
        SetButton(RunnerButton::Retry, IDS_BUTTON_RETRY, IDS_TIP_RETRY);
        view_.EnableButton(RunnerButton::Retry, true);
        SetButton(RunnerButton::Exit, IDS_BUTTON_SAVE_EXIT, IDS_TIP_SAVE_EXIT);
    } else {
        ShowFinal();
    }
    SetIdleDisplay();
    RefreshText();
}

void ExerciseRunner::ShowFinal() {
    state_ = RunnerState::Final;
    resultKind_ = OverallAverages(progress_->StepResults(), &overallPitchHz_, &overallTessim_)
                      ? ResultKind::Overall
                      : ResultKind::OverallNone;
    SetButton(RunnerButton::Next, IDS_BUTTON_NEW_EXERCISE, IDS_TIP_NEW_EXERCISE);
    view_.EnableButton(RunnerButton::Next, true);
    SetButton(RunnerButton::Retry, IDS_BUTTON_RESTART, IDS_TIP_RESTART);
    view_.EnableButton(RunnerButton::Retry, true);
    SetButton(RunnerButton::Exit, IDS_BUTTON_EXIT, IDS_TIP_EXIT);
}

void ExerciseRunner::OnRetry() {
    if (left_) {
        return;
    }
    if (state_ == RunnerState::Step) {
        PlaySample();
    } else if (state_ == RunnerState::Final) {
        OnRestart();
    }
}

void ExerciseRunner::OnNext() {
    if (left_) {
        return;
    }
    if (state_ == RunnerState::Final) {
        OnNewExercise();
        return;
    }
    float pitchHz = 0.0f;
    float tessim = 0.0f;
    if (state_ == RunnerState::Step) {
        if (tries_ == 0) {
            return;  // the button is disabled until the step has a try
        }
        pitchHz = tryAveragePitchHz_;
        tessim = tryAverageTessim_;
    } else if (state_ != RunnerState::Introduction) {
        return;
    }
    if (!progress_->RecordStep(pitchHz, tessim)) {
        return;  // a step that cannot be read leaves the display as it was
    }
    tries_ = 0;
    resultKind_ = ResultKind::None;
    view_.ShowScore(nullptr);
    const Exercise& exercise = progress_->GetExercise();
    if (exercise.CurrentStep() >= exercise.StepCount()) {
        ShowFinal();
        RefreshText();
        return;
    }
    state_ = RunnerState::Step;
    RefreshText();
    const bool last = exercise.CurrentStep() == exercise.StepCount() - 1;
    SetButton(RunnerButton::Next, last ? IDS_BUTTON_FINISH : IDS_BUTTON_NEXT,
              last ? IDS_TIP_FINISH : IDS_TIP_NEXT);
    PlaySample();
}

void ExerciseRunner::PlaySample() {
    state_ = RunnerState::Playing;
    RefreshText();
    view_.EnableButton(RunnerButton::Retry, false);
    view_.EnableButton(RunnerButton::Next, false);
    SetButton(RunnerButton::Exit, IDS_BUTTON_STOP, IDS_TIP_STOP_PLAYING);
    view_.SetSliderTip(IDS_TIP_PLAYING_POSITION);
    player_.Start(progress_->GetExercise(), 1.0, 0, [this] { SampleEnded(); });
}

void ExerciseRunner::SampleEnded() {
    if (stopRequested_) {
        stopRequested_ = false;
        state_ = RunnerState::Step;
        view_.EnableButton(RunnerButton::Retry, true);
        view_.EnableButton(RunnerButton::Next, tries_ > 0);
        SetButton(RunnerButton::Exit, IDS_BUTTON_SAVE_EXIT, IDS_TIP_SAVE_EXIT);
        SetIdleDisplay();
        RefreshText();
        return;
    }
    StartTry();
}

void ExerciseRunner::StartTry() {
    view_.EnableButton(RunnerButton::Retry, false);
    view_.EnableButton(RunnerButton::Next, false);
    SetButton(RunnerButton::Exit, IDS_BUTTON_STOP, IDS_TIP_STOP_RECORDING);
    view_.SetSliderTip(IDS_TIP_RECORDING_POSITION);
    ++tries_;
    const int64_t lengthMs =
        std::max<int64_t>(0, progress_->GetExercise().TotalDurationMs()) + kTryMarginMs;
    tryLengthMs_ =
        static_cast<int32_t>(std::min<int64_t>(lengthMs, std::numeric_limits<int32_t>::max()));
    tryStartMs_ = clock_.NowMs();
    trySeconds_ = tryLengthMs_ / 1000;
    view_.SetTimeText(RecordingText(0));
    view_.SetSlider(tryLengthMs_, 1000, 0);
    clock_.StartTimer(RunnerClock::kProgressTimer, 100);

    transport_.Pause();
    {
        std::lock_guard<std::mutex> lock(tryLock_);
        tryRecords_.clear();
        // A try that ended by time or Stop while the voice sounded must not leave the next
        // try waiting for a silence it never sees.
        voiceActive_ = false;
        ++tryId_;
        intakeOpen_ = true;
    }
    state_ = RunnerState::Recording;
    transport_.RecordToggle();
    transport_.Resume();
    RefreshText();
}

void ExerciseRunner::IntakeResult(const ResultRecord& record) {
    int endedTry = -1;
    {
        std::lock_guard<std::mutex> lock(tryLock_);
        if (!intakeOpen_) {
            return;
        }
        if (!intakeUsesVoiceDetection_) {
            tryRecords_.push_back(record);
            return;
        }
        if (!voiceActive_) {
            if (record.level > 0.0f) {
                voiceActive_ = true;
                tryRecords_.push_back(record);
            }
            return;
        }
        if (record.level != 0.0f) {
            tryRecords_.push_back(record);
            return;
        }
        // The voice ended: the try ends here, whatever the window does next.
        voiceActive_ = false;
        intakeOpen_ = false;
        endedTry = tryId_;
    }
    view_.PostTryEnd(endedTry);
}

void ExerciseRunner::OnTryEnded(int tryId) {
    if (left_ || state_ != RunnerState::Recording) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(tryLock_);
        if (tryId != tryId_) {
            return;
        }
    }
    EndTry(true);
}

void ExerciseRunner::EndTry(bool mayAutoAdvance) {
    clock_.StopTimer(RunnerClock::kProgressTimer);
    std::vector<ResultRecord> records;
    {
        std::lock_guard<std::mutex> lock(tryLock_);
        intakeOpen_ = false;
        records.swap(tryRecords_);
    }
    state_ = RunnerState::Step;
    transport_.StopRecording();
    if (settings_.keepRecordings) {
        // A failed copy is shown to the user by the transport itself; the try ends either way.
        (void)transport_.SaveTo(progress_->RecordingPath(tries_));
    }
    transport_.NewForced();
    view_.EnableButton(RunnerButton::Retry, true);
    view_.EnableButton(RunnerButton::Next, true);
    SetButton(RunnerButton::Exit, IDS_BUTTON_SAVE_EXIT, IDS_TIP_SAVE_EXIT);
    view_.SetSliderTip(IDS_TIP_POSITION);

    const bool voiced = TryAverages(records, &tryAveragePitchHz_, &tryAverageTessim_);
    resultKind_ = voiced ? ResultKind::Try : ResultKind::NoResults;
    std::vector<TryScorer::MelodyNote> melody;
    for (const ExerciseNote& note : progress_->GetExercise().Notes()) {
        melody.push_back(TryScorer::MelodyNote{note.key, note.durationMs});
    }
    std::vector<float> track;
    track.reserve(records.size());
    for (const ResultRecord& r : records) {
        track.push_back(r.pitchHz);
    }
    lastScore_ = TryScorer::Rate(melody, track, settings_.recordPeriodMs);
    view_.ShowScore(voiced ? &lastScore_ : nullptr);

    RefreshText();
    view_.SetTimeText(Text(IDS_TIME_TEXT_IDLE));
    view_.SetSlider(0, 0, 0);
    if (mayAutoAdvance && settings_.autoAdvance) {
        OnNext();
    }
}

void ExerciseRunner::OnTimer(int timerId) {
    if (left_) {
        return;
    }
    if (state_ == RunnerState::Playing) {
        if (timerId == RunnerClock::kNoteTimer) {
            player_.OnNoteTimer();
        } else if (timerId == RunnerClock::kProgressTimer) {
            player_.OnProgressTimer();
        }
        return;
    }
    if (state_ == RunnerState::Recording && timerId == RunnerClock::kProgressTimer) {
        const uint32_t elapsedMs = clock_.NowMs() - tryStartMs_;
        if (elapsedMs < static_cast<uint32_t>(tryLengthMs_)) {
            view_.SetSliderPosition(static_cast<int>(elapsedMs));
            view_.SetTimeText(RecordingText(static_cast<int>(elapsedMs / 1000)));
        } else {
            EndTry(true);
        }
        return;
    }
    // A timer left over from an ended sample or try.
    clock_.StopTimer(timerId);
}

void ExerciseRunner::OnExitButton() {
    if (left_) {
        return;
    }
    switch (state_) {
        case RunnerState::Introduction:
        case RunnerState::Step:
            if (view_.AskYesNo(Text(IDS_ARE_YOU_SURE), Text(IDS_EXIT))) {
                progress_->CloseKeeping();
                LeaveNow();
            }
            break;
        case RunnerState::Playing:
            stopRequested_ = true;
            player_.Stop();
            break;
        case RunnerState::Recording:
            EndTry(true);
            break;
        case RunnerState::Final:
            progress_->CloseAndDelete();
            LeaveNow();
            break;
    }
}

void ExerciseRunner::OnClose() {
    if (left_) {
        return;
    }
    if (state_ == RunnerState::Playing) {
        player_.Abandon();
    } else if (state_ == RunnerState::Recording) {
        EndTry(false);  // the take is kept and counted; the transport is left idle
    }
    if (state_ == RunnerState::Final) {
        progress_->CloseAndDelete();
    } else {
        progress_->CloseKeeping();
    }
    LeaveNow();
}

void ExerciseRunner::OnNewExercise() {
    if (left_ || !FileCommandsEnabled()) {
        return;
    }
    std::vector<std::unique_ptr<Exercise>> exercises = ExerciseLauncher::OpenAll();
    const int chosen = view_.ChooseExercise(exercises);
    if (chosen < 0 || chosen >= static_cast<int>(exercises.size())) {
        return;  // the current exercise goes on unchanged
    }
    ReplaceProgress(std::move(exercises[static_cast<size_t>(chosen)]));
}

void ExerciseRunner::OnRestart() {
    if (left_ || !FileCommandsEnabled()) {
        return;
    }
    std::unique_ptr<Exercise> reopened = Exercise::Open(progress_->GetExercise().FileName());
    if (!reopened) {
        return;
    }
    ReplaceProgress(std::move(reopened));
}

void ExerciseRunner::ReplaceProgress(std::unique_ptr<Exercise> exercise) {
    progress_->CloseAndDelete();
    std::unique_ptr<ExerciseProgress> started = ExerciseProgress::Start(std::move(exercise));
    if (!started) {
        // The old record is gone and there is no new one: nothing left to run. Leave as
        // Exit does, and say why.
        view_.ShowMessage(Text(IDS_EXERCISE_START_FAILED), Text(IDS_ERROR));
        LeaveNow();
        return;
    }
    progress_ = std::move(started);
    ShowPosition();
}

void ExerciseRunner::LeaveNow() {
    player_.Abandon();
    clock_.StopTimer(RunnerClock::kProgressTimer);
    clock_.StopTimer(RunnerClock::kNoteTimer);
    {
        std::lock_guard<std::mutex> lock(tryLock_);
        intakeOpen_ = false;
    }
    left_ = true;
    view_.Leave();
}

}  // namespace melvora
