#include "music/win32/mci_player.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <iterator>
#include <vector>

#include "platform/string_table.h"
#include "platform/win32/file_dialog.h"
#include "platform/win32/resource_strings.h"
#include "platform/win32/trackbar.h"
#include "resource_ids.h"
#include "string_ids.h"
#include "ui/win32/deck_skin.h"
#include "ui/win32/my_message_dlg.h"
#include "ui/win32/tool_tip_relay.h"

namespace melvora {

namespace {

constexpr int kPlayButton = IDC_PLAYER_PLAY;
constexpr int kPauseButton = IDC_PLAYER_PAUSE;
constexpr int kStopButton = IDC_PLAYER_STOP;
constexpr int kEjectButton = IDC_PLAYER_EJECT;
constexpr int kPositionSlider = IDC_PLAYER_POSITION;
constexpr int kTimeText = IDC_PLAYER_TIME;
constexpr int kTempoSlider = IDC_PLAYER_TEMPO;
constexpr int kTempoCaption = IDC_PLAYER_TEMPO_CAPTION;
constexpr int kTempoMarks[] = {IDC_PLAYER_MARK_X8, IDC_PLAYER_MARK_X1, IDC_PLAYER_MARK_EIGHTH};

constexpr ControlTip kTips[] = {{kPlayButton, IDS_PLAY},
                                {kPauseButton, IDS_PAUSE},
                                {kStopButton, IDS_STOP},
                                {kEjectButton, IDS_OPEN_FILE},
                                {kPositionSlider, IDS_NAVIGATE_POSITION},
                                {kTempoSlider, IDS_CHANGE_TEMPO},
                                {kTempoCaption, IDS_CHANGE_TEMPO}};

}  // namespace

CMCIPlayer::CMCIPlayer(const FloatingWindowDescriptor& description, FloatingWindowOwner& owner,
                       std::unique_ptr<MciPort> port, MidiHandover* handover)
    : CFloatingFrameDlg(description, owner), port_(std::move(port)) {
    if (!port_) {
        auto winmm = std::make_unique<WinmmMciPort>();
        winmmPort_ = winmm.get();
        port_ = std::move(winmm);
    }
    player_ = std::make_unique<MediaPlayer>(*port_, *this, handover);
}

CMCIPlayer::~CMCIPlayer() {
    DestroyWindow();
}

void CMCIPlayer::SetMidiHandover(MidiHandover* handover) {
    if (player_->CurrentState() != MediaPlayer::State::Playing &&
        player_->CurrentState() != MediaPlayer::State::Paused) {
        player_->SetMidiHandover(handover);
    }
}

BOOL CMCIPlayer::OnInitDialog() {
    CFloatingFrameDlg::OnInitDialog();
    if (winmmPort_ != nullptr) {
        winmmPort_->SetNotifyWindow(Handle());
    }
    SkinControls();
    CreateToolTips();
    CTrackbar tempo(::GetDlgItem(Handle(), kTempoSlider));
    tempo.SetRange(MediaPlayer::kTempoSliderMin, MediaPlayer::kTempoSliderMax, true);
    ::SendMessageW(tempo.Handle(), TBM_SETTICFREQ, 10, 0);
    player_->Start();
    ApplyLanguage(Language());
    return TRUE;
}

void CMCIPlayer::SkinControls() {
    HWND dialog = Handle();
    play_ = MakeDeckButton(dialog, kPlayButton, "PLAY", true, false);
    pause_ = MakeDeckButton(dialog, kPauseButton, "PAUSE", true, false);
    stop_ = MakeDeckButton(dialog, kStopButton, "STOP", true, false);
    eject_ = MakeDeckButton(dialog, kEjectButton, "EJECT", true, false);
    position_ = std::make_unique<CSkinSlider>();
    SkinSlider(*position_, dialog, kPositionSlider, IDB_SLIDER_MEDIA_AFTER, IDB_SLIDER_MEDIA_BEFORE,
               IDB_THUMB_HORIZONTAL);
    // Above the thumb of a vertical slider is the "before" image: the upper part.
    tempo_ = std::make_unique<CSkinSlider>();
    SkinSlider(*tempo_, dialog, kTempoSlider, IDB_SLIDER_TEMPO_BEFORE, IDB_SLIDER_TEMPO_AFTER,
               IDB_THUMB_TEMPO);
}

void CMCIPlayer::CreateToolTips() {
    CreateControlTips(toolTip_, Handle(), std::begin(kTips), std::end(kTips), Language());
}

void CMCIPlayer::ApplyLanguage(int language) {
    CFloatingFrameDlg::ApplyLanguage(language);
    ::SetDlgItemTextW(Handle(), kTempoCaption, LoadText(IDS_MIDI_BEAT, language).c_str());
    UpdateControlTips(toolTip_, Handle(), std::begin(kTips), std::end(kTips), language);
    // The window text carries the file's name after the translated caption.
    if (player_) {
        player_->RefreshTexts();
    }
}

// ---- MediaPlayerView ----

void CMCIPlayer::SetCaption(const std::wstring& text) {
    ::SetWindowTextW(Handle(), text.c_str());
    TitleBar().Invalidate(true);
}

void CMCIPlayer::SetTimeText(const std::wstring& text) {
    ::SetDlgItemTextW(Handle(), kTimeText, text.c_str());
}

void CMCIPlayer::SetPositionRange(int maximumSeconds) {
    CTrackbar(::GetDlgItem(Handle(), kPositionSlider)).SetRange(0, maximumSeconds, true);
}

void CMCIPlayer::SetPositionPageSize(int pageSeconds) {
    CTrackbar(::GetDlgItem(Handle(), kPositionSlider)).SetPageSize(pageSeconds);
}

void CMCIPlayer::SetPosition(int seconds) {
    CTrackbar(::GetDlgItem(Handle(), kPositionSlider)).SetPos(seconds, true);
}

void CMCIPlayer::SetTempoPosition(int position) {
    CTrackbar(::GetDlgItem(Handle(), kTempoSlider)).SetPos(position, true);
}

void CMCIPlayer::EnableTempo(bool enabled) {
    ::EnableWindow(::GetDlgItem(Handle(), kTempoSlider), enabled);
    ::EnableWindow(::GetDlgItem(Handle(), kTempoCaption), enabled);
    for (int mark : kTempoMarks) {
        ::EnableWindow(::GetDlgItem(Handle(), mark), enabled);
    }
}

void CMCIPlayer::ShowPlayLatched(bool latched) {
    if (play_) {
        play_->SetLatched(latched);
    }
}

void CMCIPlayer::ShowPauseLatched(bool latched) {
    if (pause_) {
        pause_->SetLatched(latched);
    }
}

void CMCIPlayer::SetTimerRunning(bool running) {
    if (running) {
        ::SetTimer(Handle(), kTimerId, MediaPlayer::kTimerPeriodMs, nullptr);
    } else {
        ::KillTimer(Handle(), kTimerId);
    }
}

bool CMCIPlayer::AskOpenPath(std::string* path) {
    std::wstring chosen;
    if (!ShowFileDialog(true, Handle(), L"", LoadText(IDS_FILTER_ALL, Language()),
                        OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, &chosen)) {
        return false;
    }
    *path = WideToUtf8(chosen);
    return true;
}

void CMCIPlayer::ShowMessage(const std::wstring& text) {
    ShowMessageBox(text, L"", MB_OK, Handle(), Language());
}

// ---- Messages ----

void CMCIPlayer::OnCommand(int id) {
    switch (id) {
        case kPlayButton:
            player_->OnPlay();
            break;
        case kPauseButton:
            player_->OnPause();
            break;
        case kStopButton:
            player_->OnStop();
            break;
        case kEjectButton:
            player_->OnEject();
            break;
        default:
            break;
    }
}

INT_PTR CMCIPlayer::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kPlayButton:
                case kPauseButton:
                case kStopButton:
                case kEjectButton:
                    OnCommand(LOWORD(wParam));
                    return TRUE;
                default:
                    break;
            }
            break;
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) == ::GetDlgItem(Handle(), kPositionSlider)) {
                player_->OnPositionSlider(CTrackbar(reinterpret_cast<HWND>(lParam)).Pos());
                return TRUE;
            }
            break;
        case WM_VSCROLL:
            if (reinterpret_cast<HWND>(lParam) == ::GetDlgItem(Handle(), kTempoSlider)) {
                player_->OnTempoSlider(CTrackbar(reinterpret_cast<HWND>(lParam)).Pos());
                return TRUE;
            }
            break;
        case WM_TIMER:
            if (wParam == kTimerId) {
                player_->OnTimer();
                return TRUE;
            }
            break;
        case MM_MCINOTIFY:
            player_->OnPlayNotify(wParam == MCI_NOTIFY_SUCCESSFUL);
            return TRUE;
        case WM_DESTROY:
            player_->OnDestroy();
            ::KillTimer(Handle(), kTimerId);
            break;
        default:
            break;
    }
    return CFloatingFrameDlg::DialogProc(message, wParam, lParam);
}

bool CMCIPlayer::PreTranslateMessage(MSG* message) {
    if (toolTip_.Handle() != nullptr && message->message == WM_MOUSEMOVE &&
        message->hwnd == Handle()) {
        // The tempo slider and its caption are disabled for WAV files; their tips still show.
        std::vector<HWND> disabled;
        for (int id : {kTempoSlider, kTempoCaption}) {
            HWND control = ::GetDlgItem(Handle(), id);
            if (control != nullptr) {
                disabled.push_back(control);
            }
        }
        RelayToolTipMessage(message, Handle(), disabled, toolTip_);
    }
    return CFloatingFrameDlg::PreTranslateMessage(message);
}

}  // namespace melvora
