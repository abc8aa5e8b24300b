#include "app/controls_dlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

#include "app/app_options.h"
#include "app/controls_command_state.h"
#include "app/controls_commands.h"
#include "app/deck_operations.h"
#include "app/engine_transport_analysis.h"
#include "app/floating_frame_dlg.h"
#include "analysis/analysis_engine.h"
#include "analysis/result_holder.h"
#include "app/window_layout.h"
#include "platform/string_table.h"
#include "platform/wave_port_winmm.h"
#include "platform/win32/file_dialog.h"
#include "platform/win32/resource_strings.h"
#include "platform/win32/trackbar.h"
#include "ui/about_dlg.h"
#include "ui/help_launcher.h"
#include "ui/help_topic.h"
#include "ui/my_message_dlg.h"
#include "ui/new_deck_button.h"
#include "ui/skin_colours.h"
#include "ui/skin_slider.h"
#include "ui/tool_tip_relay.h"

namespace melvora {

namespace {

using namespace controls;

constexpr COLORREF kLineColour = RGB(1, 19, 98);
constexpr int kLineY = 47;
constexpr int kMenuButtonPaddingPixels = 10;
constexpr UINT kMainMenuId = 173;
constexpr UINT kFileMenuId = 174;
constexpr UINT kSliderAfterBitmap = 348;
constexpr UINT kSliderBeforeBitmap = 349;
constexpr UINT kSliderThumbBitmap = 351;
constexpr int kSliderThumbFrames = 3;

// Tool tips of the deck: control and string id.
struct Tip {
    int controlId;
    int stringId;
};
constexpr Tip kTips[] = {{kRecButton, 108},      {kRewButton, 109},      {kPlayButton, 110},
                         {kEjectButton, 111},    {kPositionSlider, 106}, {kCloseButton, 143},
                         {kMinimiseButton, 153}, {kHelpButton, 191}};

constexpr int kMenuCaptionStrings[3] = {135, 144, 145};  // "File", "View", "Help"
constexpr int kCaptionString = 125;                      // "Melvora"
constexpr int kGroupStrings[3][2] = {{kRecordGroup, 132}, {kReplayGroup, 134}, {kFileGroup, 136}};
constexpr int kExercisesString = 129;  // "Start A New Exercise"

// The five floating windows, in index order.
const CFloatingFrameDlg::Description kFloatingWindows[WindowSet::kFloatingCount] = {
    {0, 131, 151, "analiz.htm"},  // analysis
    {1, 167, 141, "ortam.htm"},   // media player
    {2, 130, 149, "klavye.htm"},  // keyboard
    {3, 166, 148, "porte.htm"},   // staff
    {4, 177, 0, "ses.htm"},       // volume: the template's "Volume" in both languages
};

constexpr int kWaveFilterString = 327;  // "Wave Files (*.wav)|*.wav|All Files (*.*)|*.*||"
constexpr int kIconId = 5;

ScreenRect ToScreenRect(const RECT& r) {
    return ScreenRect{r.left, r.top, r.right, r.bottom};
}

}  // namespace

CControlsDlg::CControlsDlg(HWND owner, Audio audio)
    : CFloatingDlg(kTemplateId, owner),
      owner_(owner),
      audio_(std::move(audio)),
      results_(new ResultHolder()),
      windowSet_(*this) {
    for (int i = 0; i < WindowSet::kFloatingCount; ++i) {
        floating_[i] = std::make_unique<CFloatingFrameDlg>(kFloatingWindows[i], *this);
    }
}

CControlsDlg::~CControlsDlg() {
    // The worker may still post commands while the transport shuts down; it must find no
    // window to post to.
    commandTarget_.store(nullptr);
    deck_.reset();
    // The holder is kept: a worker that did not stop in time is abandoned by the transport
    // and may still publish one result into it.
}

CFloatingFrameDlg* CControlsDlg::FloatingWindow(int index) {
    if (index < 0 || index >= WindowSet::kFloatingCount) {
        return nullptr;
    }
    return floating_[index].get();
}

int CControlsDlg::Language() const {
    return Options().UiLanguage();
}

BOOL CControlsDlg::OnInitDialog() {
    commandTarget_.store(Handle());
    // The owner dialog stays hidden: this window is the one the task bar and Alt+Tab show, and
    // the floating windows take their icon from it.
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const int iconSizes[2][2] = {{SM_CXICON, SM_CYICON}, {SM_CXSMICON, SM_CYSMICON}};
    const WPARAM iconKinds[2] = {ICON_BIG, ICON_SMALL};
    for (int i = 0; i < 2; ++i) {
        HANDLE icon = ::LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                   ::GetSystemMetrics(iconSizes[i][0]),
                                   ::GetSystemMetrics(iconSizes[i][1]), LR_SHARED);
        ::SendMessageW(Handle(), WM_SETICON, iconKinds[i], reinterpret_cast<LPARAM>(icon));
    }

