#include "win32/gallery.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "analysis/result_holder.h"
#include "app/app_options.h"
#include "app/floating_window.h"
#include "platform/string_table.h"
#include "platform/win32/paint_dc.h"
#include "platform/win32/resource_strings.h"
#include "ui/win32/about_dlg.h"
#include "ui/win32/my_message_dlg.h"
#include "ui/win32/my_title_bar.h"
#include "ui/win32/new_deck_button.h"
#include "ui/win32/skin_colours.h"
#include "ui/win32/skin_slider.h"
#include "settings/win32/volume_dlg.h"
#include "views/win32/inst_tessim_dlg.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace guitest {
namespace {

std::string g_folder;

bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Tells the screenshot script where `window` is and waits until it took the picture.
bool Present(HWND window, const std::string& name) {
    PumpMessages(400);
    RECT r = {};
    ::GetWindowRect(window, &r);
    std::string ready = g_folder + "/" + name + ".ready";
    std::string temporary = ready + ".tmp";
    FILE* f = _wfopen(Utf8ToWide(temporary).c_str(), L"w");
    if (f == nullptr) {
        return false;
    }
    std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fclose(f);
    ::MoveFileW(Utf8ToWide(temporary).c_str(), Utf8ToWide(ready).c_str());
    std::string done = g_folder + "/" + name + ".done";
    for (int waited = 0; waited < 60000; waited += 50) {
        if (FileExists(done)) {
            return true;
        }
        PumpMessages(50);
    }
    return false;
}

struct BoxShot {
    unsigned int type;
    int textId;
    int captionId;
};

const BoxShot kBoxShots[6] = {
    {0, 237, 236}, {1, 222, 236}, {2, 224, 236}, {3, 240, 243}, {4, 242, 241}, {5, 219, 236},
};

// A page with every skin family in every state, made of real buttons.
class ButtonPage : public CWnd {
  public:
    bool Open(int language);

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnPaint();

    int language_ = 0;
    std::vector<std::unique_ptr<CNewDeckButton>> buttons_;
    std::vector<std::wstring> rowNames_;
    CMyTitleBar titleBar_;
    CSkinSlider slider_;
    HWND trackbar_ = nullptr;
    CFontHandle font_;
};

struct Family {
    const char* skin;
    const wchar_t* caption;  // drawn on text buttons
    int width;
    int height;
};

const Family kFamilies[] = {
    {"CLOSE", L"", 0, 0},           {"HELP", L"", 0, 0},     {"MINIMIZE", L"", 0, 0},
    {"MAXIMIZE", L"", 0, 0},        {"RECORD", L"", 0, 0},   {"PLAY", L"", 0, 0},
    {"PAUSE", L"", 0, 0},           {"STOP", L"", 0, 0},     {"REWIND", L"", 0, 0},
    {"EJECT", L"", 0, 0},           {"MENU", L"File", 0, 0}, {"EMPTY_BUTTON", L"OK", 75, 23},
    {"SMALL_BUTTON", L"Set", 0, 0},
};

const wchar_t* const kColumns[8] = {L"Normal",          L"Hover",           L"Pressed",
                                    L"Disabled",        L"Latched",         L"Latched hover",
                                    L"Latched pressed", L"Latched disabled"};

constexpr int kLabelWidth = 110;
constexpr int kColumnWidth = 92;
constexpr int kRowHeight = 40;
constexpr int kTop = 70;

bool ButtonPage::Open(int language) {
    language_ = language;
    static const wchar_t kClass[] = L"MelvoraGalleryPage";
    RegisterWindowClass(kClass, 0, ::LoadCursorW(nullptr, IDC_ARROW), DialogBackgroundBrush());
    const int rows = static_cast<int>(sizeof(kFamilies) / sizeof(kFamilies[0]));
    const int width = kLabelWidth + 8 * kColumnWidth + 10;
    const int height = kTop + rows * kRowHeight + 90;
    RECT rect = {20, 20, 20 + width, 20 + height};
    if (!Create(0, kClass, L"Melvora skins: every button in every state",
                WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_BORDER, rect, nullptr, 0)) {
        return false;
    }
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(5));
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    font_.Reset(CreatePointFont(80, kShellDlgFace));
    RECT client = ClientRect();
    RECT titleRect = {0, 0, client.right, 29};
    titleBar_.Create(Handle(), titleRect, 1065);
    titleBar_.SetFloatingWindowLook();

