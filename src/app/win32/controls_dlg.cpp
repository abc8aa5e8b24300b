#include "app/win32/controls_dlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <iterator>
#include <vector>

#include "app/app_options.h"
#include "app/controls_command_state.h"
#include "exercises/deck_runner_transport.h"
#include "exercises/win32/exercise_dlg.h"
#include "exercises/win32/open_exercise_dlg.h"
#include "resource_ids.h"
#include "string_ids.h"
#include "transport/deck_operations.h"
#include "transport/engine_transport_analysis.h"
#include "app/win32/floating_frame_dlg.h"
#include "analysis/analysis_engine.h"
#include "analysis/result_holder.h"
#include "app/window_layout.h"
#include "music/shared_midi_output.h"
#include "music/win32/mci_player.h"
#include "music/win32/keyboard_dlg.h"
#include "music/win32/staff_dlg.h"
#include "platform/win32/winmm_midi_in.h"
#include "platform/win32/winmm_midi_out.h"
#include "platform/string_table.h"
#include "platform/win32/wave_port_winmm.h"
#include "platform/win32/file_dialog.h"
#include "platform/win32/resource_strings.h"
#include "platform/win32/paint_dc.h"
#include "platform/win32/trackbar.h"
#include "platform/win32/unique_handle.h"
#include "settings/win32/new_options_dlg.h"
#include "ui/win32/about_dlg.h"
#include "ui/win32/help_launcher.h"
#include "ui/help_topic.h"
#include "ui/win32/deck_skin.h"
#include "ui/win32/my_message_dlg.h"
#include "ui/win32/new_deck_button.h"
#include "ui/win32/skin_colours.h"
#include "ui/win32/skin_slider.h"
#include "ui/win32/tool_tip_relay.h"
#include "settings/win32/volume_dlg.h"
#include "views/win32/inst_tessim_dlg.h"

