#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>

#include "app/floating_window.h"
#include "app/win32/floating_window_set.h"
#include "transport/deck_view.h"
#include "transport/transport_analysis.h"
#include "transport/transport_owner.h"
#include "platform/wave_port.h"
#include "platform/win32/paint_dc.h"
#include "platform/win32/tool_tip.h"
#include "ui/win32/floating_dlg.h"

namespace melvora {

class CFloatingFrameDlg;
class CSkinSlider;
class DeckOperations;
class ResultHolder;

// The main controls window: the deck (Rec, Rew, Play, Eject), the position slider and time
// display, the File, View and Help menus, and the owner of the audio transport and of the
// floating window set (the five floating windows kept together on the screen). Runs modally
// inside the hidden owner dialog.
class CControlsDlg : public CFloatingDlg, public DeckView, public TransportOwner {
  public:
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kTimerPeriodMs = 100;

    // Where the sound comes from and goes to, and what analyses it. Empty parts get the
    // defaults: the system's wave devices and the program's analysis.
    struct Audio {
        std::unique_ptr<WaveInPort> capturePort;
        std::unique_ptr<WaveOutPort> playbackPort;
        std::unique_ptr<TransportAnalysis> analysis;
    };

    // `owner` is the hidden owner window; it also owns the floating windows.
    explicit CControlsDlg(HWND owner, Audio audio = {});
    ~CControlsDlg() override;

    WindowSet& Windows() { return floatingSet_.Windows(); }
    DeckOperations* Deck() { return deck_.get(); }
    // The averaged analysis results every view reads.
    ResultHolder& Results() { return *results_; }
    CFloatingFrameDlg& FloatingFrame(FloatingWindow window) { return floatingSet_.Window(window); }
    CNewDeckButton* DeckButtonControl(DeckButton button);
    CNewDeckButton* MenuButton(int index) { return menuButtons_[index].get(); }

    // Texts, menus and tool tips of this window and every shown floating window in the
    // language of the options.
    void ApplyLanguage();
    // View menu: show or hide `window`.
    void ToggleWindow(FloatingWindow window);

    // DeckView
    void EnableButton(DeckButton button, bool enabled) override;
    void ShowPressed(DeckButton button, bool pressed) override;
    void SetTimerRunning(bool running) override;
    void SetSliderRangeMaximum(int maximumMs, bool redraw) override;
    void SetSliderPageSize(int pageMs) override;
    void SetSliderPosition(int positionMs) override;
    int SliderPosition() const override;
    void SetTimeText(const std::wstring& text) override;
    bool AskOpenPath(std::string* path) override;
    bool AskSavePath(std::string* path) override;
    MessageAnswer ShowMessage(const std::wstring& text, const std::wstring& caption,
                              MessageButtons buttons) override;

    // Before dispatch: tool tips of disabled deck buttons, then the dialog keys.
    bool PreTranslateMessage(MSG* message) override;

    // TransportOwner (worker thread)
    void PostCommand(int commandId) override;

    // The language of the user interface (0 English, 1 Turkish).
    int Language() const;

  protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    // Enter and Esc do not close the window; only the close procedure does.
    void OnOK() override {}
    void OnCancel() override {}
    std::string HelpPage() const override { return "ana.htm"; }
    void OnActivated(bool active) override;

  private:
    void SkinControls();
    void CreateToolTips();
    void LayoutMenuButtons();
    void OnCommand(int id);
    // Tells the user, once, which working files (tmp.wav, options.dat) could not be created.
    void ReportUnwritableFiles();
    void OnMenuButton(int buttonId);
    void OnEject();
    void OnInitMenuPopup(HMENU menu);
    void OnPaint();
    void OnClose();
    HMENU LoadLanguagePopup(UINT menuId) const;

    HWND owner_;
    Audio audio_;
    // Never freed (see the destructor); one per main controls window.
    ResultHolder* results_;
    std::unique_ptr<DeckOperations> deck_;
    CFloatingWindowSet floatingSet_;
    CToolTip toolTip_;
    std::unique_ptr<CSkinSlider> slider_;
    std::unique_ptr<CNewDeckButton> rec_, rew_, play_, eject_;
    std::array<std::unique_ptr<CNewDeckButton>, 3> menuButtons_;
    std::atomic<HWND> commandTarget_{nullptr};
};

}  // namespace melvora
