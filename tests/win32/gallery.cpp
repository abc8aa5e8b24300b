#include <windows.h>

#include <commctrl.h>

#include "app/floating_window.h"
#include "platform/win32/paint_dc.h"
#include "platform/win32/resource_strings.h"
#include "settings/win32/volume_dlg.h"
#include "ui/win32/about_dlg.h"
#include "ui/win32/my_message_dlg.h"
#include "ui/win32/my_title_bar.h"
#include "ui/win32/new_deck_button.h"
#include "ui/win32/skin_colours.h"
#include "ui/win32/skin_slider.h"
#include "views/win32/inst_tessim_dlg.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace guitest {
namespace {

// Message box type, text and caption of each message box picture.
const int kBoxShots[6][3] = {{0, 237, 236}, {1, 222, 236}, {2, 224, 236},
                             {3, 240, 243}, {4, 242, 241}, {5, 219, 236}};

// The skin families of the button page.
const char* const kFamilies[] = {"CLOSE", "HELP",         "MINIMIZE",    "MAXIMIZE", "RECORD",
                                 "PLAY",  "PAUSE",        "STOP",        "REWIND",   "EJECT",
                                 "MENU",  "EMPTY_BUTTON", "SMALL_BUTTON"};
constexpr int kRows = static_cast<int>(sizeof(kFamilies) / sizeof(kFamilies[0]));
const wchar_t* const kColumns[8] = {L"Normal",          L"Hover",           L"Pressed",
                                    L"Disabled",        L"Latched",         L"Latched hover",
                                    L"Latched pressed", L"Latched disabled"};
constexpr int kLabelWidth = 110;
constexpr int kColumnWidth = 92;
constexpr int kRowHeight = 40;
constexpr int kTop = 70;
constexpr COLORREF kInk = RGB(1, 19, 98);

// A page with every skin family in every state, made of real buttons.
class ButtonPage : public CWnd {
  public:
    bool Open(int language);

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    std::vector<std::unique_ptr<CNewDeckButton>> buttons_;
    CMyTitleBar titleBar_;
    CSkinSlider slider_;
    CFontHandle font_;
};

bool ButtonPage::Open(int language) {
    static const wchar_t kClass[] = L"MelvoraGalleryPage";
    RegisterWindowClass(kClass, 0, ::LoadCursorW(nullptr, IDC_ARROW), DialogBackgroundBrush());
    const int width = kLabelWidth + 8 * kColumnWidth + 10;
    const RECT rect = {20, 20, 20 + width, 20 + kTop + kRows * kRowHeight + 90};
    if (!Create(0, kClass, L"Melvora skins: every button in every state",
                WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_BORDER, rect, nullptr, 0)) {
        return false;
    }
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MELVORA));
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    font_.Reset(CreatePointFont(80, kShellDlgFace));
    titleBar_.Create(Handle(), RECT{0, 0, ClientRect().right, 29}, 1065);
    titleBar_.SetFloatingWindowLook();
    static const DeckButtonState kStates[4] = {DeckButtonState::kNormal, DeckButtonState::kHover,
                                               DeckButtonState::kPressed, DeckButtonState::kNormal};
    UINT id = 2000;
    for (int row = 0; row < kRows; ++row) {
        const std::string skin = kFamilies[row];
        // Text buttons show a text of the string table.
        const int captionId = skin == "MENU"           ? IDS_MENU_FILE
                              : skin == "EMPTY_BUTTON" ? IDS_OK
                              : skin == "SMALL_BUTTON" ? IDS_SET
                                                       : 0;
        for (int column = 0; column < 8; ++column) {
            auto button = std::make_unique<CNewDeckButton>();
            const int x = kLabelWidth + column * kColumnWidth + 10, y = kTop + row * kRowHeight + 4;
            button->Create(Handle(), RECT{x, y, x + 10, y + 10}, id++, kFamilies[row], true);
            if (skin == "EMPTY_BUTTON") {
                button->Resize(75, 23);
            }
            if (captionId != 0) {
                button->SetText(LoadText(captionId, language));
            }
            if (skin == "MENU") {
                button->SetTextColour(kInk, 0);
                for (int look : {1, 2, 4}) {
                    button->SetTextColour(RGB(255, 255, 255), look);
                }
                // As the main window lays out its menu buttons: fitted, 18 high.
                button->FitToText();
                button->Resize(button->ClientRect().right, 18);
            }
            button->SetLatched(column >= 4);
            if (column % 4 == 3) {
                button->Enable(false);
            }
            button->PreviewState(kStates[column % 4]);
            buttons_.push_back(std::move(button));
        }
    }
    HWND trackbar =
        ::CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_NOTICKS,
                          kLabelWidth + 10, kTop + kRows * kRowHeight + 20, 300, 24, Handle(),
                          reinterpret_cast<HMENU>(1017), ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(trackbar, TBM_SETRANGEMAX, FALSE, 1000);
    ::SendMessageW(trackbar, TBM_SETPOS, TRUE, 400);
    slider_.Attach(Handle(), 1017);
    slider_.SetChannel(348, 349);
    slider_.SetThumb(351, 12, 22);
    slider_.Invalidate(true);
    ::UpdateWindow(Handle());
    return true;
}

