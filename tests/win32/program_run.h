#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/win32/controls_dlg.h"
#include "platform/recording_midi_out.h"
#include "platform/wave_port_simulated.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace guitest {

// A fresh folder named after `name` under the temporary folder as the program's folder
// (with `name` empty: the program's own folder), and the options at their defaults; both
// are undone at the end.
class TempProgramFolder {
  public:
    explicit TempProgramFolder(const std::string& name);
    ~TempProgramFolder();
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;
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
    INT_PTR Run(const std::function<void(CControlsDlg&)>& script);
    // Closes the main window; a question it asks is answered with `answer`.
    void Close(CControlsDlg& dialog, int answer = IDNO);
    // Message boxes answered so far.
    int Boxes() const { return answerer_.Count(); }
    // The time display shows a second or more (of the take, or of the replay).
    static bool ShowsASecond(CControlsDlg& dialog);
    SimulatedSoundCard& Card() { return *card_; }

    RecordingMidiOut::Journal journal;
    // When set, the file dialogs answer with these paths.
    std::string openPath;
    std::string savePath;

  private:
    std::unique_ptr<SimulatedSoundCard> card_;
    HWND owner_ = nullptr;
    BoxAnswerer answerer_{IDNO};
};

}  // namespace guitest
}  // namespace melvora
