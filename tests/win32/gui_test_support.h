#pragma once

// What the GUI suite's tests share: pumping and waiting, scripted modal dialogs, watching for
// windows, mouse input, pixels, owners' stand-ins, the program's main window, screenshots.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/result_holder.h"
#include "app/app_options.h"
#include "app/floating_window_owner.h"
#include "app/win32/controls_dlg.h"
#include "platform/recording_midi_in.h"
#include "platform/recording_midi_out.h"
#include "platform/string_table.h"
#include "platform/text_encoding.h"
#include "platform/wave_port_simulated.h"
#include "platform/win32/wnd.h"
#include "settings/volume_window_owner.h"
#include "views/view_owner.h"
#include "resource_ids.h"
#include "string_ids.h"

namespace melvora {

class COpenGLWnd;

namespace guitest {

// Language values of the options.
constexpr int kEnglish = 0;
constexpr int kTurkish = 1;

// How long a test waits (for the condition, never a fixed time) for what a click, a message
// or a drawing brings about: seconds on a loaded machine.
constexpr int kDeadlineMs = 15000;

// Processes the thread's messages for about `ms` milliseconds (with 0: what is queued now).
void PumpMessages(int ms);

// Processes messages until `done` answers true (then true) or `ms` passed (then false).
bool PumpUntil(const std::function<bool()>& done, int ms = kDeadlineMs);

// True when the environment variable `name` is set (MELVORA_SOUND_TESTS and the like).
bool EnvironmentHas(const wchar_t* name);

// The first visible top-level window of this thread that `match` accepts, or null.
HWND FindThreadWindow(const std::function<bool(HWND)>& match);
bool HasClass(HWND window, const wchar_t* className);  // in any case
bool IsDialog(HWND window);                            // class #32770
bool IsMessageBox(HWND window);                        // the skinned one

// While it lives, runs `act` on each visible top-level window of this thread that `match`
// accepts, once per window (only on the first one with `firstOnly`), inside whichever
// message loop runs then, a modal dialog's included.
class WindowWatch {
  public:
    WindowWatch(std::function<bool(HWND)> match, std::function<void(HWND)> act,
                bool firstOnly = true);
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;
    int Count() const { return static_cast<int>(seen_.size()); }

  private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD);
    std::function<bool(HWND)> match_;
    std::function<void(HWND)> act_;
    bool firstOnly_;
    bool busy_ = false;
    std::vector<HWND> seen_;
    UINT_PTR timer_ = 0;
};

// Answers every skinned message box of this thread with the button of `answer` (IDOK,
// IDNO...; the Close box when the box has no such button), counting them.
class BoxAnswerer : public WindowWatch {
  public:
    explicit BoxAnswerer(int answer = IDOK);
    int answer;
    std::vector<std::wstring> texts;  // of the boxes answered
};

// Runs `show` (which opens a modal dialog and returns its result); once a window that `match`
// accepts is up, `script` runs in its modal loop and must close it. One still open `limitMs`
// after the script is ended with -2 and fails the test, instead of hanging it.
INT_PTR RunModal(const std::function<INT_PTR()>& show,
                 const std::function<void(HWND dialog)>& script,
                 const std::function<bool(HWND)>& match = IsDialog, int limitMs = 10000);

// Ends a dialog run by CDialog::DoModal with `result`.
void EndModal(HWND dialog, INT_PTR result);

// Mouse messages at a point of `window`'s client area; Click: at the centre of `button`.
void MouseMove(HWND window, int x, int y);
void MouseDown(HWND window, int x, int y);
void MouseUp(HWND window, int x, int y);
void Click(HWND button);

std::wstring TextOf(HWND window);
RECT ClientRectOf(HWND window);
RECT ScreenRectOf(HWND window);
RECT WindowRectInParent(HWND window);

// A plain visible top-level window that records what it receives.
class HostWindow : public CWnd {
  public:
    struct Received {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    // At (x, y) with this client size; `icon`: the program's.
    bool Open(int x, int y, int width, int height, const wchar_t* caption, bool icon = false);
    std::vector<Received> received;
    std::vector<Received> Of(UINT message) const;
    // Messages only recorded, not processed.
    std::function<bool(UINT message)> swallow;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A frame of an OpenGL view, read back from its rendering context.
struct Frame {
    std::vector<uint8_t> rgb;  // bottom row first
    int width = 0;
    int height = 0;
    // y from the top, as on the screen.
    const uint8_t* At(int x, int y) const {
        return &rgb[(static_cast<size_t>(height - 1 - y) * width + x) * 3];
    }
    bool Near(int x, int y, int r, int g, int b, int tolerance = 30) const;
    // Pixels of the rectangle (y from the top) within `tolerance` of (r, g, b).
    int CountNear(int left, int top, int right, int bottom, int r, int g, int b,
                  int tolerance = 30) const;
};
Frame Capture(COpenGLWnd& view);  // drawn as its paint does and read back
Frame Grab(HWND window);          // what the screen shows of its client area

// The floating windows' owner: moves as proposed, in `language` (the options' when -1).
class FloatingOwner : public FloatingWindowOwner {
  public:
    int language = -1;
    WindowSet::Position FloatingMoving(FloatingWindow, const WindowSet::Position& proposed,
                                       bool) override {
        return proposed;
    }
    void FloatingActivated(FloatingWindow) override {}
    void FloatingClosed(FloatingWindow) override {}
    int Language() const override { return language >= 0 ? language : Options().UiLanguage(); }
};

// The main window's side of the views and the volume window.
class ViewLink : public ViewOwner, public VolumeWindowOwner {
  public:
    ResultHolder holder;
    bool running = false;
    uint32_t clips = 0;
    float sensitivity = -1.0f;
    InputLevelControl* inputLevel = nullptr;