namespace melvora {

namespace {

// Posted at start so that the report of unwritable working files comes once the window shows.
constexpr UINT kCheckWorkingFilesMessage = WM_APP + 20;

constexpr COLORREF kLineColour = RGB(1, 19, 98);
constexpr int kLineY = 47;
constexpr int kMenuButtonPaddingPixels = 10;

// Tool tips of the deck.
constexpr ControlTip kTips[] = {{IDC_REC, IDS_TIP_REC},
                                {IDC_REW, IDS_TIP_REW},
                                {IDC_PLAY, IDS_TIP_PLAY},
                                {IDC_EJECT, IDS_TIP_EJECT},
                                {IDC_POSITION_SLIDER, IDS_TIP_REPLAY_POSITION},
                                {IDC_CLOSE_BOX, IDS_CLOSE},
                                {IDC_MINIMIZE_BOX, IDS_MINIMIZE},
                                {IDC_HELP_BOX, IDS_HELP}};

constexpr int kMenuCaptionStrings[3] = {IDS_MENU_FILE, IDS_MENU_VIEW, IDS_MENU_HELP};
constexpr int kGroupStrings[3][2] = {{IDC_RECORD_GROUP, IDS_GROUP_RECORD},
                                     {IDC_REPLAY_GROUP, IDS_GROUP_REPLAY},
                                     {IDC_FILE_GROUP, IDS_GROUP_FILE}};

}  // namespace

CControlsDlg::CControlsDlg(HWND owner, Audio audio)
    : CFloatingDlg(IDD_CONTROLS, owner),
      owner_(owner),
      audio_(std::move(audio)),
      results_(new ResultHolder()),
      liveViews_(*results_),
      midiOutput_(std::make_unique<SharedMidiOutput>(audio_.midiOut ? std::move(audio_.midiOut)
                                                                    : MakeWinmmMidiOut())),
      floatingSet_(*this,
                   [this](const FloatingWindowDescriptor& d,
                          FloatingWindowOwner& set) -> std::unique_ptr<CFloatingFrameDlg> {
                       if (d.window == FloatingWindow::Keyboard) {
                           return std::make_unique<CKeyboardDlg>(
                               d, set, *midiOutput_,
                               audio_.midiIn ? std::move(audio_.midiIn) : MakeWinmmMidiIn());
                       }
                       if (d.window == FloatingWindow::Staff) {
                           return std::make_unique<CStaffDlg>(d, set, *midiOutput_);
                       }
                       if (d.window == FloatingWindow::MediaPlayer) {
                           // The player borrows the shared output around MIDI files.
                           return std::make_unique<CMCIPlayer>(d, set, nullptr, midiOutput_.get());
                       }
                       if (d.window == FloatingWindow::Analysis) {
                           auto window = std::make_unique<CInstTessimDlg>(d, set, liveViews_);
                           liveViews_.SetAnalysisWindow(window.get());
                           return window;
                       }
                       if (d.window == FloatingWindow::Volume) {
                           auto window = std::make_unique<CVolumeDlg>(
                               d, set, liveViews_, liveViews_, std::move(audio_.mixerPort));
                           liveViews_.SetVolumeWindow(window.get());
                           return window;
                       }
                       return nullptr;
                   }) {}

CControlsDlg::~CControlsDlg() {
    // The worker may still post events while the transport shuts down; it must find no
    // window to post to.
    commandTarget_.store(nullptr);
    // Closing unlinked the views already, unless the window went without its close.
    UnlinkViews();
    if (exercise_) {
        floatingSet_.SetExerciseWindow(nullptr);
        exercise_.reset();
    }
    deck_.reset();
    // The holder is kept: a worker that did not stop in time is abandoned by the transport
    // and may still publish one result into it.
}

void CControlsDlg::UnlinkViews() {
    AudioTransport* transport = deck_ ? &deck_->Transport() : nullptr;
    if (transport != nullptr) {
        transport->Pause();
    }
    for (ResultListener* listener : listeners_) {
        results_->RemoveListener(listener);
    }
    listeners_.clear();
    results_->RemoveListener(&liveViews_);
    if (exercise_) {
        results_->RemoveListener(exercise_.get());
    }
    liveViews_.Unlink();
    if (transport != nullptr) {
        transport->Resume();
    }
}

CKeyboardDlg* CControlsDlg::KeyboardWindow() {
    return dynamic_cast<CKeyboardDlg*>(&floatingSet_.Window(FloatingWindow::Keyboard));
}

CStaffDlg* CControlsDlg::StaffWindow() {
    return dynamic_cast<CStaffDlg*>(&floatingSet_.Window(FloatingWindow::Staff));
}

void CControlsDlg::ConnectMusicWindows() {
    CKeyboardDlg* keyboard = KeyboardWindow();
    CStaffDlg* staff = StaffWindow();
    if (keyboard == nullptr || staff == nullptr) {
        return;
    }
    keyboard->Keyboard().SetStaff(&staff->Staff());
    staff->Staff().SetKeyboard(&keyboard->Keyboard());
    // Before the worker starts: the hand-off reaches the staff and play-along from now on.
    for (ResultListener* listener : {static_cast<ResultListener*>(&staff->Staff()),
                                     static_cast<ResultListener*>(&keyboard->Keyboard())}) {
        results_->AddListener(listener);
        listeners_.push_back(listener);
    }
}

int CControlsDlg::Language() const {
    return Options().UiLanguage();
}

BOOL CControlsDlg::OnInitDialog() {
    commandTarget_.store(Handle());
    // The owner dialog stays hidden: this window is the one the task bar and Alt+Tab show.
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const int iconSizes[2][2] = {{SM_CXICON, SM_CYICON}, {SM_CXSMICON, SM_CYSMICON}};
    const WPARAM iconKinds[2] = {ICON_BIG, ICON_SMALL};
    for (int i = 0; i < 2; ++i) {
        HANDLE icon = ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_MELVORA), IMAGE_ICON,
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
    audio_.analysis->SetVoiceActivationSensitivity(settings.voiceActivationSensitivity);
    deck_ = std::make_unique<DeckOperations>(
        *this, *this, std::move(audio_.analysis), std::move(audio_.capturePort),
        std::move(audio_.playbackPort), settings.ForTransport());
    liveViews_.SetTransport(&deck_->Transport());
    liveViews_.SetEngine(engine != nullptr ? engine->Engine() : nullptr);
    results_->AddListener(&liveViews_);

    floatingSet_.CreateAndPlace(owner_);
    ConnectMusicWindows();

    CTrackbar slider(::GetDlgItem(Handle(), IDC_POSITION_SLIDER));
    slider.SetRange(0, 0, true);
    slider.SetPageSize(0);
    deck_->RefreshTimeDisplay();

    CreateToolTips();
    LayoutTitleRow();
    ApplyLanguage();

    deck_->StartWorker();
    ::PostMessageW(Handle(), kCheckWorkingFilesMessage, 0, 0);
    return TRUE;
}

void CControlsDlg::ReportUnwritableFiles() {
    std::wstring files;
    if (deck_ && deck_->Transport().CurrentFile() == nullptr) {
        files += L"\n" + Utf8ToWide(AudioTransport::WorkingFilePath());
    }
    if (AppOptions::LastSaveFailed()) {
        files += L"\n" + Utf8ToWide(AppOptions::FilePath());
    }
    if (!files.empty()) {
        ShowMessage(LoadText(IDS_CANNOT_CREATE_WORKING_FILES, Language()) + files,
                    LoadText(IDS_ERROR, Language()), MessageButtons::Ok);
    }
}

void CControlsDlg::SkinControls() {
    HWND dlg = Handle();
    CreateTitleRow(kCloseButton | kHelpButton | kMinimizeButton);
    // The buttons go above the group boxes, which were created first.
    const int menuIds[3] = {IDC_FILE_MENU_BUTTON, IDC_VIEW_MENU_BUTTON, IDC_HELP_MENU_BUTTON};
    for (int m = 0; m < 3; ++m) {
        menuButtons_[m] = MakeDeckButton(dlg, menuIds[m], "MENU", false, true);
        SetMenuButtonColours(*menuButtons_[m], kLineColour);
    }
    rec_ = MakeDeckButton(dlg, IDC_REC, "RECORD", true, true);
    rew_ = MakeDeckButton(dlg, IDC_REW, "REWIND", true, true);
    play_ = MakeDeckButton(dlg, IDC_PLAY, "PLAY", true, true);
    eject_ = MakeDeckButton(dlg, IDC_EJECT, "EJECT", true, true);

    slider_ = std::make_unique<CSkinSlider>();
    SkinSlider(*slider_, dlg, IDC_POSITION_SLIDER, IDB_SLIDER_POSITION_AFTER,
               IDB_SLIDER_POSITION_BEFORE, IDB_THUMB_HORIZONTAL);
}

void CControlsDlg::CreateToolTips() {
    CreateControlTips(toolTip_, Handle(), std::begin(kTips), std::end(kTips), Language());
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
    ::SetWindowTextW(Handle(), LoadText(IDS_APP_CAPTION, language).c_str());
    for (const auto& group : kGroupStrings) {
        ::SetDlgItemTextW(Handle(), group[0], LoadText(group[1], language).c_str());
    }
    if (deck_) {
        deck_->SetSettings(Options().ForTransport());
        deck_->RefreshTimeDisplay();
    }
    UpdateControlTips(toolTip_, Handle(), std::begin(kTips), std::end(kTips), language);
    for (int m = 0; m < 3; ++m) {
        menuButtons_[m]->SetText(LoadText(kMenuCaptionStrings[m], language));
    }
    LayoutMenuButtons();
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    floatingSet_.ApplyLanguage(language);
}

void CControlsDlg::ToggleWindow(FloatingWindow window) {
    floatingSet_.Toggle(window, Language());
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
    CTrackbar(::GetDlgItem(Handle(), IDC_POSITION_SLIDER)).SetRangeMax(maximumMs, redraw);
}

void CControlsDlg::SetSliderPageSize(int pageMs) {
    CTrackbar(::GetDlgItem(Handle(), IDC_POSITION_SLIDER)).SetPageSize(pageMs);
}

void CControlsDlg::SetSliderPosition(int positionMs) {
    CTrackbar(::GetDlgItem(Handle(), IDC_POSITION_SLIDER)).SetPos(positionMs, true);
}

int CControlsDlg::SliderPosition() const {
    return CTrackbar(::GetDlgItem(Handle(), IDC_POSITION_SLIDER)).Pos();
}

void CControlsDlg::SetTimeText(const std::wstring& text) {
    ::SetDlgItemTextW(Handle(), IDC_TIME_TEXT, text.c_str());
}

bool CControlsDlg::AskOpenPath(std::string* path) {
    std::wstring chosen;
    if (!ShowFileDialog(true, Handle(), L"wav", LoadText(IDS_FILTER_WAVE, Language()),
                        OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, &chosen)) {
        return false;
    }
    *path = WideToUtf8(chosen);
    return true;
}

bool CControlsDlg::AskSavePath(std::string* path) {
    std::wstring chosen;
    if (!ShowFileDialog(false, Handle(), L"wav", LoadText(IDS_FILTER_WAVE, Language()),
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

void CControlsDlg::PostEvent(TransportEvent event, int deviceError) {
    HWND target = commandTarget_.load();
    if (target == nullptr) {
        return;
    }
    ::PostMessageW(target, WM_APP + APP_MSG_TRANSPORT_EVENT, static_cast<WPARAM>(event),
                   static_cast<LPARAM>(deviceError));
}

// ---- Messages ----

INT_PTR CControlsDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (RouteCommand(wParam, [this](int id) { OnCommand(id); })) {
                return TRUE;
            }
            break;
        case WM_APP + APP_MSG_TRANSPORT_EVENT:
            if (deck_) {
                deck_->OnTransportEvent(static_cast<TransportEvent>(wParam),
                                        static_cast<int>(lParam));
            }
            return TRUE;
        case WM_TIMER:
            if (wParam == kTimerId && deck_) {
                deck_->RefreshTimeDisplay();
            }
            return TRUE;
        case WM_HSCROLL:
            if (deck_ &&
                reinterpret_cast<HWND>(lParam) == ::GetDlgItem(Handle(), IDC_POSITION_SLIDER)) {
                deck_->Seek();
            }
            return TRUE;
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return TRUE;
        case kRestoreAfterExerciseMessage:
            RestoreAfterExercise();
            return TRUE;
        case WM_MOVE:
            floatingSet_.MainMoved();
            return FALSE;
        case WM_SIZE:
            floatingSet_.MainSized(wParam == SIZE_MINIMIZED, wParam == SIZE_RESTORED);
            return FALSE;
        case WM_PAINT:
            OnPaint();
            return TRUE;
        case WM_NCHITTEST:
            return HitTestTitleRow(lParam);
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case kCheckWorkingFilesMessage:
            ReportUnwritableFiles();
            return TRUE;
        default:
            break;
    }
    return CFloatingDlg::DialogProc(message, wParam, lParam);
}

void CControlsDlg::OnCommand(int id) {
    FloatingWindow window = FloatingWindow::Analysis;
    if (FloatingWindowOfCommand(id, &window)) {
        ToggleWindow(window);
        return;
    }
    switch (id) {
        case IDC_REC:
            deck_->RecordToggle();
            break;
        case IDC_REW:
            deck_->Rewind();
            break;
        case IDC_PLAY:
            deck_->PlayToggle();
            break;
        case IDC_EJECT:
            OnEject();
            break;
        case IDC_FILE_MENU_BUTTON:
        case IDC_VIEW_MENU_BUTTON:
        case IDC_HELP_MENU_BUTTON:
            OnMenuButton(id);
            break;
        case ID_FILE_NEW:
            deck_->New(false);
            break;
        case ID_FILE_OPEN:
            deck_->Open(false);
            break;
        case ID_FILE_SAVE:
            deck_->Save();
            break;
        case ID_OPTIONS:
            OnOptions();
            break;
        case ID_EXIT:
            ::SendMessageW(Handle(), WM_CLOSE, 0, 0);
            break;
        case ID_EXERCISES:
            StartExercises();
            break;
        case ID_HELP_TOPICS:
            OpenHelpTopic(Handle(), HelpTopic("index.htm", Language()));
            break;
        case ID_ABOUT: {
            CAboutDlg about(Handle(), Language());
            about.DoModal();
        } break;
        default:
            break;
    }
}

void CControlsDlg::OnOptions() {
    // The floating windows wait while the options window is open (it disables this one).
    floatingSet_.EnableAll(false);
    // The keyboard's MIDI input devices; none without a keyboard view.
    CKeyboardDlg* keyboard = KeyboardWindow();
    MidiInputDevices* devices = keyboard != nullptr && keyboard->Keyboard().Handle() != nullptr
                                    ? &keyboard->Keyboard()
                                    : nullptr;
    CNewOptionsDlg options(Handle(), *this, devices);
    options.DoModal();
    floatingSet_.EnableAll(true);
}

void CControlsDlg::SettingsChanged(SettingsChange change) {
    switch (change) {
        case SettingsChange::Language:
            ApplyLanguage();
            break;
        case SettingsChange::AnalysisView:
            results_->SetHistoryLength(static_cast<uint32_t>(Options().resultHistoryLength));
            break;
        default:
            break;
    }
    // Each floating window takes what it shows (analysis view, keyboard layout, play-along,
    // note names, MIDI volume).
    floatingSet_.SettingsChanged(change);
}

HMENU CControlsDlg::LoadLanguagePopup(UINT menuId) const {
    return ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
}

void CControlsDlg::OnMenuButton(int buttonId) {
    const int which = buttonId - IDC_FILE_MENU_BUTTON;
    HMENU menu = LoadLanguagePopup(IDR_MAIN_MENU);
    if (menu == nullptr) {
        return;
    }
    const CMenuHandle owned(menu);
    HMENU language = ::GetSubMenu(menu, Language());
    HMENU popup = language != nullptr ? ::GetSubMenu(language, which) : nullptr;
    if (popup != nullptr) {
        if (which == 0) {
            // The exercises have no item in the menu resource; they sit after Save.
            ::InsertMenuW(popup, 3, MF_BYPOSITION | MF_STRING, ID_EXERCISES,
                          LoadText(IDS_TIP_NEW_EXERCISE, Language()).c_str());
        }
        RECT r = {};
        ::GetWindowRect(menuButtons_[which]->Handle(), &r);
        menuButtons_[which]->SetLatched(true);
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, r.left, r.bottom, 0, Handle(),
                         nullptr);
        menuButtons_[which]->SetLatched(false);
    }
}

void CControlsDlg::OnEject() {
    HMENU menu = LoadLanguagePopup(IDR_FILE_MENU);
    if (menu == nullptr) {
        return;
    }
    const CMenuHandle owned(menu);
    HMENU popup = ::GetSubMenu(menu, Language());
    if (popup != nullptr) {
        POINT p = {};
        ::GetCursorPos(&p);
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, p.x, p.y, 0, Handle(), nullptr);
    }
}

