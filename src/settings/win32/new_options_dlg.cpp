#include "settings/win32/new_options_dlg.h"

#include <commctrl.h>

#include <vector>

#include "app/app_options.h"
#include "platform/string_table.h"
#include "platform/win32/resource_strings.h"
#include "resource_ids.h"
#include "settings/midi_input_devices.h"
#include "string_ids.h"
#include "ui/win32/new_deck_button.h"
#include "ui/win32/tool_tip_relay.h"

namespace melvora {

namespace {

// Label or control and its tool tip.
struct Tip {
    int controlId;
    int stringId;
};
constexpr Tip kTips[] = {
    {IDC_OPTIONS_LANGUAGE_LABEL, IDS_TIP_LANGUAGE},
    {IDC_OPTIONS_LANGUAGE, IDS_TIP_LANGUAGE},
    {IDC_OPTIONS_VIEW_LABEL, IDS_TIP_VIEW},
    {IDC_OPTIONS_VIEW, IDS_TIP_VIEW},
    {IDC_OPTIONS_LAYOUT_LABEL, IDS_TIP_PC_LAYOUT},
    {IDC_OPTIONS_LAYOUT, IDS_TIP_SINGLE_ROW},  // follows the layout, see ApplyTexts
    {IDC_OPTIONS_MIDI_VOLUME_LABEL, IDS_TIP_MIDI_VOLUME},
    {IDC_OPTIONS_MIDI_VOLUME, IDS_TIP_MIDI_VOLUME},
    {IDC_OPTIONS_MIDI_INPUT_LABEL, IDS_TIP_MIDI_INPUT},
    {IDC_OPTIONS_MIDI_INPUT, IDS_TIP_MIDI_INPUT},
    {IDC_OPTIONS_SET, IDS_TIP_MIDI_INPUT},
    {IDC_OPTIONS_PLAY_ALONG, IDS_TIP_PLAY_ALONG},
    {IDC_OPTIONS_DOCKING, IDS_TIP_DOCKING},
    {IDC_OPTIONS_NOTE_LETTERS, IDS_TIP_NOTE_LETTERS},
    {IDC_OPTIONS_ALWAYS_CONTINUE, IDS_TIP_ALWAYS_CONTINUE},
    {IDC_OPTIONS_AUTO_ADVANCE, IDS_TIP_AUTO_ADVANCE},
    {IDC_OPTIONS_EXERCISE_VAD, IDS_TIP_EXERCISE_VAD},
    {IDC_OPTIONS_KEEP_RECORDINGS, IDS_TIP_KEEP_RECORDINGS},
    {IDC_CLOSE_BOX, IDS_CLOSE},
    {IDC_HELP_BOX, IDS_HELP},
};

// Static texts and check boxes with their string.
constexpr Tip kTexts[] = {
    {IDC_OPTIONS_LANGUAGE_LABEL, IDS_LANGUAGE},
    {IDC_OPTIONS_VIEW_LABEL, IDS_VIEW},
    {IDC_OPTIONS_LAYOUT_LABEL, IDS_PC_LAYOUT},
    {IDC_OPTIONS_MIDI_VOLUME_LABEL, IDS_MIDI_VOLUME},
    {IDC_OPTIONS_MIDI_INPUT_LABEL, IDS_MIDI_INPUT},
    {IDC_OPTIONS_PLAY_ALONG, IDS_PLAY_ALONG},
    {IDC_OPTIONS_DOCKING, IDS_DOCKING},
    {IDC_OPTIONS_NOTE_LETTERS, IDS_NOTE_LETTERS},
    {IDC_OPTIONS_ALWAYS_CONTINUE, IDS_ALWAYS_CONTINUE},
    {IDC_OPTIONS_AUTO_ADVANCE, IDS_AUTO_ADVANCE},
    {IDC_OPTIONS_EXERCISE_VAD, IDS_EXERCISE_VAD},
    {IDC_OPTIONS_KEEP_RECORDINGS, IDS_KEEP_RECORDINGS},
};

// View combo: index = view value.
constexpr int kViewStrings[] = {IDS_VIEW_STAR,    IDS_VIEW_STAR2,     IDS_VIEW_CIRCLE,
                                IDS_VIEW_CIRCLE2, IDS_VIEW_3D_CIRCLE, IDS_VIEW_3D_KNIFE};
constexpr int kLayoutStrings[] = {IDS_SINGLE_ROW, IDS_DOUBLE_ROW};
constexpr int kVolumeStrings[] = {IDS_VOLUME_LOW, IDS_VOLUME_MEDIUM, IDS_VOLUME_HIGH};

bool SaveOptions(const AppOptions& options) {
    return options.Save();
}

}  // namespace

CNewOptionsDlg::CNewOptionsDlg(HWND parent, SettingsListener& listener, MidiInputDevices* devices)
    : CFloatingDlg(kTemplateId, parent), edit_(Options(), listener, devices, SaveOptions) {}

CNewOptionsDlg::~CNewOptionsDlg() = default;

int CNewOptionsDlg::Language() const {
    return Options().UiLanguage();
}

BOOL CNewOptionsDlg::OnInitDialog() {
    TakeOwnerIcon();
    CreateTitleRow(kCloseButton | kHelpButton);
    HWND dlg = Handle();
    auto make = [dlg](int id, const char* skin) {
        auto button = std::make_unique<CNewDeckButton>();
        button->CreateOverPlaceholder(dlg, static_cast<UINT>(id), skin, true);
        return button;
    };
    ok_ = make(IDC_OPTIONS_OK, "EMPTY_BUTTON");
    cancel_ = make(IDC_OPTIONS_CANCEL, "EMPTY_BUTTON");
    set_ = make(IDC_OPTIONS_SET, "SMALL_BUTTON");

    HWND language = ::GetDlgItem(dlg, IDC_OPTIONS_LANGUAGE);
    // The languages name themselves, whatever language is in force.
    ::SendMessageW(language, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"English"));
    ::SendMessageW(language, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"T\u00fcrk\u00e7e"));
    ::SendMessageW(language, CB_SETCURSEL, static_cast<WPARAM>(edit_.LanguageIndex()), 0);

    HWND input = ::GetDlgItem(dlg, IDC_OPTIONS_MIDI_INPUT);
    // With no devices the one item is a text, filled in with the others below.
    for (const std::string& name : edit_.MidiInputItems()) {
        ::SendMessageW(input, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(name).c_str()));
    }
    ::SendMessageW(input, CB_SETCURSEL, static_cast<WPARAM>(edit_.MidiInputSelection()), 0);
    set_->Enable(false);

    const OptionsEdit::Checks checks = edit_.InitialChecks();
    Check(IDC_OPTIONS_DOCKING, checks.docking);
    Check(IDC_OPTIONS_NOTE_LETTERS, checks.noteLetters);
    Check(IDC_OPTIONS_PLAY_ALONG, checks.playAlong);
    Check(IDC_OPTIONS_ALWAYS_CONTINUE, checks.alwaysContinue);
    Check(IDC_OPTIONS_AUTO_ADVANCE, checks.autoAdvance);
    Check(IDC_OPTIONS_EXERCISE_VAD, checks.useVoiceActivityDetection);
    Check(IDC_OPTIONS_KEEP_RECORDINGS, checks.keepRecordings);

    if (toolTip_.Create(dlg)) {
        toolTip_.SetDelays(60000, 100, 100);
        ::SendMessageW(toolTip_.Handle(), TTM_SETMAXTIPWIDTH, 0, 200);
        for (const Tip& tip : kTips) {
            HWND control = ::GetDlgItem(dlg, tip.controlId);
            if (control != nullptr) {
                toolTip_.AddTool(control, LoadText(tip.stringId, Language()));
            }
        }
        toolTip_.Activate(true);
    }
    ApplyTexts();
    CenterOverOwner();
    return TRUE;
}