LRESULT ButtonPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) {
        return Default(message, wParam, lParam);
    }
    CPaintDC dc(Handle());
    CSelectObject selectFont(dc.Get(), font_.Get());
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::SetTextColor(dc.Get(), kInk);
    for (int column = 0; column < 8; ++column) {
        RECT r = {kLabelWidth + column * kColumnWidth, 36,
                  kLabelWidth + (column + 1) * kColumnWidth, kTop};
        ::DrawTextW(dc.Get(), kColumns[column], -1, &r, DT_CENTER | DT_WORDBREAK);
    }
    for (int row = 0; row < kRows; ++row) {
        RECT r = {8, kTop + row * kRowHeight + 8, kLabelWidth, kTop + (row + 1) * kRowHeight};
        ::DrawTextW(dc.Get(), Utf8ToWide(kFamilies[row]).c_str(), -1, &r, DT_LEFT | DT_SINGLELINE);
    }
    RECT sliderLabel = {8, kTop + kRows * kRowHeight + 24, kLabelWidth,
                        kTop + kRows * kRowHeight + 44};
    ::DrawTextW(dc.Get(), L"Slider 348/349", -1, &sliderLabel, DT_LEFT | DT_SINGLELINE);
    HPEN pen = ::CreatePen(PS_SOLID, 1, kInk);
    HGDIOBJ old = ::SelectObject(dc.Get(), pen);
    ::MoveToEx(dc.Get(), 0, kTop - 2, nullptr);
    ::LineTo(dc.Get(), ClientRect().right, kTop - 2);
    ::SelectObject(dc.Get(), old);
    ::DeleteObject(pen);
    return 0;
}

// Shows `window` where the camera looks and has its picture taken.
bool Present(CWnd& window, const std::string& name) {
    ::SetWindowPos(window.Handle(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    window.Show(SW_SHOW);
    return TakeShot(window.Handle(), name);
}

// The analysis and volume windows as the program shows them while a singer holds A3: the
// results come from a holder fed here, the volume window uses the system's mixers.
bool ShowViewWindows(HWND owner, int language, const std::string& suffix) {
    ViewLink link;
    link.holder.SetHistoryLength(5);
    for (int i = 0; i < 5; ++i) {
        link.Publish(0.55f + 0.02f * i, 220.0f, 0.62f, 0.81f, 0.47f);
    }
    FloatingOwner floatingOwner;
    floatingOwner.language = language;
    CInstTessimDlg analysis(Describe(FloatingWindow::Analysis), floatingOwner, link);
    bool ok = analysis.Create(owner) && Present(analysis, "analysis_window_" + suffix) &&
              SaveFrame(analysis.View(), "analysis_view_" + suffix);
    analysis.DestroyWindow();
    CVolumeDlg volume(Describe(FloatingWindow::Volume), floatingOwner, link, link);
    return volume.Create(owner) && Present(volume, "volume_window_" + suffix) &&
           SaveFrame(volume.EnergyBar(), "energy_bar_" + suffix) && ok;
}

}  // namespace

int RunGallery(const char* folder) {
    SetShotFolder(folder);
    int failures = 0;
    // An owner with the program's icon, as the program's windows have, kept off screen.
    HostWindow owner;
    owner.Open(-2000, -2000, 200, 100, L"Melvora", true);
    // Message boxes take the owner's icon; the about box is moved where the camera looks.
    auto shoot = [&](const std::function<INT_PTR()>& show, const std::string& name, bool box) {
        RunModal(show, [&](HWND dialog) {
            if (box) {
                ::SendMessageW(dialog, WM_SETICON, ICON_BIG,
                               ::SendMessageW(owner.Handle(), WM_GETICON, ICON_BIG, 0));
                ::InvalidateRect(dialog, nullptr, TRUE);
            } else {
                ::SetWindowPos(dialog, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            }
            failures += TakeShot(dialog, name) ? 0 : 1;
            EndModal(dialog, IDCANCEL);
        });
    };
    for (int language = 0; language < 2; ++language) {
        Options().language = language;
        const std::string suffix = language == kEnglish ? "en" : "tr";
        for (const int* box : kBoxShots) {
            shoot(
                [&] {
                    return ShowMessageBox(LoadText(box[1], language), LoadText(box[2], language),
                                          box[0], nullptr, language);
                },
                "message_box_type" + std::to_string(box[0]) + "_" + suffix, true);
        }
        shoot([&] { return CAboutDlg(owner.Handle(), language).DoModal(); }, "about_box_" + suffix,
              false);
        failures += ShowViewWindows(owner.Handle(), language, suffix) ? 0 : 1;
        ButtonPage page;  // last: it would hide the windows above
        failures += page.Open(language) && TakeShot(page.Handle(), "buttons_" + suffix) ? 0 : 1;
    }
    if (FILE* end = _wfopen(Utf8ToWide(std::string(folder) + "/gallery.end").c_str(), L"w")) {
        std::fclose(end);
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace guitest
}  // namespace melvora