    SkinControls();

    if (!audio_.capturePort) {
        audio_.capturePort = MakeWinmmWaveInPort();
    }
    if (!audio_.playbackPort) {
        audio_.playbackPort = MakeWinmmWaveOutPort();
    }
    EngineTransportAnalysis* engine = nullptr;
    if (!audio_.analysis) {
        auto analysis = std::make_unique<EngineTransportAnalysis>(results_);
        engine = analysis.get();
        audio_.analysis = std::move(analysis);
    }
    const AppOptions& settings = Options();
    results_->SetAveragingWindow(settings.averagingWindow);
    results_->SetHistoryLength(static_cast<uint32_t>(settings.resultHistoryLength));
    deck_ = std::make_unique<DeckOperations>(*this, *this, std::move(audio_.analysis),
                                             std::move(audio_.capturePort),
                                             std::move(audio_.playbackPort));
    if (engine != nullptr && engine->Engine() != nullptr) {
        engine->Engine()->SetVoiceActivationSensitivity(settings.voiceActivationSensitivity);
    }

    // The windows placed below must neither snap to where the others happen to be nor drag
    // them along.
    AppOptions& options = Options();
    const uint8_t docking = options.docking;
    const uint8_t snapping = options.snapping;
    options.docking = 0;
    options.snapping = 0;
    CreateFloatingWindows();
    PlaceWindowsAtStart();
    ::ShowWindow(Handle(), SW_SHOW);
    for (int i = 0; i < WindowSet::kFloatingCount; ++i) {
        if (floating_[i]->Handle() != nullptr) {
            ::ShowWindow(floating_[i]->Handle(), windowSet_.IsShown(i) ? SW_SHOWNA : SW_HIDE);
        }
    }
    options.docking = docking;
    options.snapping = snapping;

    CTrackbar slider(::GetDlgItem(Handle(), kPositionSlider));
    slider.SetRange(0, 0, true);
    slider.SetPageSize(0);
    deck_->RefreshTimeDisplay();

    CreateToolTips();
    LayoutTitleRow();
    ApplyLanguage();

    deck_->StartWorker();
    return TRUE;
}

void CControlsDlg::SkinControls() {
    HWND dlg = Handle();
    CreateTitleRow(kCloseButton | kHelpButton | kMinimizeButton);
    auto make = [dlg](int id, const char* skin, bool sizeToBitmap) {
        auto button = std::make_unique<CNewDeckButton>();
        if (button->CreateOverPlaceholder(dlg, static_cast<UINT>(id), skin, sizeToBitmap)) {
            // Above the group boxes, which were created first.
            ::SetWindowPos(button->Handle(), HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        return button;
    };
    const int menuIds[3] = {kFileMenuButton, kViewMenuButton, kHelpMenuButton};
    for (int m = 0; m < 3; ++m) {
        menuButtons_[m] = make(menuIds[m], "MENU", false);
        // Dark blue on the normal look, white on the others.
        menuButtons_[m]->SetTextColour(kLineColour, kSlotUp);
        for (int slot = kSlotHover; slot < kDeckSlotCount; ++slot) {
            menuButtons_[m]->SetTextColour(RGB(255, 255, 255), slot);
        }
    }
    rec_ = make(kRecButton, "RECORD", true);
    rew_ = make(kRewButton, "REWIND", true);
    play_ = make(kPlayButton, "PLAY", true);
    eject_ = make(kEjectButton, "EJECT", true);

    slider_ = std::make_unique<CSkinSlider>();
    if (slider_->Attach(dlg, kPositionSlider)) {
        slider_->SetChannel(kSliderAfterBitmap, kSliderBeforeBitmap);
        HBITMAP thumb =
            ::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kSliderThumbBitmap));
        if (thumb != nullptr) {
            // A strip of three frames (normal, hover, pressed), side by side or stacked.
            const SIZE size = BitmapSize(thumb);
            ::DeleteObject(thumb);
            const bool vertical = size.cx < size.cy;
            slider_->SetThumb(kSliderThumbBitmap, vertical ? size.cx : size.cx / kSliderThumbFrames,
                              vertical ? size.cy / kSliderThumbFrames : size.cy);
        }
    }
}

