#include "exercises/win32/exercise_dlg.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "app/app_options.h"
#include "exercises/win32/open_exercise_dlg.h"
#include "platform/string_table.h"
#include "platform/win32/paint_dc.h"
#include "platform/win32/trackbar.h"
#include "resource_ids.h"
#include "string_ids.h"
#include "ui/win32/deck_skin.h"
#include "ui/win32/my_message_dlg.h"
#include "ui/win32/skin_colours.h"

namespace melvora {

namespace {

constexpr COLORREF kMenuTextColour = RGB(1, 19, 98);
constexpr COLORREF kPictureBackground = RGB(255, 255, 255);
constexpr COLORREF kMelodyColour = RGB(170, 180, 200);
constexpr COLORREF kInTuneColour = RGB(0, 150, 60);
constexpr COLORREF kOffColour = RGB(210, 40, 40);

RunnerSettings SettingsFromOptions() {
    const AppOptions& options = Options();
    RunnerSettings settings;
    settings.autoAdvance = options.autoAdvance != 0;
    settings.useVoiceActivityDetection = options.useVoiceActivityDetection != 0;
    settings.keepRecordings = options.keepRecordings != 0;
    settings.recordPeriodMs =
        1000.0 * options.skipRateSeconds * std::max(1, options.averagingWindow);
    settings.language = options.UiLanguage();
    return settings;
}

}  // namespace

CExerciseDlg::CExerciseDlg(ExerciseHost& host, std::unique_ptr<ExerciseProgress> progress)
    : CFloatingDlg(IDD_EXERCISE, nullptr), host_(host), progress_(std::move(progress)) {}

CExerciseDlg::~CExerciseDlg() {
    postTarget_.store(nullptr);
    runner_.reset();
    DestroyWindow();
}

bool CExerciseDlg::Create(HWND owner) {
    return CreateModeless(owner);
}

int CExerciseDlg::Language() const {
    return Options().UiLanguage();
}

CNewDeckButton& CExerciseDlg::Button(RunnerButton button) {
    switch (button) {
        case RunnerButton::Retry:
            return retry_;
        case RunnerButton::Next:
            return next_;
        case RunnerButton::Exit:
            break;
    }
    return exit_;
}

BOOL CExerciseDlg::OnInitDialog() {
    postTarget_.store(Handle());
    TakeOwnerIcon();
    ::SetWindowTextW(Handle(), LoadText(IDS_EXERCISES, Language()).c_str());
    SkinControls();
    CreateToolTips();
    HWND picture = ::GetDlgItem(Handle(), IDC_EXERCISE_SCORE);
    if (picture != nullptr) {
        ::GetWindowRect(picture, &scoreRect_);
        ::MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&scoreRect_), 2);
    }
    runner_ = std::make_unique<ExerciseRunner>(*this, host_.ExerciseTransport(), *this,
                                               host_.ExerciseMidi(), SettingsFromOptions(),
                                               std::move(progress_));
    runner_->ShowPosition();
    return TRUE;
}

void CExerciseDlg::SkinControls() {
    HWND dlg = Handle();
    CreateTitleRow(kCloseButton | kMinimizeButton);
    const int language = Language();
    struct Menu {
        CNewDeckButton* button;
        UINT id;
        int captionId;
    };
    for (const Menu& m : {Menu{&fileMenu_, IDC_FILE_MENU_BUTTON, IDS_MENU_FILE},
                          Menu{&viewMenu_, IDC_VIEW_MENU_BUTTON, IDS_MENU_VIEW}}) {
        m.button->CreateOverPlaceholder(dlg, m.id, "MENU", false);
        SetMenuButtonColours(*m.button, kMenuTextColour);
        m.button->SetText(LoadText(m.captionId, language));
        m.button->FitToText();
    }
    // The View button follows the File button's fitted width.
    const RECT file = fileMenu_.RectInParent();
    const RECT view = viewMenu_.RectInParent();
    viewMenu_.MoveTo(file.right + 4, view.top, RectWidth(view), RectHeight(view));

    retry_.CreateOverPlaceholder(dlg, IDC_EXERCISE_RETRY, "EMPTY_BUTTON", false);
    next_.CreateOverPlaceholder(dlg, IDC_EXERCISE_NEXT, "EMPTY_BUTTON", false);
    exit_.CreateOverPlaceholder(dlg, IDC_EXERCISE_EXIT, "EMPTY_BUTTON", false);

    SkinSlider(slider_, dlg, IDC_POSITION_SLIDER, IDB_SLIDER_POSITION_AFTER,
               IDB_SLIDER_POSITION_BEFORE, IDB_THUMB_HORIZONTAL);
}

