#include "music/win32/keyboard_dlg.h"

#include <algorithm>
#include <string>

#include "app/app_options.h"
#include "music/general_midi.h"
#include "platform/string_table.h"
#include "resource_ids.h"
#include "string_ids.h"
#include "ui/win32/skin_colours.h"

namespace melvora {

namespace {

constexpr COLORREF kMenuTextColour = RGB(1, 19, 98);
constexpr COLORREF kSwitchTextColour = RGB(255, 255, 150);
constexpr int kButtonRowTop = 29;
constexpr int kButtonRowHeight = 18;
constexpr int kViewTop = kButtonRowTop + kButtonRowHeight;

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (const char* c = text; *c != '\0'; ++c) {
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    }
    return wide;
}

int WidthOf(const CNewDeckButton& button) {
    return button.Handle() != nullptr ? RectWidth(button.RectInParent()) : 0;
}

}  // namespace

CKeyboardDlg::CKeyboardDlg(const FloatingWindowDescriptor& description, FloatingWindowOwner& owner,
                           SharedMidiOutput& output, std::unique_ptr<MidiIn> input)
    : CFloatingFrameDlg(description, owner), keyboard_(output, std::move(input)) {}

CKeyboardDlg::~CKeyboardDlg() {
    DestroyWindow();
}

BOOL CKeyboardDlg::OnInitDialog() {
    CFloatingFrameDlg::OnInitDialog();
    HWND dialog = Handle();
    for (CNewDeckButton* button : {&device_, &layout_, &volume_}) {
        const UINT id = button == &device_   ? IDC_KEYBOARD_DEVICE
                        : button == &layout_ ? IDC_KEYBOARD_LAYOUT
                                             : IDC_MIDI_VOLUME;
        button->CreateOverPlaceholder(dialog, id, "MENU", false);
        button->SetTextColour(kMenuTextColour, kSlotUp);
        for (int slot = kSlotHover; slot < kDeckSlotCount; ++slot) {
            button->SetTextColour(RGB(255, 255, 255), slot);
        }
    }
    spacer_.CreateOverPlaceholder(dialog, IDC_KEYBOARD_SPACER, "MENU", false);
    spacer_.Enable(false);
    playAlong_.CreateOverPlaceholder(dialog, IDC_PLAY_ALONG, "SWITCH", false);
    for (int slot = 0; slot < kDeckSlotCount; ++slot) {
        playAlong_.SetTextColour(kSwitchTextColour, slot);
    }
    playAlong_.SetLatched(Options().playAlong != 0);

    HWND placeholder = ::GetDlgItem(dialog, IDC_KEYBOARD_VIEW);
    RECT viewRect = {0, kViewTop, 100, 100};
    if (placeholder != nullptr) {
        ::GetWindowRect(placeholder, &viewRect);
        ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&viewRect), 2);
        ::DestroyWindow(placeholder);
    }
    keyboard_.Create(dialog, viewRect, IDC_KEYBOARD_VIEW);
    ApplyLanguage(Language());
    const RECT client = ClientRect();
    Layout(RectWidth(client), RectHeight(client));
    return TRUE;
}

void CKeyboardDlg::ApplyLanguage(int language) {
    CFloatingFrameDlg::ApplyLanguage(language);
    device_.SetText(LoadText(IDS_DEVICE, language));
    layout_.SetText(LoadText(IDS_PC_LAYOUT, language));
    volume_.SetText(LoadText(IDS_MIDI_VOLUME, language));
    playAlong_.SetText(LoadText(IDS_PLAY_ALONG, language));
    keyboard_.SetLanguage(language);
    for (CNewDeckButton* button : {&device_, &layout_, &volume_}) {
        button->FitToText();
    }
    const RECT client = ClientRect();
    Layout(RectWidth(client), RectHeight(client));
}

void CKeyboardDlg::Layout(int cx, int cy) {
    LayoutTitleRow();
    int x = 0;
    for (CNewDeckButton* button : {&device_, &layout_, &volume_}) {
        if (button->Handle() != nullptr) {
            const int width = WidthOf(*button);
            button->MoveTo(x, kButtonRowTop, width, kButtonRowHeight);
            x += width;
        }
    }
    const int switchWidth = WidthOf(playAlong_);
    if (playAlong_.Handle() != nullptr) {
        playAlong_.MoveTo(cx - switchWidth, kButtonRowTop, switchWidth, kButtonRowHeight);
    }
    if (spacer_.Handle() != nullptr) {
        spacer_.MoveTo(x, kButtonRowTop, std::max(0, cx - switchWidth - x), kButtonRowHeight);
    }
    if (keyboard_.Handle() != nullptr) {
        keyboard_.MoveTo(0, kViewTop, cx, std::max(0, cy - kViewTop));
    }
}

