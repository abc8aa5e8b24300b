#include "win32/gui_test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>

#include "audio/wave_file.h"
#include "app/win32/floating_frame_dlg.h"
#include "platform/program_directory.h"
#include "platform/win32/dialog.h"
#include "ui/win32/my_message_dlg.h"
#include "views/win32/open_gl_wnd.h"

namespace melvora {
namespace guitest {
namespace {

std::map<UINT_PTR, WindowWatch*>& Watches() {
    static std::map<UINT_PTR, WindowWatch*> watches;
    return watches;
}

// The main window whose file dialogs answer with the run's paths when it has them.
class TestControlsDlg : public CControlsDlg {
  public:
    TestControlsDlg(HWND owner, Audio audio, const ProgramRun& run)
        : CControlsDlg(owner, std::move(audio)), run_(run) {}
    bool AskOpenPath(std::string* path) override {
        return run_.openPath.empty() ? CControlsDlg::AskOpenPath(path)
                                     : (*path = run_.openPath, true);
    }
    bool AskSavePath(std::string* path) override {
        return run_.savePath.empty() ? CControlsDlg::AskSavePath(path)
                                     : (*path = run_.savePath, true);
    }

  private:
    const ProgramRun& run_;
};

std::string g_folder;

std::string Folder() {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"MELVORA_SHOTS", value, MAX_PATH);
    return !g_folder.empty() ? g_folder
                             : (length > 0 && length < MAX_PATH ? WideToUtf8(value) : "");
}

FILE* OpenIn(const std::string& name, const wchar_t* mode) {
    return _wfopen(Utf8ToWide(Folder() + "\\" + name).c_str(), mode);
}

}  // namespace

void PumpMessages(int ms) {
    DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(1);
    } while (static_cast<int>(::GetTickCount() - start) < ms);
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
    DWORD start = ::GetTickCount();
    while (!done()) {
        if (static_cast<int>(::GetTickCount() - start) >= ms) {
            return false;
        }
        PumpMessages(20);
    }
    return true;
}

bool EnvironmentHas(const wchar_t* name) {
    wchar_t value[8] = {};
    return ::GetEnvironmentVariableW(name, value, 8) > 0;
}

HWND FindThreadWindow(const std::function<bool(HWND)>& match) {
    struct Search {
        const std::function<bool(HWND)>* match;
        HWND found;
    } search = {&match, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            if (::IsWindowVisible(hwnd) && (*s->match)(hwnd)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool HasClass(HWND window, const wchar_t* className) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return lstrcmpiW(name, className) == 0;
}

bool IsDialog(HWND window) {
    return HasClass(window, L"#32770");
}

bool IsMessageBox(HWND window) {
    return dynamic_cast<CMyMessageDlg*>(CWnd::FromHandle(window)) != nullptr;
}

WindowWatch::WindowWatch(std::function<bool(HWND)> match, std::function<void(HWND)> act,
                         bool firstOnly)
    : match_(std::move(match)), act_(std::move(act)), firstOnly_(firstOnly) {
    timer_ = ::SetTimer(nullptr, 0, 30, &WindowWatch::OnTimer);
    Watches()[timer_] = this;
}

WindowWatch::~WindowWatch() {
    ::KillTimer(nullptr, timer_);
    Watches().erase(timer_);
}

void CALLBACK WindowWatch::OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    auto found = Watches().find(timer);
    if (found == Watches().end()) {
        return;
    }
    WindowWatch& w = *found->second;
    if (w.busy_ || (w.firstOnly_ && !w.seen_.empty())) {
        return;
    }
    HWND window = FindThreadWindow([&w](HWND hwnd) {
        return std::find(w.seen_.begin(), w.seen_.end(), hwnd) == w.seen_.end() && w.match_(hwnd);
    });
    if (window != nullptr) {
        w.seen_.push_back(window);
        w.busy_ = true;
        w.act_(window);
        w.busy_ = false;
    }
}

BoxAnswerer::BoxAnswerer(int answerWith)
    : WindowWatch(
          IsMessageBox,
          [this](HWND hwnd) {
              auto* box = dynamic_cast<CMyMessageDlg*>(CWnd::FromHandle(hwnd));
              texts.push_back(box->Text());
              int control = IDC_CLOSE_BOX;
              for (int i = 0; i < box->Layout().buttonCount; ++i) {
                  if (box->Layout().buttons[i].result == answer) {
                      control = box->Layout().buttons[i].controlId;
                  }
              }
              ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), 0);
          },
          false),
      answer(answerWith) {}