void CControlsDlg::OnInitMenuPopup(HMENU menu) {
    ControlsCommandState::Inputs inputs;
    inputs.canNewOrOpen = deck_ && deck_->CanNewOrOpen();
    inputs.canSave = deck_ && deck_->CanSave();
    inputs.exercisesAvailable = true;
    inputs.shown = floatingSet_.ShownFlags();
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
        floatingSet_.MainActivated();
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
    UnlinkViews();
    floatingSet_.DestroyAll();
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

// ---- Exercises ----

void CControlsDlg::StartExercises() {
    if (exercise_ || !deck_) {
        return;
    }
    std::unique_ptr<ExerciseProgress> progress =
        ExerciseLauncher::ContinueOrChoose(Options().alwaysContinue != 0, Language(), *this);
    if (!progress) {
        return;
    }
    deck_->New(false);
    if (deck_->Transport().Opened() || deck_->Transport().Recorded()) {
        return;  // the save question was cancelled; the progress is closed, keeping its file
    }
    runnerTransport_ = std::make_unique<DeckRunnerTransport>(*deck_);
    exercise_ = std::make_unique<CExerciseDlg>(*this, std::move(progress));
    if (!exercise_->Create(owner_)) {
        exercise_.reset();
        runnerTransport_.reset();
        return;
    }
    const RECT main = RectInParent();
    ::SetWindowPos(exercise_->Handle(), nullptr, main.left, main.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(Handle(), SW_HIDE);
    for (FloatingWindow window : {FloatingWindow::Keyboard, FloatingWindow::MediaPlayer}) {
        if (FloatingFrame(window).Handle() != nullptr) {
            ::ShowWindow(FloatingFrame(window).Handle(), SW_HIDE);
        }
    }
    ::ShowWindow(exercise_->Handle(), SW_SHOW);
    // Results reach the runner from the worker: it is added only while the worker is parked.
    AudioTransport& transport = deck_->Transport();
    transport.Pause();
    results_->AddListener(exercise_.get());
    floatingSet_.SetExerciseWindow(exercise_.get());
    transport.Resume();
}

void CControlsDlg::RestoreAfterExercise() {
    if (!exercise_) {
        return;
    }
    AudioTransport& transport = deck_->Transport();
    transport.Pause();
    results_->RemoveListener(exercise_.get());
    floatingSet_.SetExerciseWindow(nullptr);
    transport.Resume();
    RECT place = {};
    ::GetWindowRect(exercise_->Handle(), &place);
    exercise_.reset();
    runnerTransport_.reset();
    AppOptions& options = Options();
    const uint8_t docking = options.docking;
    options.docking = 0;
    ::SetWindowPos(Handle(), nullptr, place.left, place.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    options.docking = docking;
    ::ShowWindow(Handle(), SW_SHOW);
    for (FloatingWindow window : {FloatingWindow::Keyboard, FloatingWindow::MediaPlayer}) {
        if (Windows().IsShown(IndexOf(window)) && FloatingFrame(window).Handle() != nullptr) {
            ::ShowWindow(FloatingFrame(window).Handle(), SW_SHOWNA);
        }
    }
    Windows().SetRememberedRect(floatingSet_.WindowRect(WindowSetHost::kMainWindow));
}

MidiSender* CControlsDlg::ExerciseMidi() {
    return midi_ != nullptr ? midi_ : midiOutput_.get();
}

RunnerTransport& CControlsDlg::ExerciseTransport() {
    return *runnerTransport_;
}

void CControlsDlg::ForwardCommand(int commandId) {
    OnCommand(commandId);
}

bool CControlsDlg::CommandChecked(int commandId) {
    FloatingWindow window = FloatingWindow::Analysis;
    return FloatingWindowOfCommand(commandId, &window) && Windows().IsShown(IndexOf(window));
}

void CControlsDlg::ExerciseWindowMoved() {
    floatingSet_.ExerciseMoved();
}

void CControlsDlg::ExerciseEnded() {
    ::PostMessageW(Handle(), kRestoreAfterExerciseMessage, 0, 0);
}

ContinueAnswer CControlsDlg::AskContinue(const std::wstring& question,
                                         const std::wstring& caption) {
    switch (ShowMessageBox(question, caption, MB_YESNOCANCEL, Handle(), Language())) {
        case IDYES:
            return ContinueAnswer::Yes;
        case IDNO:
            return ContinueAnswer::No;
        default:
            return ContinueAnswer::Cancel;
    }
}

int CControlsDlg::ChooseExercise(const std::vector<std::unique_ptr<Exercise>>& exercises) {
    COpenExerciseDlg chooser(Handle(), exercises, Language());
    return chooser.DoModal() == IDOK ? chooser.Selected() : -1;
}

}  // namespace melvora