void CNewOptionsDlg::FillCombo(int id, const int* stringIds, int count, int selection) {
    HWND combo = ::GetDlgItem(Handle(), id);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i) {
        ::SendMessageW(combo, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(LoadText(stringIds[i], Language()).c_str()));
    }
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

void CNewOptionsDlg::ApplyTexts() {
    const int language = Language();
    HWND dlg = Handle();
    ::SetWindowTextW(dlg, LoadText(IDS_OPTIONS, language).c_str());
    for (const Tip& text : kTexts) {
        ::SetDlgItemTextW(dlg, text.controlId, LoadText(text.stringId, language).c_str());
    }
    ok_->SetText(LoadText(IDS_OK, language));
    cancel_->SetText(LoadText(IDS_CANCEL, language));
    set_->SetText(LoadText(IDS_SET, language));
    FillCombo(IDC_OPTIONS_VIEW, kViewStrings, 6, edit_.AnalysisViewIndex());
    FillCombo(IDC_OPTIONS_LAYOUT, kLayoutStrings, 2, edit_.KeyboardLayoutIndex());
    FillCombo(IDC_OPTIONS_MIDI_VOLUME, kVolumeStrings, 3, edit_.MidiVolumeIndex());
    if (edit_.MidiInputItems().empty()) {
        const int notAvailable[] = {IDS_MIDI_NOT_AVAILABLE};
        FillCombo(IDC_OPTIONS_MIDI_INPUT, notAvailable, 1, 0);
    }
    if (toolTip_.Handle() != nullptr) {
        for (const Tip& tip : kTips) {
            HWND control = ::GetDlgItem(dlg, tip.controlId);
            if (control != nullptr) {
                toolTip_.UpdateTipText(control, LoadText(tip.stringId, language));
            }
        }
        // The layout combo explains the layout it shows.
        toolTip_.UpdateTipText(
            ::GetDlgItem(dlg, IDC_OPTIONS_LAYOUT),
            LoadText(edit_.KeyboardLayoutIndex() == 0 ? IDS_TIP_SINGLE_ROW : IDS_TIP_DOUBLE_ROW,
                     language));
    }
    TitleBar().Invalidate(true);
    ::RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool CNewOptionsDlg::Checked(int id) const {
    return ::IsDlgButtonChecked(Handle(), id) == BST_CHECKED;
}

void CNewOptionsDlg::Check(int id, bool checked) {
    ::CheckDlgButton(Handle(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void CNewOptionsDlg::OnSelectionChange(int id) {
    const int index = static_cast<int>(::SendDlgItemMessageW(Handle(), id, CB_GETCURSEL, 0, 0));
    switch (id) {
        case IDC_OPTIONS_LANGUAGE:
            edit_.ChooseLanguage(index);
            ApplyTexts();
            break;
        case IDC_OPTIONS_VIEW:
            edit_.ChooseAnalysisView(index);
            break;
        case IDC_OPTIONS_LAYOUT:
            edit_.ChooseKeyboardLayout(index);
            if (toolTip_.Handle() != nullptr) {
                toolTip_.UpdateTipText(
                    ::GetDlgItem(Handle(), IDC_OPTIONS_LAYOUT),
                    LoadText(index == 0 ? IDS_TIP_SINGLE_ROW : IDS_TIP_DOUBLE_ROW, Language()));
            }
            break;
        case IDC_OPTIONS_MIDI_VOLUME:
            edit_.ChooseMidiVolume(index);
            break;
        case IDC_OPTIONS_MIDI_INPUT:
            edit_.ChooseMidiInput(index);
            set_->Enable(edit_.SetEnabled());
            break;
        default:
            break;
    }
}

void CNewOptionsDlg::OnSetButton() {
    edit_.SetMidiInput();
    set_->Enable(edit_.SetEnabled());
}

void CNewOptionsDlg::OnOkButton() {
    OptionsEdit::Checks checks;
    checks.docking = Checked(IDC_OPTIONS_DOCKING);
    checks.noteLetters = Checked(IDC_OPTIONS_NOTE_LETTERS);
    checks.playAlong = Checked(IDC_OPTIONS_PLAY_ALONG);
    checks.alwaysContinue = Checked(IDC_OPTIONS_ALWAYS_CONTINUE);
    checks.autoAdvance = Checked(IDC_OPTIONS_AUTO_ADVANCE);
    checks.useVoiceActivityDetection = Checked(IDC_OPTIONS_EXERCISE_VAD);
    checks.keepRecordings = Checked(IDC_OPTIONS_KEEP_RECORDINGS);
    edit_.Ok(checks);
    EndDialog(IDOK);
}

void CNewOptionsDlg::OnCancel() {
    edit_.Cancel();
    EndDialog(IDCANCEL);
}

INT_PTR CNewOptionsDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (code == CBN_SELCHANGE) {
            OnSelectionChange(id);
            return TRUE;
        }
        switch (id) {
            case IDC_OPTIONS_OK:
                OnOkButton();
                return TRUE;
            case IDC_OPTIONS_CANCEL:
                OnCancel();
                return TRUE;
            case IDC_OPTIONS_SET:
                OnSetButton();
                return TRUE;
            default:
                break;
        }
    }
    return CFloatingDlg::DialogProc(message, wParam, lParam);
}

bool CNewOptionsDlg::PreTranslateMessage(MSG* message) {
    if (toolTip_.Handle() != nullptr && message->message == WM_MOUSEMOVE &&
        message->hwnd == Handle()) {
        // Set is disabled most of the time; its tip still shows.
        std::vector<HWND> disabled;
        if (set_ && set_->Handle() != nullptr) {
            disabled.push_back(set_->Handle());
        }
        RelayToolTipMessage(message, Handle(), disabled, toolTip_);
    }
    return CFloatingDlg::PreTranslateMessage(message);
}

}  // namespace melvora