INT_PTR RunModal(const std::function<INT_PTR()>& show,
                 const std::function<void(HWND dialog)>& script,
                 const std::function<bool(HWND)>& match, int limitMs) {
    DWORD scriptEnd = 0;
    bool ran = false;
    WindowWatch watch(match, [&](HWND dialog) {
        script(dialog);
        ran = true;
        scriptEnd = ::GetTickCount();
    });
    // Counted from the script's end: the watch also fires inside the script's own waits.
    WindowWatch watchdog(
        [&](HWND hwnd) {
            return ran && ::IsWindow(hwnd) && match(hwnd) &&
                   static_cast<int>(::GetTickCount() - scriptEnd) > limitMs;
        },
        [&](HWND dialog) {
            ADD_FAILURE() << "the dialog was still open " << limitMs << " ms after its script";
            EndModal(dialog, -2);
        });
    const INT_PTR result = show();
    EXPECT_TRUE(ran) << "the dialog never came up";
    return result;
}

void EndModal(HWND dialog, INT_PTR result) {
    auto* d = dynamic_cast<CDialog*>(CWnd::FromHandle(dialog));
    if (d != nullptr) {
        d->EndDialog(result);
    } else {
        ::EndDialog(dialog, result);
    }
}

void MouseMove(HWND window, int x, int y) {
    ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

void MouseDown(HWND window, int x, int y) {
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void MouseUp(HWND window, int x, int y) {
    ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Click(HWND button) {
    RECT r = ClientRectOf(button);
    MouseMove(button, r.right / 2, r.bottom / 2);
    MouseDown(button, r.right / 2, r.bottom / 2);
    MouseUp(button, r.right / 2, r.bottom / 2);
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

RECT ClientRectOf(HWND window) {
    RECT r = {};
    ::GetClientRect(window, &r);
    return r;
}

RECT ScreenRectOf(HWND window) {
    RECT r = {};
    ::GetWindowRect(window, &r);
    return r;
}

RECT WindowRectInParent(HWND window) {
    RECT r = ScreenRectOf(window);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool HostWindow::Open(int x, int y, int width, int height, const wchar_t* caption, bool icon) {
    static const wchar_t kClass[] = L"MelvoraTestHost";
    RegisterWindowClass(kClass, CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                        ::CreateSolidBrush(RGB(204, 224, 247)));
    RECT rect = {0, 0, width, height};
    DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
    ::AdjustWindowRectEx(&rect, style, FALSE, 0);
    RECT placed = {x, y, x + rect.right - rect.left, y + rect.bottom - rect.top};
    if (!Create(0, kClass, caption, style, placed, nullptr, 0)) {
        return false;
    }
    if (icon) {
        HICON big = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MELVORA));
        HICON small = static_cast<HICON>(::LoadImageW(
            ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MELVORA), IMAGE_ICON, 16, 16, 0));
        ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
    ::SetForegroundWindow(Handle());
    ::SetActiveWindow(Handle());
    ::UpdateWindow(Handle());
    return true;
}

std::vector<HostWindow::Received> HostWindow::Of(UINT message) const {
    std::vector<Received> result;
    std::copy_if(received.begin(), received.end(), std::back_inserter(result),
                 [&](const Received& r) { return r.message == message; });
    return result;
}

LRESULT HostWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back({message, wParam, lParam});
    if (swallow && swallow(message)) {
        return 0;
    }
    return Default(message, wParam, lParam);
}

bool Frame::Near(int x, int y, int r, int g, int b, int tolerance) const {
    const uint8_t* p = At(x, y);
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance &&
           std::abs(p[2] - b) <= tolerance;
}

int Frame::CountNear(int left, int top, int right, int bottom, int r, int g, int b,
                     int tolerance) const {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += Near(x, y, r, g, b, tolerance) ? 1 : 0;
        }
    }
    return count;
}

