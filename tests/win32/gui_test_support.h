#pragma once

// What the GUI suite's tests share: message pumping and waiting, scripted modal dialogs,
// watching for windows, mouse input, pixels, stand-ins for the owners of the windows, the
// program's main window run as the program runs it, and the screenshots.
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

// How long a test waits for what a click, a message or a drawing brings about. Generous:
// on a loaded machine, or under a Wine that waits for a window manager, it takes seconds.
// Tests wait for the condition (PumpUntil), never for a fixed time.
constexpr int kDeadlineMs = 15000;

// Processes the thread's messages for about `ms` milliseconds (with 0: what is queued now).
void PumpMessages(int ms);

// Processes messages until `done` answers true (then true) or `ms` milliseconds passed
// (then false). Drawing reaches the virtual screen a little after it was made.
bool PumpUntil(const std::function<bool()>& done, int ms = kDeadlineMs);

// True when the environment variable `name` is set (MELVORA_SOUND_TESTS and the like).
bool EnvironmentHas(const wchar_t* name);

// Visible top-level windows of this thread: the first that `match` accepts, or null.
HWND FindThreadWindow(const std::function<bool(HWND)>& match);
// The window's class is `className` (in any case).
bool HasClass(HWND window, const wchar_t* className);
// A standard dialog window (class #32770): the program's dialogs and message boxes.
bool IsDialog(HWND window);
// The skinned message box.
bool IsMessageBox(HWND window);

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
    // Windows acted on so far.
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

// Runs `show` (which opens a modal dialog and returns its result). Once a visible window
// that `match` accepts (by default: any dialog of this thread) is up, `script` runs inside
// the dialog's modal loop with the dialog's handle; it must close the dialog. A dialog still
// open `limitMs` after the script returned is ended with -2 and the test fails, so a broken
// script fails the test instead of hanging it.
INT_PTR RunModal(const std::function<INT_PTR()>& show,
                 const std::function<void(HWND dialog)>& script,
                 const std::function<bool(HWND)>& match = IsDialog, int limitMs = 10000);

// Ends a dialog run by CDialog::DoModal with `result`.
void EndModal(HWND dialog, INT_PTR result);

// Real mouse messages at a point of `window`'s client area.
void MouseMove(HWND window, int x, int y);
void MouseDown(HWND window, int x, int y);
void MouseUp(HWND window, int x, int y);
// Enters, presses and releases at the centre of `button`.
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
    // Opens the window at (x, y) with the client size asked for; `icon` gives it the
    // program's icon.
    bool Open(int x, int y, int width, int height, const wchar_t* caption, bool icon = false);
    std::vector<Received> received;
    std::vector<Received> Of(UINT message) const;
    // Messages are recorded and not otherwise processed when `swallow` says so.
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
// Draws a frame of `view` as its paint does and reads it back (a failure fails the test).
Frame Capture(COpenGLWnd& view);
// What the screen shows of `window`'s client area.
Frame Grab(HWND window);

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

// The main window's side of the views and the volume window: a result holder fed by the
// test, and what the volume window reports.
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

// The simulated card's microphone hears silence for `silentSeconds` (the voice gate learns
// its floor), then a voice at `hz` (at `*liveHz` as it changes, when given; 0 is silence):
// a tone with its first four harmonics.
void Sing(SimulatedSoundCard& card, double hz, double silentSeconds,
          const std::atomic<float>* liveHz = nullptr);

// Writes `seconds` of a `hz` sine of `amplitude` as a mono 16-bit WAV file; true when
// written whole.
bool WriteTone(const std::string& path, double hz, double seconds, uint32_t sampleRateHz,
               double amplitude);

// A fresh folder named after `name` under the temporary folder as the program's folder
// (with `name` empty: the program's own folder), and the options at their defaults; both
// are undone at the end.
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

// The program's main window as the program runs it, for the tests that drive the whole
// program: its folder (see TempProgramFolder), the options at their defaults, the recording MIDI
// ports in place of the MIDI devices Wine lacks here, a simulated sound card (or the system's wave
// devices), and every message box answered (IDNO unless Close says otherwise).
class ProgramRun : public TempProgramFolder {
  public:
    enum class Sound { kSimulated, kSystem };
    explicit ProgramRun(const std::string& folderName, Sound sound = Sound::kSimulated);
    ~ProgramRun();

    // Runs the main window modally (again and again if need be); `script` runs once it is up,
    // inside its modal loop, and must close it. A window still open 30 s after the script returned
    // is ended with -2 and fails the test. Returns the dialog's result.
    // `afterClose` runs once the window is gone, before the dialog object goes.
    INT_PTR Run(const std::function<void(CControlsDlg&)>& script,
                const std::function<void(CControlsDlg&)>& afterClose = nullptr);
    // Closes the main window; a question it asks is answered with `answer`.
    void Close(CControlsDlg& dialog, int answer = IDNO);
    // Message boxes answered so far, and their texts.
    int Boxes() const { return answerer_.Count(); }
    const std::vector<std::wstring>& BoxTexts() const { return answerer_.texts; }
    // The time display shows a second or more (of the take, or of the replay).
    static bool ShowsASecond(CControlsDlg& dialog);
    // The floating window `index` (see FloatingWindowAt).
    static HWND Floating(CControlsDlg& dialog, int index);
    SimulatedSoundCard& Card() { return *card_; }

    RecordingMidiOut::Journal journal;
    // The MIDI input devices the program finds, and the one it made (while it runs).
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

// Screenshots for docs/screenshots, taken by the screenshot scripts from the folder of
// SetShotFolder (the gallery's) or else of MELVORA_SHOTS. TakeShot writes
// "<folder>/<name>.ready" holding the window's screen rectangle "x y width height" and waits
// (pumping messages) until the script took the picture and wrote "<name>.done". With `view`,
// the frame of that OpenGL child is saved first (SaveFrame as "<name>.view") for the script
// to lay over the grab.
void SetShotFolder(const std::string& folder);
bool ShotsWanted();
bool TakeShot(HWND window, const std::string& name, COpenGLWnd* view = nullptr);

// Writes what `view` draws, read back from OpenGL, as "<folder>/<name>.ppm" (the virtual
// display shows Wine's OpenGL child windows black); with `window`, also the view's place in
// it as "<name>.at" ("x y"), so that the script can lay the picture over the grab.
bool SaveFrame(COpenGLWnd& view, const std::string& name, HWND window = nullptr);

// The gallery of screenshots.sh: shows each window of the screenshot set in turn for
// TakeShot into `folder`; "<folder>/gallery.end" marks the end. Returns 0 when every window
// was shown.
int RunGallery(const char* folder);

// The sound tests' singer (sound_under_wine.sh) sings into the sink only while its cue
// file exists: the program first hears the room's quiet, as a singer's would. Without the
// script's cue (MELVORA_SINGER_CUE) nothing happens.
void CueSinger(bool sing);

}  // namespace guitest
}  // namespace melvora
