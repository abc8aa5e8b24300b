#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analysis/try_scorer.h"
#include "exercises/exercise.h"

namespace melvora {

// The runner's three buttons: Retry/Restart, Begin/Next/Finish/New Exercise, and Save &
// Exit/Stop/Exit.
enum class RunnerButton { Retry, Next, Exit };

// What the exercise runner needs from its window: the exercise window in the program (its
// controls, the skinned message box, the chooser), a recorder in tests. Every call but
// PostTryEnd comes on the window thread.
class ExerciseRunnerView {
  public:
    virtual ~ExerciseRunnerView() = default;

    virtual void SetExerciseText(const std::wstring& text) = 0;
    virtual void SetTimeText(const std::wstring& text) = 0;
    // Position slider, in milliseconds.
    virtual void SetSlider(int rangeMaximumMs, int pageSizeMs, int positionMs) = 0;
    virtual void SetSliderPosition(int positionMs) = 0;
    virtual void SetSliderTip(int stringId) = 0;
    virtual void SetButton(RunnerButton button, const std::wstring& caption, int tipStringId) = 0;
    virtual void EnableButton(RunnerButton button, bool enabled) = 0;
    // The picture of the last try (null: none). The score stays valid until the next call.
    virtual void ShowScore(const TryScorer::Score* score) = 0;

    // The skinned message box: Yes / No question, and a plain message with OK.
    virtual bool AskYesNo(const std::wstring& text, const std::wstring& caption) = 0;
    virtual void ShowMessage(const std::wstring& text, const std::wstring& caption) = 0;
    // The exercise chooser over `exercises`; the chosen index, or -1 when cancelled.
    virtual int ChooseExercise(const std::vector<std::unique_ptr<Exercise>>& exercises) = 0;

    // Worker thread: the voice ended try `tryId`. Must only queue; the window then calls
    // ExerciseRunner::OnTryEnded(tryId) on its own thread.
    virtual void PostTryEnd(int tryId) = 0;
    // The runner is done. The window must not destroy the runner inside this call (post the
    // leaving to itself); the runner does nothing more after calling it.
    virtual void Leave() = 0;
};

}  // namespace melvora
