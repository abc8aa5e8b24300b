#include "win32/program_run.h"

#include "platform/program_directory.h"
#include "platform/recording_midi_in.h"

namespace melvora {
namespace guitest {
namespace {

// The main window whose file dialogs answer with the run's paths when it has them.
class TestControlsDlg : public CControlsDlg {
  public:
    TestControlsDlg(HWND owner, Audio audio, const ProgramRun& run)
        : CControlsDlg(owner, std::move(audio)), run_(run) {}
    bool AskOpenPath(std::string* path) override {
        return run_.openPath.empty() ? CControlsDlg::AskOpenPath(path)
                                     : Answer(run_.openPath, path);
    }
    bool AskSavePath(std::string* path) override {
        return run_.savePath.empty() ? CControlsDlg::AskSavePath(path)
                                     : Answer(run_.savePath, path);
    }

  private:
    static bool Answer(const std::string& answer, std::string* path) {
        *path = answer;
        return true;
    }
    const ProgramRun& run_;
};

}  // namespace

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
        // The card's clock thread ticks far less often under Wine than it asks for, and the
        // card falls behind real time by as much; the speed factor brings it back to about
        // real time. Nothing depends on the exact pace.
        card_ = std::make_unique<SimulatedSoundCard>(SimulatedSoundCard::ClockMode::kRealTime, 3.0);
    }
    owner_ = ::CreateWindowExW(0, L"STATIC", L"Melvora", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
}

ProgramRun::~ProgramRun() {
    ::DestroyWindow(owner_);
    card_.reset();
}

INT_PTR ProgramRun::Run(const std::function<void(CControlsDlg&)>& script) {
    CControlsDlg::Audio audio;
    if (card_ != nullptr) {
        audio.capturePort = card_->MakeCapturePort();
        audio.playbackPort = card_->MakePlaybackPort();
    }
    audio.midiOut = std::make_unique<RecordingMidiOut>(journal);
    audio.midiIn = std::make_unique<RecordingMidiIn>();
    TestControlsDlg dialog(owner_, std::move(audio), *this);
    return RunModal([&] { return dialog.DoModal(); }, [&](HWND) { script(dialog); },
                    [&](HWND window) { return window == dialog.Handle(); }, 30000);
}

void ProgramRun::Close(CControlsDlg& dialog, int answer) {
    answerer_.answer = answer;
    ::PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
}

bool ProgramRun::ShowsASecond(CControlsDlg& dialog) {
    const std::wstring text = TextOf(::GetDlgItem(dialog.Handle(), IDC_TIME_TEXT));
    return text.size() >= 4 && text.compare(text.size() - 4, 4, L"0:00") != 0;
}

}  // namespace guitest
}  // namespace melvora