void CExerciseDlg::CreateToolTips() {
    if (!toolTip_.Create(Handle())) {
        return;
    }
    toolTip_.SetDelays(60000, 100, 100);
    const int language = Language();
    for (HWND control : {retry_.Handle(), next_.Handle(), exit_.Handle(),
                         ::GetDlgItem(Handle(), IDC_POSITION_SLIDER)}) {
        if (control != nullptr) {
            toolTip_.AddTool(control, std::wstring());
        }
    }
    toolTip_.AddTool(CloseBox().Handle(), LoadText(IDS_CLOSE, language));
    toolTip_.AddTool(MinimizeBox().Handle(), LoadText(IDS_MINIMIZE, language));
    toolTip_.Activate(true);
}

// ---- ResultListener ----

void CExerciseDlg::OnResultPublished(const ResultRecord& record) {
    if (runner_) {
        runner_->IntakeResult(record);
    }
}

// ---- ExerciseRunnerView ----

void CExerciseDlg::SetExerciseText(const std::wstring& text) {
    ::SetDlgItemTextW(Handle(), IDC_EXERCISE_TEXT, text.c_str());
}

void CExerciseDlg::SetTimeText(const std::wstring& text) {
    ::SetDlgItemTextW(Handle(), IDC_TIME_TEXT, text.c_str());
}

void CExerciseDlg::SetSlider(int rangeMaximumMs, int pageSizeMs, int positionMs) {
    CTrackbar slider(::GetDlgItem(Handle(), IDC_POSITION_SLIDER));
    slider.SetRange(0, rangeMaximumMs, true);
    slider.SetPageSize(pageSizeMs);
    slider.SetPos(positionMs, true);
}

void CExerciseDlg::SetSliderPosition(int positionMs) {
    CTrackbar(::GetDlgItem(Handle(), IDC_POSITION_SLIDER)).SetPos(positionMs, true);
}

void CExerciseDlg::SetSliderTip(int stringId) {
    if (toolTip_.Handle() != nullptr) {
        toolTip_.UpdateTipText(::GetDlgItem(Handle(), IDC_POSITION_SLIDER),
                               LoadText(stringId, Language()));
    }
}

void CExerciseDlg::SetButton(RunnerButton button, const std::wstring& caption, int tipStringId) {
    CNewDeckButton& control = Button(button);
    control.SetText(caption);
    if (toolTip_.Handle() != nullptr && control.Handle() != nullptr) {
        toolTip_.UpdateTipText(control.Handle(), LoadText(tipStringId, Language()));
    }
}

void CExerciseDlg::EnableButton(RunnerButton button, bool enabled) {
    Button(button).Enable(enabled);
}

void CExerciseDlg::ShowScore(const TryScorer::Score* score) {
    hasScore_ = score != nullptr;
    if (score != nullptr) {
        score_ = *score;
    }
    ::InvalidateRect(Handle(), &scoreRect_, TRUE);
}

bool CExerciseDlg::AskYesNo(const std::wstring& text, const std::wstring& caption) {
    return ShowMessageBox(text, caption, MB_YESNO, Handle(), Language()) == IDYES;
}

void CExerciseDlg::ShowMessage(const std::wstring& text, const std::wstring& caption) {
    ShowMessageBox(text, caption, MB_OK, Handle(), Language());
}