HMENU CKeyboardDlg::BuildMenu(int buttonId) const {
    HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr) {
        return nullptr;
    }
    const int language = Language();
    const AppOptions& options = Options();
    if (buttonId == IDC_KEYBOARD_DEVICE) {
        for (int family = 0; family < GeneralMidi::kFamilyCount; ++family) {
            HMENU sub = ::CreatePopupMenu();
            for (int i = 0; i < GeneralMidi::kProgramsPerFamily; ++i) {
                const int program = family * GeneralMidi::kProgramsPerFamily + i;
                ::AppendMenuW(sub, MF_STRING,
                              static_cast<UINT_PTR>(GeneralMidi::CommandOfProgram(program)),
                              Widen(GeneralMidi::ProgramName(program)).c_str());
            }
            ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub),
                          Widen(GeneralMidi::FamilyName(family)).c_str());
        }
    } else if (buttonId == IDC_KEYBOARD_LAYOUT) {
        const bool doubleRow = options.pcKeyboardLayout == 2;
        ::AppendMenuW(menu, MF_STRING | (doubleRow ? 0u : MF_CHECKED), ID_LAYOUT_SINGLE_ROW,
                      LoadText(IDS_SINGLE_ROW, language).c_str());
        ::AppendMenuW(menu, MF_STRING | (doubleRow ? MF_CHECKED : 0u), ID_LAYOUT_DOUBLE_ROW,
                      LoadText(IDS_DOUBLE_ROW, language).c_str());
    } else {
        const int strings[3] = {IDS_VOLUME_LOW, IDS_VOLUME_MEDIUM, IDS_VOLUME_HIGH};
        for (int level = 0; level < 3; ++level) {
            const UINT checked = options.midiVolume == level ? MF_CHECKED : 0u;
            ::AppendMenuW(menu, MF_STRING | checked,
                          static_cast<UINT_PTR>(ID_MIDI_VOLUME_LOW + level),
                          LoadText(strings[level], language).c_str());
        }
    }
    return menu;
}

void CKeyboardDlg::OnMenuButton(int buttonId) {
    CNewDeckButton& button = buttonId == IDC_KEYBOARD_DEVICE   ? device_
                             : buttonId == IDC_KEYBOARD_LAYOUT ? layout_
                                                               : volume_;
    HMENU menu = BuildMenu(buttonId);
    if (menu == nullptr) {
        return;
    }
    RECT r = {};
    ::GetWindowRect(button.Handle(), &r);
    button.SetLatched(true);
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, r.left, r.bottom, 0, Handle(), nullptr);
    button.SetLatched(false);
    ::DestroyMenu(menu);
}

void CKeyboardDlg::TogglePlayAlong() {
    AppOptions& options = Options();
    options.playAlong = options.playAlong != 0 ? 0 : 1;
    static_cast<void>(options.Save());  // a failure is shown by the main window
    playAlong_.SetLatched(options.playAlong != 0);
    keyboard_.SetPlayAlong(options.playAlong != 0);
    keyboard_.AllNotesOff();
}

void CKeyboardDlg::SettingsChanged(SettingsChange change) {
    if (keyboard_.Handle() == nullptr) {
        return;
    }
    const AppOptions& options = Options();
    switch (change) {
        case SettingsChange::KeyboardLayout:
            // New letters on the keys, the octave kept.
            keyboard_.SetLayout(options.pcKeyboardLayout);
            break;
        case SettingsChange::PlayAlong:
            playAlong_.SetLatched(options.playAlong != 0);
            keyboard_.SetPlayAlong(options.playAlong != 0);
            keyboard_.AllNotesOff();
            break;
        case SettingsChange::NoteLetters:
            keyboard_.NoteNamesChanged();
            break;
        case SettingsChange::MidiVolume:
            keyboard_.SetMidiVolume(options.midiVolume);
            break;
        default:
            break;
    }
}

void CKeyboardDlg::OnCommand(int id) {
    const int program = GeneralMidi::ProgramOfCommand(id);
    if (program >= 0) {
        keyboard_.SelectProgram(program);
        return;
    }
    AppOptions& options = Options();
    switch (id) {
        case IDC_KEYBOARD_DEVICE:
        case IDC_KEYBOARD_LAYOUT:
        case IDC_MIDI_VOLUME:
            OnMenuButton(id);
            break;
        case IDC_PLAY_ALONG:
            TogglePlayAlong();
            break;
        case ID_LAYOUT_SINGLE_ROW:
        case ID_LAYOUT_DOUBLE_ROW:
            options.pcKeyboardLayout = id == ID_LAYOUT_SINGLE_ROW ? 1 : 2;
            static_cast<void>(options.Save());  // a failure is shown by the main window
            keyboard_.SetLayout(options.pcKeyboardLayout);
            break;
        case ID_MIDI_VOLUME_LOW:
        case ID_MIDI_VOLUME_MEDIUM:
        case ID_MIDI_VOLUME_HIGH:
            options.midiVolume = id - ID_MIDI_VOLUME_LOW;
            static_cast<void>(options.Save());  // a failure is shown by the main window
            keyboard_.SetMidiVolume(options.midiVolume);
            break;
        default:
            break;
    }
}

void CKeyboardDlg::OnActivated(bool active) {
    CFloatingFrameDlg::OnActivated(active);
    if (!active) {
        // Key-ups and the mouse release now go to another window: nothing may keep sounding.
        keyboard_.LetGo();
    }
}

INT_PTR CKeyboardDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_CLOSE_BOX:
                case IDC_HELP_BOX:
                case IDOK:
                case IDCANCEL:
                    break;
                default:
                    OnCommand(LOWORD(wParam));
                    return TRUE;
            }
            break;
        case WM_SIZE:
            CFloatingFrameDlg::DialogProc(message, wParam, lParam);
            Layout(LOWORD(lParam), HIWORD(lParam));
            return FALSE;
        case WM_ERASEBKGND:
        case WM_HELP:
            SetMessageResult(TRUE);
            return TRUE;
        default:
            break;
    }
    return CFloatingFrameDlg::DialogProc(message, wParam, lParam);
}

}  // namespace melvora