void CControlsDlg::CreateFloatingWindows() {
    for (auto& window : floating_) {
        window->Create(owner_);
    }
}

void CControlsDlg::PlaceWindowsAtStart() {
    const RECT main = RectInParent();
    const RECT volume = floating_[4]->Handle() != nullptr ? floating_[4]->RectInParent() : RECT{};
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int strip =
        WindowLayout::StripWidthForScreen(RectWidth(work), RectWidth(main), RectWidth(volume));
    windowSet_.PlaceAtStart(strip);
    windowSet_.SetRememberedRect(WindowRect(kMainWindow));
}

void CControlsDlg::CreateToolTips() {
    if (!toolTip_.Create(Handle())) {
        return;
    }
    toolTip_.SetDelays(60000, 100, 100);
    for (const Tip& tip : kTips) {
        HWND control = ::GetDlgItem(Handle(), tip.controlId);
        if (control != nullptr) {
            toolTip_.AddTool(control, LoadText(tip.stringId, Language()));
        }
    }
    toolTip_.Activate(true);
}

void CControlsDlg::LayoutMenuButtons() {
    std::vector<int> widths;
    for (auto& button : menuButtons_) {
        button->FitToText();
        RECT r = button->RectInParent();
        // A little air on both sides, so short captions ("View", "Help") do not run into
        // each other.
        widths.push_back(RectWidth(r) + kMenuButtonPaddingPixels);
    }
    const auto row = WindowLayout::MenuButtonRow(widths);
    for (size_t m = 0; m < row.size(); ++m) {
        menuButtons_[m]->MoveTo(row[m].left, row[m].top, row[m].Width(), row[m].Height());
    }
}

void CControlsDlg::ApplyLanguage() {
    const int language = Language();
    ::SetWindowTextW(Handle(), LoadText(kCaptionString, language).c_str());
    for (const auto& group : kGroupStrings) {
        ::SetDlgItemTextW(Handle(), group[0], LoadText(group[1], language).c_str());
    }
    if (deck_) {
        deck_->RefreshTimeDisplay();
    }
    if (toolTip_.Handle() != nullptr) {
        for (const Tip& tip : kTips) {
            HWND control = ::GetDlgItem(Handle(), tip.controlId);
            if (control != nullptr) {
                toolTip_.UpdateTipText(control, LoadText(tip.stringId, language));
            }
        }
    }
    for (int m = 0; m < 3; ++m) {
        menuButtons_[m]->SetText(LoadText(kMenuCaptionStrings[m], language));
    }
    LayoutMenuButtons();
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    for (int i = 0; i < WindowSet::kFloatingCount; ++i) {
        if (windowSet_.IsShown(i) && floating_[i]->Handle() != nullptr) {
            floating_[i]->ApplyLanguage(language);
        }
    }
}

void CControlsDlg::ToggleWindow(int index) {
    const bool wasShown = windowSet_.IsShown(index);
    windowSet_.ToggleWindow(index);
    // A window hidden during a language switch still speaks the old language.
    if (!wasShown && windowSet_.IsShown(index) && floating_[index]->Handle() != nullptr) {
        floating_[index]->ApplyLanguage(Language());
    }
}

// ---- DeckView ----

CNewDeckButton* CControlsDlg::DeckButtonControl(DeckButton button) {
    switch (button) {
        case DeckButton::Rec:
            return rec_.get();
        case DeckButton::Rew:
            return rew_.get();
        case DeckButton::Play:
            return play_.get();
        case DeckButton::Eject:
            return eject_.get();
    }
    return nullptr;
}

void CControlsDlg::EnableButton(DeckButton button, bool enabled) {
    CNewDeckButton* control = DeckButtonControl(button);
    if (control != nullptr) {
        control->Enable(enabled);
    }
}