int CExerciseDlg::ChooseExercise(const std::vector<std::unique_ptr<Exercise>>& exercises) {
    COpenExerciseDlg chooser(Handle(), exercises, Language());
    return chooser.DoModal() == IDOK ? chooser.Selected() : -1;
}

void CExerciseDlg::PostTryEnd(int tryId) {
    HWND target = postTarget_.load();
    if (target != nullptr) {
        ::PostMessageW(target, kTryEndedMessage, static_cast<WPARAM>(tryId), 0);
    }
}

void CExerciseDlg::Leave() {
    ::ShowWindow(Handle(), SW_HIDE);
    host_.ExerciseEnded();
}

// ---- RunnerClock ----

uint32_t CExerciseDlg::NowMs() {
    return ::GetTickCount();
}

void CExerciseDlg::StartTimer(int timerId, uint32_t periodMs) {
    ::SetTimer(Handle(), static_cast<UINT_PTR>(timerId),
               std::max<uint32_t>(periodMs, USER_TIMER_MINIMUM), nullptr);
}

void CExerciseDlg::StopTimer(int timerId) {
    ::KillTimer(Handle(), static_cast<UINT_PTR>(timerId));
}

// ---- Messages ----

INT_PTR CExerciseDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (RouteCommand(wParam, [this](int id) { OnCommand(id); })) {
                return TRUE;
            }
            break;
        case WM_TIMER:
            if (runner_) {
                runner_->OnTimer(static_cast<int>(wParam));
            }
            return TRUE;
        case kTryEndedMessage:
            if (runner_) {
                runner_->OnTryEnded(static_cast<int>(wParam));
            }
            return TRUE;
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return TRUE;
        case WM_MOVE:
            host_.ExerciseWindowMoved();
            return FALSE;
        case WM_PAINT:
            OnPaint();
            return TRUE;
        case WM_NCHITTEST:
            return HitTestTitleRow(lParam);
        case WM_CLOSE:
            OnCloseBox();
            return TRUE;
        default:
            break;
    }
    return CFloatingDlg::DialogProc(message, wParam, lParam);
}

void CExerciseDlg::OnCloseBox() {
    if (runner_) {
        runner_->OnClose();
    }
}

void CExerciseDlg::OnCommand(int id) {
    if (!runner_) {
        return;
    }
    switch (id) {
        case IDC_EXERCISE_RETRY:
            runner_->OnRetry();
            break;
        case IDC_EXERCISE_NEXT:
            runner_->OnNext();
            break;
        case IDC_EXERCISE_EXIT:
            runner_->OnExitButton();
            break;
        case ID_FILE_NEW:
            runner_->OnNewExercise();
            break;
        case ID_RESTART_EXERCISE:
            runner_->OnRestart();
            break;
        case ID_EXIT:
            if (runner_->FileCommandsEnabled()) {
                runner_->OnExitButton();
            }
            break;
        case ID_OPTIONS:
        case ID_VIEW_ANALYSIS:
        case ID_VIEW_STAFF:
        case ID_VIEW_VOLUME:
            host_.ForwardCommand(id);
            break;
        case IDC_FILE_MENU_BUTTON:
            OnMenuButton(0);
            break;
        case IDC_VIEW_MENU_BUTTON:
            OnMenuButton(1);
            break;
        default:
            break;
    }
}

void CExerciseDlg::OnMenuButton(int which) {
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_EXERCISE_MENU));
    if (menu == nullptr) {
        return;
    }
    HMENU language = ::GetSubMenu(menu, Language());
    HMENU popup = language != nullptr ? ::GetSubMenu(language, which) : nullptr;
    CNewDeckButton& button = which == 0 ? fileMenu_ : viewMenu_;
    if (popup != nullptr) {
        RECT r = {};
        ::GetWindowRect(button.Handle(), &r);
        button.SetLatched(true);
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, r.left, r.bottom, 0, Handle(),
                         nullptr);
        button.SetLatched(false);
    }
    ::DestroyMenu(menu);
}

