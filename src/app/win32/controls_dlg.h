#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "analysis/result_listener.h"
#include "app/floating_window.h"
#include "app/win32/live_view_link.h"
#include "app/win32/floating_window_set.h"
#include "exercises/exercise_launcher.h"
#include "exercises/win32/exercise_host.h"
#include "transport/deck_view.h"
#include "transport/transport_analysis.h"
#include "transport/transport_owner.h"
#include "platform/midi_in.h"
#include "platform/midi_out.h"
#include "platform/mixer_port.h"
#include "platform/wave_port.h"
#include "platform/win32/paint_dc.h"
#include "platform/win32/tool_tip.h"
#include "settings/settings_listener.h"
#include "ui/win32/floating_dlg.h"

namespace melvora {

class CExerciseDlg;
class CFloatingFrameDlg;
class DeckRunnerTransport;
class CSkinSlider;
class DeckOperations;
class CKeyboardDlg;
class CStaffDlg;
class MidiIn;
class MidiOut;
class ResultHolder;
class SharedMidiOutput;

// The main controls window: the deck (Rec, Rew, Play, Eject), the position slider and time
// display, the File, View and Help menus, and the owner of the audio transport and of the
// floating window set (the five floating windows kept together on the screen). Runs modally
// inside the hidden owner dialog.
class CControlsDlg : public CFloatingDlg,
                     public DeckView,
                     public TransportOwner,
                     public ExerciseHost,
                     public ExerciseLauncherView,
                     public SettingsListener {
  public:
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kTimerPeriodMs = 100;
    // Posted by the exercise window when it is done; the main window then takes its place.
    static constexpr UINT kRestoreAfterExerciseMessage = WM_APP + 41;

    // Where the sound comes from and goes to, and what analyses it. Empty parts get the
    // defaults: the system's wave devices and the program's analysis.
    struct Audio {
        std::unique_ptr<WaveInPort> capturePort;
        std::unique_ptr<WaveOutPort> playbackPort;
        std::unique_ptr<TransportAnalysis> analysis;
        // The MIDI devices (the system's WINMM devices when empty).
        std::unique_ptr<MidiOut> midiOut;
        std::unique_ptr<MidiIn> midiIn;
        // The volume window's mixer; empty: the system's mixers.
        std::unique_ptr<MixerPort> mixerPort;
    };

    // `owner` is the hidden owner window; it also owns the floating windows.
    explicit CControlsDlg(HWND owner, Audio audio = {});
    ~CControlsDlg() override;

    WindowSet& Windows() { return floatingSet_.Windows(); }
    DeckOperations* Deck() { return deck_.get(); }
    // The averaged analysis results every view reads.
    ResultHolder& Results() { return *results_; }
    // What joins the analysis to the analysis view, the energy bar and the volume window.
    CLiveViewLink& LiveViews() { return liveViews_; }
    CFloatingFrameDlg& FloatingFrame(FloatingWindow window) { return floatingSet_.Window(window); }
    // The one MIDI output: the keyboard, the staff, play-along and the exercises send on
    // it, the media player borrows the device through its hand-over.
    SharedMidiOutput& MidiOutput() { return *midiOutput_; }
    CKeyboardDlg* KeyboardWindow();
    CStaffDlg* StaffWindow();
    CNewDeckButton* DeckButtonControl(DeckButton button);
    CNewDeckButton* MenuButton(int index) { return menuButtons_[index].get(); }

    // Texts, menus and tool tips of this window and every shown floating window in the
    // language of the options.
    void ApplyLanguage();
    // Tests: where the exercises play their samples instead of the shared MIDI output.
    void SetMidiSender(MidiSender* sender) { midi_ = sender; }
    // The running exercise window, or null.
    CExerciseDlg* ExerciseWindow() { return exercise_.get(); }
    // The File menu's exercise command: continue or choose an exercise and run it in the
    // exercise window, in place of this window.
    void StartExercises();

    // View menu: show or hide `window`.
    void ToggleWindow(FloatingWindow window);

    // DeckView
    void EnableButton(DeckButton button, bool enabled) override;
    void ShowPressed(DeckButton button, bool pressed) override;
    void SetTimerRunning(bool running) override;
    void SetSliderRangeMaximum(int maximumMs, bool redraw) override;
    void SetSliderPageSize(int pageMs) override;
    void SetSliderPosition(int positionMs) override;
    int SliderPosition() const override;
    void SetTimeText(const std::wstring& text) override;
    bool AskOpenPath(std::string* path) override;
    bool AskSavePath(std::string* path) override;
    MessageAnswer ShowMessage(const std::wstring& text, const std::wstring& caption,
                              MessageButtons buttons) override;

    // Before dispatch: tool tips of disabled deck buttons, then the dialog keys.
    bool PreTranslateMessage(MSG* message) override;

    // TransportOwner (worker thread): posts the event to this window as WM_APP + n.
    void PostEvent(TransportEvent event, int deviceError) override;

    // The language of the user interface (0 English, 1 Turkish).
    int Language() const;

    // ExerciseHost
    RunnerTransport& ExerciseTransport() override;
    MidiSender* ExerciseMidi() override;
    void ForwardCommand(int commandId) override;
    bool CommandChecked(int commandId) override;
    void ExerciseWindowMoved() override;
    void ExerciseEnded() override;

    // ExerciseLauncherView
    ContinueAnswer AskContinue(const std::wstring& question, const std::wstring& caption) override;
    int ChooseExercise(const std::vector<std::unique_ptr<Exercise>>& exercises) override;

    // SettingsListener: the options window changed a setting; this window and the floating
    // windows take it up at once.
    void SettingsChanged(SettingsChange change) override;

  protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    // Enter and Esc do not close the window; only the close procedure does.
    void OnOK() override {}
    void OnCancel() override {}
    std::string HelpPage() const override { return "ana.htm"; }
    void OnActivated(bool active) override;

  private:
    void SkinControls();
    // Keyboard and staff mirror each other's keys and follow the published results.
    void ConnectMusicWindows();
    // Before the views go: with the worker parked, the results stop reaching any view (and
    // the exercise window), so a publication never finds a window half destroyed.
    void UnlinkViews();
    void CreateToolTips();
    void LayoutMenuButtons();
    void OnCommand(int id);
    // Tells the user, once, which working files (tmp.wav, options.dat) could not be created.
    void ReportUnwritableFiles();
    void OnMenuButton(int buttonId);
    void OnEject();
    void OnInitMenuPopup(HMENU menu);
    void OnOptions();
    void OnPaint();
    void OnClose();
    HMENU LoadLanguagePopup(UINT menuId) const;
    // Ends the exercise: the exercise window goes, this window comes back where it was.
    void RestoreAfterExercise();

    HWND owner_;
    Audio audio_;
    // Never freed (see the destructor); one per main controls window.
    ResultHolder* results_;
    CLiveViewLink liveViews_;
    std::unique_ptr<DeckOperations> deck_;
    // Declared before the window set: the keyboard and staff windows send on it until they
    // are gone.
    std::unique_ptr<SharedMidiOutput> midiOutput_;
    CFloatingWindowSet floatingSet_;
    CToolTip toolTip_;
    std::unique_ptr<CSkinSlider> slider_;
    std::unique_ptr<CNewDeckButton> rec_, rew_, play_, eject_;
    std::array<std::unique_ptr<CNewDeckButton>, 3> menuButtons_;
    std::atomic<HWND> commandTarget_{nullptr};
    MidiSender* midi_ = nullptr;
    std::unique_ptr<DeckRunnerTransport> runnerTransport_;
    std::unique_ptr<CExerciseDlg> exercise_;
    std::vector<ResultListener*> listeners_;
};

}  // namespace melvora