void CControlsDlg::ShowPressed(DeckButton button, bool pressed) {
    CNewDeckButton* control = DeckButtonControl(button);
    if (control != nullptr) {
        control->SetLatched(pressed);
    }
}

void CControlsDlg::SetTimerRunning(bool running) {
    if (running) {
        ::SetTimer(Handle(), kTimerId, kTimerPeriodMs, nullptr);
    } else {
        ::KillTimer(Handle(), kTimerId);
    }
}

void CControlsDlg::SetSliderRangeMaximum(int maximumMs, bool redraw) {
    CTrackbar(::GetDlgItem(Handle(), kPositionSlider)).SetRangeMax(maximumMs, redraw);
}

void CControlsDlg::SetSliderPageSize(int pageMs) {
    CTrackbar(::GetDlgItem(Handle(), kPositionSlider)).SetPageSize(pageMs);
}

void CControlsDlg::SetSliderPosition(int positionMs) {
    CTrackbar(::GetDlgItem(Handle(), kPositionSlider)).SetPos(positionMs, true);
}

int CControlsDlg::SliderPosition() const {
    return CTrackbar(::GetDlgItem(Handle(), kPositionSlider)).Pos();
}

void CControlsDlg::SetTimeText(const std::wstring& text) {
    ::SetDlgItemTextW(Handle(), kTimeText, text.c_str());
}

bool CControlsDlg::AskOpenPath(std::string* path) {
    std::wstring chosen;
    if (!ShowFileDialog(true, Handle(), L"wav", LoadText(kWaveFilterString, Language()),
                        OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, &chosen)) {
        return false;
    }
    *path = WideToUtf8(chosen);
    return true;
}

bool CControlsDlg::AskSavePath(std::string* path) {
    std::wstring chosen;
    if (!ShowFileDialog(false, Handle(), L"wav", LoadText(kWaveFilterString, Language()),
                        OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, &chosen)) {
        return false;
    }
    *path = WideToUtf8(chosen);
    return true;
}

MessageAnswer CControlsDlg::ShowMessage(const std::wstring& text, const std::wstring& caption,
                                        MessageButtons buttons) {
    const UINT type = buttons == MessageButtons::YesNoCancel ? MB_YESNOCANCEL : MB_OK;
    const INT_PTR answer = ShowMessageBox(text, caption, type, Handle(), Language());
    switch (answer) {
        case IDYES:
            return MessageAnswer::Yes;
        case IDNO:
            return MessageAnswer::No;
        case IDOK:
            return MessageAnswer::Ok;
        default:
            return MessageAnswer::Cancel;
    }
}

// ---- TransportOwner ----