Frame Capture(COpenGLWnd& view) {
    Frame frame;
    EXPECT_TRUE(view.CaptureFrame(&frame.rgb, &frame.width, &frame.height));
    return frame;
}

Frame Grab(HWND window) {
    Frame frame;
    const RECT client = ClientRectOf(window);
    frame.width = client.right;
    frame.height = client.bottom;
    POINT origin = {0, 0};
    ::ClientToScreen(window, &origin);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, frame.width, frame.height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, frame.width, frame.height, screen, origin.x, origin.y, SRCCOPY);
    ::SelectObject(memory, old);
    // 32-bit rows, bottom row first, as blue, green, red, unused.
    BITMAPINFOHEADER info = {sizeof(info), frame.width, frame.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint8_t> bgrx(static_cast<size_t>(frame.width) * frame.height * 4);
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(frame.height), bgrx.data(),
                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    for (size_t i = 0; i < bgrx.size(); i += 4) {
        frame.rgb.insert(frame.rgb.end(), {bgrx[i + 2], bgrx[i + 1], bgrx[i]});
    }
    return frame;
}

void ViewLink::Publish(float level, float pitchHz, float tessim, float jitter, float shimmer) {
    AnalysisResult r;
    r.level = level;
    r.pitchHz = pitchHz;
    r.tessim = tessim;
    r.jitter = jitter;
    r.shimmer = shimmer;
    holder.Publish(r);
}

void Sing(SimulatedSoundCard& card, double fixedHz, double silentSeconds,
          const std::atomic<float>* liveHz) {
    auto frames = std::make_shared<int64_t>(0);
    card.SetCaptureSource([=](int16_t* samples, size_t count) {
        const double hz = liveHz != nullptr ? liveHz->load() : fixedHz;
        for (size_t i = 0; i < count; ++i) {
            const double t = static_cast<double>((*frames)++) / 44100.0;
            double v = 0.0;
            for (int h = 1; h <= 4 && t >= silentSeconds; ++h) {
                v += std::sin(2.0 * 3.14159265358979 * hz * h * t) / h;
            }
            samples[i] = static_cast<int16_t>(6000.0 * v);
        }
    });
}

bool WriteTone(const std::string& path, double hz, double seconds, uint32_t sampleRateHz,
               double amplitude) {
    std::vector<int16_t> samples(static_cast<size_t>(seconds * sampleRateHz));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(amplitude *
                                          std::sin(2.0 * 3.14159265358979 * hz * i / sampleRateHz));
    }
    auto wav = WaveFile::CreateForWriting(path, sampleRateHz, 16, 1, WaveFile::kFormatPcm);
    return wav &&
           wav->WriteMono(samples.data(), static_cast<int32_t>(samples.size())) ==
               static_cast<int32_t>(samples.size()) &&
           wav->UpdateHeader();
}

TempProgramFolder::TempProgramFolder(const std::string& name) {
    std::string folder;
    if (!name.empty()) {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder = WideToUtf8(temp) + "melvora_" + name + "_" +
                 std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(::GetTickCount());
        temporary_ = ::CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr) != FALSE;
        EXPECT_TRUE(temporary_) << folder;
    }
    SetProgramDirectoryOverride(folder);
    folder_ = ProgramDirectory();
    Options() = AppOptions();
}

TempProgramFolder::~TempProgramFolder() {
    SetProgramDirectoryOverride("");
    Options() = AppOptions();
    if (temporary_) {
        for (const char* name : {"tmp.wav", "options.dat"}) {
            ::DeleteFileW(Utf8ToWide(Path(name)).c_str());
        }
        ::RemoveDirectoryW(Utf8ToWide(folder_).c_str());
    }
}

