#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/win32/floating_frame_dlg.h"
#include "music/media_player.h"
#include "music/media_player_view.h"
#include "music/win32/winmm_mci_port.h"
#include "platform/win32/tool_tip.h"

namespace melvora {

class CSkinSlider;
class MidiHandover;

// The media player window (floating window 1): Play, Pause, Stop and Eject, a position
// slider with the running time, and a tempo slider for MIDI files. The decisions are the
// MediaPlayer's; this window turns messages into its calls and shows what it says.
class CMCIPlayer : public CFloatingFrameDlg, public MediaPlayerView {
  public:
    static constexpr UINT_PTR kTimerId = 1;

    // `port` null: the system's MCI. `handover` may be null (no keyboard window).
    CMCIPlayer(const FloatingWindowDescriptor& description, FloatingWindowOwner& owner,
               std::unique_ptr<MciPort> port = nullptr, MidiHandover* handover = nullptr);
    ~CMCIPlayer() override;

    MediaPlayer& Player() { return *player_; }
    // The keyboard's MIDI output, once the keyboard window exists.
    void SetMidiHandover(MidiHandover* handover);

    void ApplyLanguage(int language) override;
    bool PreTranslateMessage(MSG* message) override;

    // MediaPlayerView
    void SetCaption(const std::wstring& text) override;
    void SetTimeText(const std::wstring& text) override;
    void SetPositionRange(int maximumSeconds) override;
    void SetPositionPageSize(int pageSeconds) override;
    void SetPosition(int seconds) override;
    void SetTempoPosition(int position) override;
    void EnableTempo(bool enabled) override;
    void ShowPlayLatched(bool latched) override;
    void ShowPauseLatched(bool latched) override;
    void SetTimerRunning(bool running) override;
    bool AskOpenPath(std::string* path) override;
    void ShowMessage(const std::wstring& text) override;
    int Language() const override { return CFloatingFrameDlg::Language(); }

  protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void SkinControls();
    void CreateToolTips();
    void OnCommand(int id);

    std::unique_ptr<MciPort> port_;
    WinmmMciPort* winmmPort_ = nullptr;
    std::unique_ptr<MediaPlayer> player_;
    std::unique_ptr<CNewDeckButton> play_, pause_, stop_, eject_;
    std::unique_ptr<CSkinSlider> position_, tempo_;
    CToolTip toolTip_;
};

}  // namespace melvora