void CExerciseDlg::OnInitMenuPopup(HMENU menu) {
    if (!runner_) {
        return;
    }
    const UINT fileState = runner_->FileCommandsEnabled() ? MF_ENABLED : MF_GRAYED;
    for (UINT id : {static_cast<UINT>(ID_FILE_NEW), static_cast<UINT>(ID_RESTART_EXERCISE),
                    static_cast<UINT>(ID_EXIT)}) {
        ::EnableMenuItem(menu, id, MF_BYCOMMAND | fileState);
    }
    if (runner_->ExitReadsExit() &&
        ::GetMenuState(menu, ID_EXIT, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
        ::ModifyMenuW(menu, ID_EXIT, MF_BYCOMMAND | MF_STRING | fileState, ID_EXIT,
                      LoadText(IDS_MENU_EXIT, Language()).c_str());
    }
    for (UINT id : {static_cast<UINT>(ID_VIEW_ANALYSIS), static_cast<UINT>(ID_VIEW_STAFF),
                    static_cast<UINT>(ID_VIEW_VOLUME)}) {
        ::CheckMenuItem(menu, id,
                        MF_BYCOMMAND | (host_.CommandChecked(static_cast<int>(id)) ? MF_CHECKED
                                                                                   : MF_UNCHECKED));
    }
}

// The picture of the last try: the melody's notes as grey bars where the try sang them, the
// sung pitch as dots, green within +-50 cents of its note and red outside.
void CExerciseDlg::OnPaint() {
    CPaintDC dc(Handle());
    if (RectWidth(scoreRect_) <= 2 || RectHeight(scoreRect_) <= 2) {
        return;
    }
    CGdiObject<HBRUSH> background(::CreateSolidBrush(kPictureBackground));
    ::FillRect(dc.Get(), &scoreRect_, background.Get());
    ::FrameRect(dc.Get(), &scoreRect_, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
    const size_t frames = score_.framePitchHz.size();
    if (!hasScore_ || frames == 0 || score_.notes.empty()) {
        return;
    }
    // Vertical range: the melody's keys (moved by the try's octave) with room around them.
    double low = 1e9;
    double high = -1e9;
    for (const TryScorer::NoteScore& n : score_.notes) {
        const double key = n.key + 12.0 * score_.octaveShift;
        low = std::min(low, key);
        high = std::max(high, key);
    }
    low -= 3.0;
    high += 3.0;
    const int left = scoreRect_.left + 2;
    const int width = RectWidth(scoreRect_) - 4;
    const int top = scoreRect_.top + 2;
    const int height = RectHeight(scoreRect_) - 4;
    auto x = [&](size_t frame) { return left + static_cast<int>(frame * width / frames); };
    auto y = [&](double key) {
        const double clamped = std::min(high, std::max(low, key));
        return top + static_cast<int>((high - clamped) / (high - low) * height);
    };
    CGdiObject<HBRUSH> melody(::CreateSolidBrush(kMelodyColour));
    for (const TryScorer::NoteScore& n : score_.notes) {
        if (n.firstFrame < 0) {
            continue;
        }
        const int middle = y(n.key + 12.0 * score_.octaveShift);
        RECT bar = {x(static_cast<size_t>(n.firstFrame)), middle - 2,
                    x(static_cast<size_t>(n.lastFrame) + 1), middle + 3};
        ::FillRect(dc.Get(), &bar, melody.Get());
    }
    for (size_t f = 0; f < frames; ++f) {
        const float hz = score_.framePitchHz[f];
        const int note = score_.frameNote[f];
        if (!(hz > 0.0f) || note < 0) {
            continue;
        }
        const double key = 69.0 + 12.0 * std::log2(hz / 440.0);
        const double cents =
            TryScorer::Cents(hz, score_.notes[static_cast<size_t>(note)].expectedHz);
        const COLORREF colour =
            std::fabs(cents) <= TryScorer::kInTuneCents ? kInTuneColour : kOffColour;
        const int px = x(f);
        const int py = y(key);
        for (int d = -1; d <= 1; ++d) {
            ::SetPixel(dc.Get(), px + d, py, colour);
            ::SetPixel(dc.Get(), px, py + d, colour);
        }
    }
}

}  // namespace melvora