bool TempProgramFolder::Exists(const std::string& name) const {
    return ::GetFileAttributesW(Utf8ToWide(Path(name)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

ProgramRun::ProgramRun(const std::string& folderName, Sound sound) : TempProgramFolder(folderName) {
    if (sound == Sound::kSimulated) {
        card_ = std::make_unique<SimulatedSoundCard>(SimulatedSoundCard::ClockMode::kRealTime);
    }
    owner_ = ::CreateWindowExW(0, L"STATIC", L"Melvora", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
}

ProgramRun::~ProgramRun() {
    ::DestroyWindow(owner_);
}

INT_PTR ProgramRun::Run(const std::function<void(CControlsDlg&)>& script,
                        const std::function<void(CControlsDlg&)>& afterClose) {
    CControlsDlg::Audio audio;
    if (card_ != nullptr) {
        audio.capturePort = card_->MakeCapturePort();
        audio.playbackPort = card_->MakePlaybackPort();
    }
    audio.midiOut = std::make_unique<RecordingMidiOut>(journal);
    auto midiIn = std::make_unique<RecordingMidiIn>(midiInputs);
    midiIn_ = midiIn.get();
    audio.midiIn = std::move(midiIn);
    TestControlsDlg dialog(owner_, std::move(audio), *this);
    const INT_PTR result = RunModal([&] { return dialog.DoModal(); }, [&](HWND) { script(dialog); },
                                    [&](HWND window) { return window == dialog.Handle(); }, 30000);
    if (afterClose) {
        afterClose(dialog);
    }
    return result;
}

void ProgramRun::Close(CControlsDlg& dialog, int answer) {
    answerer_.answer = answer;
    ::PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
}

HWND ProgramRun::Floating(CControlsDlg& dialog, int index) {
    FloatingWindow window = FloatingWindow::Analysis;
    return FloatingWindowAt(index, &window) ? dialog.FloatingFrame(window).Handle() : nullptr;
}

bool ProgramRun::ShowsASecond(CControlsDlg& dialog) {
    const std::wstring text = TextOf(::GetDlgItem(dialog.Handle(), IDC_TIME_TEXT));
    return text.size() >= 4 && text.compare(text.size() - 4, 4, L"0:00") != 0;
}

void SetShotFolder(const std::string& folder) {
    g_folder = folder;
}

bool ShotsWanted() {
    return !Folder().empty();
}

bool TakeShot(HWND window, const std::string& name, COpenGLWnd* view) {
    if (name.empty() || !ShotsWanted()) {
        return false;
    }
    PumpMessages(500);  // the last drawing reaches the screen
    const RECT r = ScreenRectOf(window);
    FILE* f = nullptr;
    if ((view != nullptr && !SaveFrame(*view, name + ".view", window)) ||
        (f = OpenIn(name + ".tmp", L"w")) == nullptr) {
        return false;
    }
    std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fclose(f);
    const std::wstring base = Utf8ToWide(Folder() + "\\" + name);
    ::MoveFileW((base + L".tmp").c_str(), (base + L".ready").c_str());
    return PumpUntil(
        [&] { return ::GetFileAttributesW((base + L".done").c_str()) != INVALID_FILE_ATTRIBUTES; },
        60000);
}

bool SaveFrame(COpenGLWnd& view, const std::string& name, HWND window) {
    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    FILE* f = nullptr;
    if (!view.CaptureFrame(&rgb, &width, &height) || rgb.empty() ||
        (f = OpenIn(name + ".ppm", L"wb")) == nullptr) {
        return false;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (int y = height - 1; y >= 0; --y) {
        std::fwrite(&rgb[static_cast<size_t>(y) * width * 3], 1, static_cast<size_t>(width) * 3, f);
    }
    std::fclose(f);
    const RECT outer = ScreenRectOf(window), inner = ScreenRectOf(view.Handle());
    if (window != nullptr && (f = OpenIn(name + ".at", L"w")) != nullptr) {
        std::fprintf(f, "%ld %ld\n", inner.left - outer.left, inner.top - outer.top);
        std::fclose(f);
    }
    return window == nullptr || f != nullptr;
}

void CueSinger(bool sing) {
    wchar_t cue[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"MELVORA_SINGER_CUE", cue, MAX_PATH) == 0) {
        return;
    }
    // The script names a Unix path; Wine maps the whole Unix tree to drive Z.
    std::wstring path = std::wstring(L"Z:") + cue;
    for (wchar_t& c : path) {
        c = c == L'/' ? L'\\' : c;
    }
    if (!sing) {
        ::DeleteFileW(path.c_str());
        return;
    }
    if (FILE* file = _wfopen(path.c_str(), L"w")) {
        std::fclose(file);
    }
}

}  // namespace guitest
}  // namespace melvora