void CControlsDlg::PostCommand(int commandId) {
    HWND target = commandTarget_.load();
    if (target == nullptr) {
        return;
    }
    HWND button = ::GetDlgItem(target, commandId);
    ::PostMessageW(target, WM_COMMAND, MAKEWPARAM(commandId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
}

// ---- WindowSetHost ----

bool CControlsDlg::HasWindow(int windowId) const {
    if (windowId >= 0 && windowId < WindowSet::kFloatingCount) {
        return floating_[windowId] && floating_[windowId]->Handle() != nullptr;
    }
    if (windowId == kMainWindow) {
        return Handle() != nullptr;
    }
    // No exercise window in this build.
    return false;
}

ScreenRect CControlsDlg::WindowRect(int windowId) const {
    HWND hwnd = nullptr;
    if (windowId >= 0 && windowId < WindowSet::kFloatingCount) {
        hwnd = floating_[windowId]->Handle();
    } else if (windowId == kMainWindow) {
        hwnd = Handle();
    }
    RECT r = {};
    if (hwnd != nullptr) {
        ::GetWindowRect(hwnd, &r);
    }
    return ToScreenRect(r);
}

void CControlsDlg::PlaceWindow(int windowId, const ScreenRect& rect) {
    HWND hwnd = windowId == kMainWindow ? Handle() : floating_[windowId]->Handle();
    ::SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void CControlsDlg::OffsetWindow(int windowId, int dxPixels, int dyPixels) {
    if (windowId < 0 || windowId >= WindowSet::kFloatingCount) {
        return;
    }
    const ScreenRect r = WindowRect(windowId);
    ::SetWindowPos(floating_[windowId]->Handle(), nullptr, r.left + dxPixels, r.top + dyPixels, 0,
                   0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
}

void CControlsDlg::ShowWindow(int windowId, bool show, bool activate) {
    if (windowId < 0 || windowId >= WindowSet::kFloatingCount) {
        return;
    }
    ::ShowWindow(floating_[windowId]->Handle(), show ? (activate ? SW_SHOW : SW_SHOWNA) : SW_HIDE);
}

void CControlsDlg::PlaceBehind(int windowId, int afterWindowId) {
    HWND after = afterWindowId == kMainWindow ? Handle() : floating_[afterWindowId]->Handle();
    ::SetWindowPos(floating_[windowId]->Handle(), after, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- FloatingWindowOwner ----

WindowSet::Position CControlsDlg::FloatingMoving(int index, const WindowSet::Position& proposed,
                                                 bool keepPosition) {
    return windowSet_.Snap(index, proposed, keepPosition, Options().snapping != 0);
}

void CControlsDlg::FloatingActivated(int index) {
    windowSet_.BringToFront(index);
}

void CControlsDlg::FloatingClosed(int index) {
    windowSet_.SetShown(index, false);
}

// ---- Messages ----

INT_PTR CControlsDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:
                    return TRUE;
                case controls::kCloseButton:
                case controls::kHelpButton:
                case controls::kMinimiseButton:
                    // The title boxes are the frame's.
                    break;
                default:
                    OnCommand(LOWORD(wParam));
                    return TRUE;
            }
            break;
        case WM_TIMER:
            if (wParam == kTimerId && deck_) {
                deck_->RefreshTimeDisplay();
            }
            return TRUE;
        case WM_HSCROLL:
            if (deck_ &&
                reinterpret_cast<HWND>(lParam) == ::GetDlgItem(Handle(), kPositionSlider)) {
                deck_->Seek();
            }
            return TRUE;
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return TRUE;
        case WM_MOVE: {
            const ScreenRect r = WindowRect(kMainWindow);
            windowSet_.Dock(r, ::IsIconic(Handle()) != FALSE, Options().docking != 0);
            return FALSE;
        }
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) {
                minimised_ = true;
                windowSet_.MainMinimised(true);
            } else if (wParam == SIZE_RESTORED && minimised_) {
                minimised_ = false;
                windowSet_.MainMinimised(false);
            }
            return FALSE;
        case WM_PAINT:
            OnPaint();
            return TRUE;
        case WM_NCHITTEST: {
            // With no system caption the title row moves the window.
            POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ::ScreenToClient(Handle(), &p);
            if (p.y >= 0 && p.y < WindowLayout::kTitleRowHeightPixels) {
                SetMessageResult(HTCAPTION);
                return TRUE;
            }
            return FALSE;
        }
        case WM_CLOSE:
            OnClose();
            return TRUE;
        default:
            break;
    }
    return CFloatingDlg::DialogProc(message, wParam, lParam);
}

void CControlsDlg::OnCommand(int id) {
    const int window = WindowOfViewCommand(id);
    if (window >= 0) {
        ToggleWindow(window);
        return;
    }
    switch (id) {
        case kRecButton:
            deck_->RecordToggle();
            break;
        case kRewButton:
            deck_->Rewind();
            break;
        case kPlayButton:
            deck_->PlayToggle();
            break;
        case kEjectButton:
            OnEject();
            break;
        case kFileMenuButton:
        case kViewMenuButton:
        case kHelpMenuButton:
            OnMenuButton(id);
            break;
        case kCommandNew:
            deck_->New(false);
            break;
        case kCommandOpen:
            deck_->Open(false);
            break;
        case kCommandSave:
            deck_->Save();
            break;
        case kCommandExit:
            ::SendMessageW(Handle(), WM_CLOSE, 0, 0);
            break;
        case kCommandHelpTopics:
            OpenHelpTopic(Handle(), HelpTopic("index.htm", Language()));
            break;
        case kCommandAbout: {
            CAboutDlg about(Handle(), Language());
            about.DoModal();
        } break;
        default:
            break;
    }
}

HMENU CControlsDlg::LoadLanguagePopup(UINT menuId) const {
    return ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
}

void CControlsDlg::OnMenuButton(int buttonId) {
    const int which = buttonId - kFileMenuButton;
    HMENU menu = LoadLanguagePopup(kMainMenuId);
    if (menu == nullptr) {
        return;
    }
    HMENU language = ::GetSubMenu(menu, Language());
    HMENU popup = language != nullptr ? ::GetSubMenu(language, which) : nullptr;
    if (popup != nullptr) {
        if (which == 0) {
            // The exercises have no item in the menu resource; they sit after Save.
            ::InsertMenuW(popup, 3, MF_BYPOSITION | MF_STRING, kCommandExercises,
                          LoadText(kExercisesString, Language()).c_str());
        }
        RECT r = {};
        ::GetWindowRect(menuButtons_[which]->Handle(), &r);
        menuButtons_[which]->SetLatched(true);
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, r.left, r.bottom, 0, Handle(),
                         nullptr);
        menuButtons_[which]->SetLatched(false);
    }
    ::DestroyMenu(menu);
}

void CControlsDlg::OnEject() {
    HMENU menu = LoadLanguagePopup(kFileMenuId);
    if (menu == nullptr) {
        return;
    }
    HMENU popup = ::GetSubMenu(menu, Language());
    if (popup != nullptr) {
        POINT p = {};
        ::GetCursorPos(&p);
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, p.x, p.y, 0, Handle(), nullptr);
    }
    ::DestroyMenu(menu);
}