    UINT id = 2000;
    for (int row = 0; row < rows; ++row) {
        const Family& f = kFamilies[row];
        for (int column = 0; column < 8; ++column) {
            auto button = std::make_unique<CNewDeckButton>();
            int x = kLabelWidth + column * kColumnWidth + 10;
            int y = kTop + row * kRowHeight + 4;
            RECT r = {x, y, x + 10, y + 10};
            button->Create(Handle(), r, id++, f.skin, true);
            if (f.width > 0) {
                button->Resize(f.width, f.height);
            }
            if (f.caption[0] != L'\0') {
                std::wstring caption = f.caption;
                if (std::string(f.skin) == "MENU") {
                    caption = LoadText(135, language);
                    button->SetTextColour(RGB(1, 19, 98), 0);
                    button->SetTextColour(RGB(255, 255, 255), 1);
                    button->SetTextColour(RGB(255, 255, 255), 2);
                    button->SetTextColour(RGB(255, 255, 255), 4);
                } else if (std::string(f.skin) == "EMPTY_BUTTON") {
                    caption = LoadText(138, language);
                } else {
                    caption = LoadText(261, language);
                }
                button->SetText(caption);
                if (std::string(f.skin) == "MENU") {
                    // As the main window lays out its menu buttons: fitted, 18 high.
                    button->FitToText();
                    RECT fitted = button->ClientRect();
                    button->Resize(fitted.right, 18);
                }
            }
            button->SetLatched(column >= 4);
            if (column % 4 == 3) {
                button->Enable(false);
            }
            static const DeckButtonState kStates[4] = {
                DeckButtonState::kNormal, DeckButtonState::kHover, DeckButtonState::kPressed,
                DeckButtonState::kNormal};
            button->PreviewState(kStates[column % 4]);
            buttons_.push_back(std::move(button));
        }
        std::wstring name = Utf8ToWide(f.skin);
        rowNames_.push_back(name);
    }

    int sliderY = kTop + rows * kRowHeight + 20;
    trackbar_ =
        ::CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_NOTICKS,
                          kLabelWidth + 10, sliderY, 300, 24, Handle(),
                          reinterpret_cast<HMENU>(1017), ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(trackbar_, TBM_SETRANGEMAX, FALSE, 1000);
    ::SendMessageW(trackbar_, TBM_SETPOS, TRUE, 400);
    slider_.Attach(Handle(), 1017);
    slider_.SetChannel(348, 349);
    slider_.SetThumb(351, 12, 22);
    slider_.Invalidate(true);
    ::UpdateWindow(Handle());
    return true;
}

LRESULT ButtonPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        default:
            return Default(message, wParam, lParam);
    }
}

void ButtonPage::OnPaint() {
    CPaintDC dc(Handle());
    CSelectObject selectFont(dc.Get(), font_.Get());
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::SetTextColor(dc.Get(), RGB(1, 19, 98));
    for (int column = 0; column < 8; ++column) {
        RECT r = {kLabelWidth + column * kColumnWidth, 36,
                  kLabelWidth + (column + 1) * kColumnWidth, kTop};
        ::DrawTextW(dc.Get(), kColumns[column], -1, &r, DT_CENTER | DT_WORDBREAK);
    }
    for (size_t row = 0; row < rowNames_.size(); ++row) {
        RECT r = {8, kTop + static_cast<int>(row) * kRowHeight + 8, kLabelWidth,
                  kTop + static_cast<int>(row + 1) * kRowHeight};
        ::DrawTextW(dc.Get(), rowNames_[row].c_str(), -1, &r, DT_LEFT | DT_SINGLELINE);
    }
    RECT sliderLabel = {8, kTop + static_cast<int>(rowNames_.size()) * kRowHeight + 24, kLabelWidth,
                        kTop + static_cast<int>(rowNames_.size()) * kRowHeight + 44};
    ::DrawTextW(dc.Get(), L"Slider 348/349", -1, &sliderLabel, DT_LEFT | DT_SINGLELINE);
    HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(1, 19, 98));
    HGDIOBJ old = ::SelectObject(dc.Get(), pen);
    ::MoveToEx(dc.Get(), 0, kTop - 2, nullptr);
    ::LineTo(dc.Get(), ClientRect().right, kTop - 2);
    ::SelectObject(dc.Get(), old);
    ::DeleteObject(pen);
}

// The analysis and volume windows as the program shows them while a singer holds A3: the
// results come from a holder fed here, the volume window uses the system's mixers.
class GalleryLink : public ViewOwner, public VolumeWindowOwner {
  public:
    ResultHolder holder;
    ResultRecord NewestResult() const override { return holder.ReadNewest(); }
    std::vector<ResultRecord> AllResults() const override { return holder.ReadAll(); }
    bool TransportRecordingOrReplaying() const override { return false; }
    uint32_t ClippedBlocks() const override { return 0; }
    void SensitivityChanged(float) override {}
    void InputLevelControlChanged(InputLevelControl*) override {}
};

