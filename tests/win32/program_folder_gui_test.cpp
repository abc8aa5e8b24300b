// The program started from a folder whose name has letters outside the ANSI code page. Run by
// non_ascii_folder_under_wine.sh, which copies this program into such a folder and runs the
// two phases as two processes: a first start that records and saves, then a restart.
// Without MELVORA_FOLDER_TEST in the environment these tests are skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/app_options.h"
#include "app/win32/controls_dlg.h"
#include "platform/recording_midi_in.h"
#include "platform/recording_midi_out.h"
#include "platform/program_directory.h"
#include "platform/wave_port_simulated.h"
#include "platform/win32/resource_strings.h"
#include "ui/win32/new_deck_button.h"
#include "win32/gui_test_support.h"
#include "resource_ids.h"

namespace melvora {
namespace {

std::wstring Phase() {
    wchar_t value[16] = {};
    ::GetEnvironmentVariableW(L"MELVORA_FOLDER_TEST", value, 16);
    return value;
}

// This program's folder, asked of the system directly (not through the code under test).
std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::vector<unsigned char> ReadFileBytes(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    if (std::FILE* file = _wfopen(path.c_str(), L"rb")) {
        unsigned char buffer[4096];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
            bytes.insert(bytes.end(), buffer, buffer + got);
        }
        std::fclose(file);
    }
    return bytes;
}

uint32_t Le32(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// Bytes of sound in a 44-byte-header mono 16-bit WAV file, or -1 when it is not one.
long long WaveDataBytes(const std::wstring& path) {
    const std::vector<unsigned char> b = ReadFileBytes(path);
    if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 36, b.begin() + 40) != "data" || Le32(b, 4) != b.size() - 8 ||
        Le32(b, 40) != b.size() - 44) {
        return -1;
    }
    return static_cast<long long>(Le32(b, 40));
}

// The working file exists (its header may still sit in the stream's buffer, so its size
// on disk says nothing yet).
bool WorkingFileExists(const std::wstring& folder) {
    return ::GetFileAttributesW((folder + L"tmp.wav").c_str()) != INVALID_FILE_ATTRIBUTES;
}

// One block of the transport: 1323 16-bit samples at 44100 Hz.
constexpr long long kBlockBytes = 1323 * 2;

const wchar_t kSavedName[] = L"kay\u0131t.wav";  // "kayıt.wav"

class SavingControlsDlg : public CControlsDlg {
  public:
    SavingControlsDlg(HWND owner, Audio audio) : CControlsDlg(owner, std::move(audio)) {}
    bool AskSavePath(std::string* path) override {
        *path = ProgramDirectory() + WideToUtf8(kSavedName);
        return true;
    }
};

SavingControlsDlg* g_dialog = nullptr;
std::function<void(SavingControlsDlg&)>* g_script = nullptr;

void CALLBACK StartScript(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_dialog == nullptr || g_dialog->Handle() == nullptr ||
        !::IsWindowVisible(g_dialog->Handle())) {
        return;
    }
    ::KillTimer(nullptr, timer);
    (*g_script)(*g_dialog);
}

// A window left open (an unexpected question) fails the test instead of hanging it.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (g_dialog != nullptr && g_dialog->Handle() != nullptr) {
        ADD_FAILURE() << "the window was still open after 30 s";
        g_dialog->EndDialog(-2);
    }
}

class ProgramFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        if (Phase().empty()) {
            GTEST_SKIP() << "needs the copied program of non_ascii_folder_under_wine.sh";
        }
        folder_ = OwnFolder();
        // What the program does first, with the real program directory.
        SetProgramDirectoryOverride("");
        Options() = AppOptions();
        StartUpOptions();
        card_.SetCaptureSource([](int16_t* samples, size_t count) {
            for (size_t i = 0; i < count; ++i) {
                samples[i] = static_cast<int16_t>((i % 100) * 200 - 10000);
            }
        });
        owner_ = ::CreateWindowExW(0, L"STATIC", L"Melvora", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    void TearDown() override {
        if (owner_ != nullptr) {
            ::DestroyWindow(owner_);
        }
    }

    void RunProgram(std::function<void(SavingControlsDlg&)> script) {
        CControlsDlg::Audio audio;
        audio.capturePort = card_.MakeCapturePort();
        audio.playbackPort = card_.MakePlaybackPort();
        // No MIDI device under Wine: a recording output stands in, so no error box waits.
        audio.midiOut = std::make_unique<RecordingMidiOut>(midiJournal_);
        audio.midiIn = std::make_unique<RecordingMidiIn>();
        SavingControlsDlg dialog(owner_, std::move(audio));
        g_dialog = &dialog;
        g_script = &script;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &StartScript);
        const UINT_PTR watchdog = ::SetTimer(nullptr, 0, 30000, &Watchdog);
        dialog.DoModal();
        ::KillTimer(nullptr, timer);
        ::KillTimer(nullptr, watchdog);
        g_dialog = nullptr;
        g_script = nullptr;
    }

    std::wstring folder_;
    SimulatedSoundCard card_{SimulatedSoundCard::ClockMode::kRealTime, 3.0};
    RecordingMidiOut::Journal midiJournal_;
    HWND owner_ = nullptr;
};

// First start: the program finds its own folder, keeps its settings, records and saves.
TEST_F(ProgramFolder, FirstStartRecordsAndSaves) {
    if (Phase() != L"record") {
        GTEST_SKIP();
    }
    ASSERT_NE(folder_.find(L"\u015Eark\u0131 \u00D6devleri"), std::wstring::npos);
    EXPECT_EQ(Utf8ToWide(ProgramDirectory()), folder_);
    EXPECT_EQ(ReadFileBytes(folder_ + L"options.dat").size(), AppOptions::kFileSizeBytes);
    // A setting changed now must come back at the restart.
    Options().language = 0;
    EXPECT_TRUE(Options().Save());

    bool workingFileAtStart = false;
    bool saved = false;
    RunProgram([&](SavingControlsDlg& dialog) {
        workingFileAtStart = WorkingFileExists(folder_);
        guitest::Click(dialog.DeckButtonControl(DeckButton::Rec)->Handle());
        guitest::PumpMessages(1500);
        guitest::Click(dialog.DeckButtonControl(DeckButton::Rec)->Handle());
        guitest::PumpMessages(100);
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_FILE_SAVE, 0);
        guitest::PumpMessages(200);
        saved = WaveDataBytes(folder_ + kSavedName) > 0;
        ::PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(workingFileAtStart) << "tmp.wav was not created";
    EXPECT_TRUE(saved);
    // Save moved the take: the working file is gone, the saved one holds the recorded blocks
    // (how many depends on the pace of the card under Wine; at least one).
    EXPECT_EQ(::GetFileAttributesW((folder_ + L"tmp.wav").c_str()), INVALID_FILE_ATTRIBUTES);
    const long long savedBytes = WaveDataBytes(folder_ + kSavedName);
    EXPECT_GE(savedBytes, kBlockBytes) << "nothing was recorded";
}

// Restart: the settings of the first start are read back, the working file is created again
// and the saved take is still there.
TEST_F(ProgramFolder, RestartFindsSettingsAndTheSavedTake) {
    if (Phase() != L"restart") {
        GTEST_SKIP();
    }
    EXPECT_EQ(Options().notLoaded, 0) << "options.dat was not read";
    EXPECT_EQ(Options().language, 0);
    bool workingFile = false;
    RunProgram([&](SavingControlsDlg& dialog) {
        workingFile = WorkingFileExists(folder_);
        ::PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(workingFile) << "tmp.wav was not created";
    EXPECT_GE(WaveDataBytes(folder_ + kSavedName), kBlockBytes);
}

}  // namespace
}  // namespace melvora
