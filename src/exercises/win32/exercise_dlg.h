#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "analysis/result_listener.h"
#include "exercises/exercise_runner.h"
#include "exercises/win32/exercise_host.h"
#include "platform/win32/tool_tip.h"
#include "ui/win32/floating_dlg.h"
#include "ui/win32/skin_slider.h"

namespace melvora {

// The exercise window (template 181, "Exercises"): the exercise text, a picture of the last
// try over the melody, the time text and slider, Retry / Next / Save & Exit, and the File and
// View menus (menu 182). Every decision is the ExerciseRunner's; this class routes the
// buttons, menu commands, timers and the posted end of a try to it and shows what it says.
// Created modeless by the main controls window, which hides itself meanwhile and adds the
// window to the result listeners (the runner's intake runs on the worker thread).
class CExerciseDlg : public CFloatingDlg,
                     public ExerciseRunnerView,
                     public RunnerClock,
                     public ResultListener {
  public:
    static constexpr UINT kTryEndedMessage = WM_APP + 40;  // wParam: the try's id

    CExerciseDlg(ExerciseHost& host, std::unique_ptr<ExerciseProgress> progress);
    ~CExerciseDlg() override;

    // Creates the window (not shown) owned by `owner`; the runner shows the exercise's
    // position during the creation.
    bool Create(HWND owner);
    ExerciseRunner* Runner() { return runner_.get(); }
    CNewDeckButton& Button(RunnerButton button);

    // ResultListener (worker thread)
    void OnResultPublished(const ResultRecord& record) override;

    // ExerciseRunnerView
    void SetExerciseText(const std::wstring& text) override;
    void SetTimeText(const std::wstring& text) override;
    void SetSlider(int rangeMaximumMs, int pageSizeMs, int positionMs) override;
    void SetSliderPosition(int positionMs) override;
    void SetSliderTip(int stringId) override;
    void SetButton(RunnerButton button, const std::wstring& caption, int tipStringId) override;
    void EnableButton(RunnerButton button, bool enabled) override;
    void ShowScore(const TryScorer::Score* score) override;
    bool AskYesNo(const std::wstring& text, const std::wstring& caption) override;
    void ShowMessage(const std::wstring& text, const std::wstring& caption) override;
    int ChooseExercise(const std::vector<std::unique_ptr<Exercise>>& exercises) override;
    void PostTryEnd(int tryId) override;
    void Leave() override;

    // RunnerClock
    uint32_t NowMs() override;
    void StartTimer(int timerId, uint32_t periodMs) override;
    void StopTimer(int timerId) override;

  protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override {}
    void OnCancel() override {}
    void OnCloseBox() override;
    int Language() const override;
    std::string HelpPage() const override { return "alistirma.htm"; }

  private:
    void SkinControls();
    void CreateToolTips();
    void OnCommand(int id);
    void OnMenuButton(int which);
    void OnInitMenuPopup(HMENU menu);
    void OnPaint();

    ExerciseHost& host_;
    std::unique_ptr<ExerciseProgress> progress_;  // until the runner takes it
    std::unique_ptr<ExerciseRunner> runner_;
    std::atomic<HWND> postTarget_{nullptr};
    CNewDeckButton retry_, next_, exit_;
    CNewDeckButton fileMenu_, viewMenu_;
    CSkinSlider slider_;
    CToolTip toolTip_;
    TryScorer::Score score_;
    bool hasScore_ = false;
    RECT scoreRect_ = {0, 0, 0, 0};
};

}  // namespace melvora
