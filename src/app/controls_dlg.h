#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>

#include "app/deck_view.h"
#include "app/floating_window_owner.h"
#include "app/transport_analysis.h"
#include "app/transport_owner.h"
#include "app/window_set.h"
#include "app/window_set_host.h"
#include "platform/wave_port.h"
#include "platform/win32/paint_dc.h"
#include "platform/win32/tool_tip.h"
#include "ui/floating_dlg.h"

namespace melvora {

class CFloatingFrameDlg;
class CSkinSlider;
class DeckOperations;
class ResultHolder;

// The main controls window: the deck (Rec, Rew, Play, Eject), the position slider and time
// display, the File, View and Help menus, and the owner of the audio transport and of the
// five floating windows, which it keeps together on the screen. Runs modally inside the
// hidden owner dialog.
class CControlsDlg : public CFloatingDlg,
                     public DeckView,
                     public TransportOwner,
                     public WindowSetHost,
                     public FloatingWindowOwner {
  public:
    static constexpr UINT kTemplateId = 102;
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

    WindowSet& Windows() { return windowSet_; }
    DeckOperations* Deck() { return deck_.get(); }
    // The averaged analysis results every view reads.
    ResultHolder& Results() { return *results_; }
    CFloatingFrameDlg* FloatingWindow(int index);
    CNewDeckButton* DeckButtonControl(DeckButton button);
    CNewDeckButton* MenuButton(int index) { return menuButtons_[index].get(); }

    // Texts, menus and tool tips of this window and every shown floating window in the
    // language of the options.
    void ApplyLanguage();
    // View menu: show or hide floating window `index`.
    void ToggleWindow(int index);

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

    // WindowSetHost
    bool HasWindow(int windowId) const override;
    ScreenRect WindowRect(int windowId) const override;
    void PlaceWindow(int windowId, const ScreenRect& rect) override;
    void OffsetWindow(int windowId, int dxPixels, int dyPixels) override;
    void ShowWindow(int windowId, bool show, bool activate) override;
    void PlaceBehind(int windowId, int afterWindowId) override;

    // FloatingWindowOwner
    WindowSet::Position FloatingMoving(int index, const WindowSet::Position& proposed,
                                       bool keepPosition) override;
    void FloatingActivated(int index) override;
    void FloatingClosed(int index) override;
    int Language() const override;

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
    void CreateFloatingWindows();
    void PlaceWindowsAtStart();
    void CreateToolTips();
    void LayoutMenuButtons();
    void OnCommand(int id);
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
    WindowSet windowSet_;
    std::array<std::unique_ptr<CFloatingFrameDlg>, WindowSet::kFloatingCount> floating_;
    CToolTip toolTip_;
    std::unique_ptr<CSkinSlider> slider_;
    std::unique_ptr<CNewDeckButton> rec_, rew_, play_, eject_;
    std::array<std::unique_ptr<CNewDeckButton>, 3> menuButtons_;
    std::atomic<HWND> commandTarget_{nullptr};
    bool minimised_ = false;
};

}  // namespace melvora