void CControlsDlg::OnInitMenuPopup(HMENU menu) {
    ControlsCommandState::Inputs inputs;
    inputs.canNewOrOpen = deck_ && deck_->CanNewOrOpen();
    inputs.canSave = deck_ && deck_->CanSave();
    inputs.exercisesAvailable = false;
    for (int i = 0; i < WindowSet::kFloatingCount; ++i) {
        inputs.shown[i] = windowSet_.IsShown(i);
    }
    const int count = ::GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        const UINT id = ::GetMenuItemID(menu, pos);
        if (id == 0 || id == static_cast<UINT>(-1)) {
            continue;  // separator or sub-menu
        }
        const ControlsCommandState::Ui ui =
            ControlsCommandState::Evaluate(static_cast<int>(id), inputs);
        ::EnableMenuItem(menu, id, MF_BYCOMMAND | (ui.enabled ? MF_ENABLED : MF_GRAYED));
        ::CheckMenuItem(menu, id, MF_BYCOMMAND | (ui.checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

void CControlsDlg::OnActivated(bool active) {
    // Only on activation: stacking on deactivation would push the window the user just
    // clicked behind the main window.
    if (active) {
        windowSet_.StackBehindMain();
    }
}

void CControlsDlg::OnPaint() {
    CPaintDC dc(Handle());
    const RECT client = ClientRect();
    CGdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, kLineColour));
    CSelectObject select(dc.Get(), pen.Get());
    ::MoveToEx(dc.Get(), 0, kLineY, nullptr);
    ::LineTo(dc.Get(), client.right, kLineY);
}

void CControlsDlg::OnClose() {
    if (deck_ && !deck_->Close()) {
        return;
    }
    ::KillTimer(Handle(), kTimerId);
    for (auto& window : floating_) {
        window->DestroyWindow();
    }
    // Help windows belong to the HTML Help control, not to our windows: they would outlive
    // the program.
    CloseAllHelpWindows();
    EndDialog(1);
}

// ---- Message pre-translation ----

bool CControlsDlg::PreTranslateMessage(MSG* message) {
    if (toolTip_.Handle() != nullptr && message->message == WM_MOUSEMOVE &&
        message->hwnd == Handle()) {
        // Disabled deck buttons get no mouse messages of their own; the relay hands the tool
        // tip the move as if it had reached the button under the pointer.
        std::vector<HWND> deck;
        for (CNewDeckButton* button : {rec_.get(), rew_.get(), play_.get(), eject_.get()}) {
            if (button != nullptr && button->Handle() != nullptr) {
                deck.push_back(button->Handle());
            }
        }
        RelayToolTipMessage(message, Handle(), deck, toolTip_);
    }
    return CFloatingDlg::PreTranslateMessage(message);
}

}  // namespace melvora