class GalleryFloatingOwner : public FloatingWindowOwner {
  public:
    explicit GalleryFloatingOwner(int language) : language_(language) {}
    WindowSet::Position FloatingMoving(FloatingWindow, const WindowSet::Position& proposed,
                                       bool) override {
        return proposed;
    }
    void FloatingActivated(FloatingWindow) override {}
    void FloatingClosed(FloatingWindow) override {}
    int Language() const override { return language_; }

  private:
    int language_;
};

// Writes what `view` draws, read back from OpenGL, as "<folder>/<name>.ppm" (the script turns
// it into a PNG): the virtual display shows Wine's OpenGL child windows black.
bool SaveFrame(COpenGLWnd& view, const std::string& name) {
    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    if (!view.CaptureFrame(&rgb, &width, &height) || rgb.empty()) {
        return false;
    }
    FILE* f = _wfopen(Utf8ToWide(g_folder + "/" + name + ".ppm").c_str(), L"wb");
    if (f == nullptr) {
        return false;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (int y = height - 1; y >= 0; --y) {
        std::fwrite(&rgb[static_cast<size_t>(y) * width * 3], 1, static_cast<size_t>(width) * 3, f);
    }
    std::fclose(f);
    return true;
}

bool ShowViewWindows(HWND owner, int language, const char* languageName) {
    GalleryLink link;
    link.holder.SetHistoryLength(5);
    for (int i = 0; i < 5; ++i) {
        AnalysisResult r;
        r.level = 0.55f + 0.02f * i;
        r.pitchHz = 220.0f;
        r.tessim = 0.62f;
        r.jitter = 0.81f;
        r.shimmer = 0.47f;
        link.holder.Publish(r);
    }
    GalleryFloatingOwner floatingOwner(language);
    bool ok = true;
    {
        CInstTessimDlg analysis(Describe(FloatingWindow::Analysis), floatingOwner, link);
        ok = analysis.Create(owner) && ok;
        ::SetWindowPos(analysis.Handle(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        analysis.Show(SW_SHOW);
        ok = Present(analysis.Handle(), std::string("analysis_window_") + languageName) && ok;
        ok = SaveFrame(analysis.View(), std::string("analysis_view_") + languageName) && ok;
    }
    {
        CVolumeDlg volume(Describe(FloatingWindow::Volume), floatingOwner, link, link);
        ok = volume.Create(owner) && ok;
        ::SetWindowPos(volume.Handle(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        volume.Show(SW_SHOW);
        ok = Present(volume.Handle(), std::string("volume_window_") + languageName) && ok;
        ok = SaveFrame(volume.EnergyBar(), std::string("energy_bar_") + languageName) && ok;
    }
    return ok;
}

}  // namespace

int RunGallery(const char* folder) {
    g_folder = folder;
    int failures = 0;

    // An owner with the program's icon, as the program's windows have, kept off screen.
    HostWindow owner;
    owner.Open(-2000, -2000, 200, 100, L"Melvora", true);

    const char* const kLanguageNames[2] = {"en", "tr"};
    for (int language = 0; language < 2; ++language) {
        for (const BoxShot& shot : kBoxShots) {
            std::string name = std::string("message_box_type") + std::to_string(shot.type) + "_" +
                               kLanguageNames[language];
            RunModal(
                [&]() {
                    return ShowMessageBox(LoadText(shot.textId, language),
                                          LoadText(shot.captionId, language), shot.type, nullptr,
                                          language);
                },
                [&](HWND dialog) {
                    ::SendMessageW(dialog, WM_SETICON, ICON_BIG,
                                   ::SendMessageW(owner.Handle(), WM_GETICON, ICON_BIG, 0));
                    ::InvalidateRect(dialog, nullptr, TRUE);
                    if (!Present(dialog, name)) {
                        ++failures;
                    }
                    EndModal(dialog, IDCANCEL);
                });
        }
        std::string aboutName = std::string("about_box_") + kLanguageNames[language];
        RunModal(
            [&]() {
                CAboutDlg about(owner.Handle(), language);
                return about.DoModal();
            },
            [&](HWND dialog) {
                // The owner is off screen: show the box where the camera looks.
                ::SetWindowPos(dialog, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                if (!Present(dialog, aboutName)) {
                    ++failures;
                }
                EndModal(dialog, IDCANCEL);
            });
    }

    for (int language = 0; language < 2; ++language) {
        ButtonPage page;
        if (!page.Open(language) ||
            !Present(page.Handle(), std::string("buttons_") + kLanguageNames[language])) {
            ++failures;
        }
    }

    for (int language = 0; language < 2; ++language) {
        Options().language = language;
        if (!ShowViewWindows(owner.Handle(), language, kLanguageNames[language])) {
            ++failures;
        }
    }

    std::string end = g_folder + "/gallery.end";
    FILE* f = _wfopen(Utf8ToWide(end).c_str(), L"w");
    if (f != nullptr) {
        std::fclose(f);
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace guitest
}  // namespace melvora