    void Publish(float level, float pitchHz, float tessim, float jitter, float shimmer);
    ResultRecord NewestResult() const override { return holder.ReadNewest(); }
    std::vector<ResultRecord> AllResults() const override { return holder.ReadAll(); }
    bool TransportRecordingOrReplaying() const override { return running; }
    uint32_t ClippedBlocks() const override { return clips; }
    void SensitivityChanged(float s) override { sensitivity = s; }
    void InputLevelControlChanged(InputLevelControl* control) override { inputLevel = control; }
};

// The simulated microphone hears silence for `silentSeconds`, then a voice (four harmonics)
// at `hz`, or at `*liveHz` as it changes (0: silence).
void Sing(SimulatedSoundCard& card, double hz, double silentSeconds,
          const std::atomic<float>* liveHz = nullptr);

// A mono 16-bit WAV file of a sine; true when written whole.
bool WriteTone(const std::string& path, double hz, double seconds, uint32_t sampleRateHz,
               double amplitude);

// A fresh temporary folder named after `name` (empty: the program's own) as the program's
// folder, and the options at their defaults, until the end.
class TempProgramFolder {
  public:
    explicit TempProgramFolder(const std::string& name);
    ~TempProgramFolder();
    // `name` in the program's folder (UTF-8).
    std::string Path(const std::string& name) const { return folder_ + name; }
    bool Exists(const std::string& name) const;

  private:
    std::string folder_;  // ends in a backslash
    bool temporary_ = false;
};

// The program's main window as the program runs it, with recording MIDI ports (Wine has no
// MIDI devices here), a simulated sound card (or the system's), every box answered (IDNO).
class ProgramRun : public TempProgramFolder {
  public:
    enum class Sound { kSimulated, kSystem };
    explicit ProgramRun(const std::string& folderName, Sound sound = Sound::kSimulated);
    ~ProgramRun();

    // Runs the main window modally as RunModal does (30 s limit); `afterClose` runs once the
    // window is gone, before the dialog object goes.
    INT_PTR Run(const std::function<void(CControlsDlg&)>& script,
                const std::function<void(CControlsDlg&)>& afterClose = nullptr);
    void Close(CControlsDlg& dialog, int answer = IDNO);
    int Boxes() const { return answerer_.Count(); }
    const std::vector<std::wstring>& BoxTexts() const { return answerer_.texts; }
    // The time display shows a second or more.
    static bool ShowsASecond(CControlsDlg& dialog);
    // The floating window `index` (see FloatingWindowAt).
    static HWND Floating(CControlsDlg& dialog, int index);
    SimulatedSoundCard& Card() { return *card_; }

    RecordingMidiOut::Journal journal;
    // The MIDI input devices it finds, and the one it made.
    std::vector<std::string> midiInputs;
    RecordingMidiIn* MidiIn() { return midiIn_; }
    // When set, the file dialogs answer with these paths.
    std::string openPath;
    std::string savePath;

  private:
    std::unique_ptr<SimulatedSoundCard> card_;
    HWND owner_ = nullptr;
    RecordingMidiIn* midiIn_ = nullptr;  // owned by the keyboard while the program runs
    BoxAnswerer answerer_{IDNO};
};

// Screenshots, taken by the scripts in the folder of SetShotFolder or else MELVORA_SHOTS:
// TakeShot writes "<name>.ready" ("x y width height" on the screen) and waits for the
// script's "<name>.done"; with `view`, that child's frame is saved first as "<name>.view".
void SetShotFolder(const std::string& folder);
bool ShotsWanted();
bool TakeShot(HWND window, const std::string& name, COpenGLWnd* view = nullptr);

// What `view` draws as "<name>.ppm" (Wine's virtual display shows OpenGL children black);
// with `window`, the view's place in it as "<name>.at" ("x y").
bool SaveFrame(COpenGLWnd& view, const std::string& name, HWND window = nullptr);

// The gallery of screenshots.sh: each window of the set in turn, then "gallery.end";
// 0 when every window was shown.
int RunGallery(const char* folder);

// The singer of sound_under_wine.sh sings only while its cue (MELVORA_SINGER_CUE) exists.
void CueSinger(bool sing);

}  // namespace guitest
}  // namespace melvora
