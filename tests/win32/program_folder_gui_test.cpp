// The program started from a folder whose name has letters outside the ANSI code page. Run by
// non_ascii_folder_under_wine.sh, which copies this program into such a folder and runs the
// two phases as two processes: a first start that records and saves, then a restart.
// Without MELVORA_FOLDER_TEST in the environment these tests are skipped.
#include "audio/wave_file.h"
#include "platform/program_directory.h"
#include "ui/win32/new_deck_button.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

std::wstring Phase() {
    wchar_t value[16] = {};
    ::GetEnvironmentVariableW(L"MELVORA_FOLDER_TEST", value, 16);
    return value;
}

// This program's folder, asked of the system directly (not through the code under test).
std::string OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    const std::wstring exe(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
    return WideToUtf8(exe.substr(0, exe.find_last_of(L'\\') + 1));
}

// One block of the transport: 1323 16-bit samples at 44100 Hz.
constexpr int32_t kBlockFrames = 1323;

const char kSavedName[] = "kay\xC4\xB1t.wav";  // "kayıt.wav"

// Bytes of the file at `path`, or -1.
long long FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return ::GetFileAttributesExW(Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data)
               ? static_cast<long long>(data.nFileSizeLow)
               : -1;
}

// Frames of a mono 16-bit WAV file whose header was finished (its sizes match the file's),
// or -1.
int32_t SavedFrames(const std::string& path) {
    auto wav = WaveFile::OpenForReading(path);
    return wav && FileBytes(path) == WaveFile::kHeaderBytes + 2LL * wav->FrameCount()
               ? wav->FrameCount()
               : -1;
}

class ProgramFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        if (Phase().empty()) {
            GTEST_SKIP() << "needs the copied program of non_ascii_folder_under_wine.sh";
        }
        run_ = std::make_unique<guitest::ProgramRun>("");
        // What the program does first, with the real program directory.
        StartUpOptions();
        run_->savePath = run_->Path(kSavedName);
        guitest::Sing(run_->Card(), 440.0, 0.0);
    }
    std::unique_ptr<guitest::ProgramRun> run_;
};

// First start: the program finds its own folder, keeps its settings, records and saves.
TEST_F(ProgramFolder, FirstStartRecordsAndSaves) {
    if (Phase() != L"record") {
        GTEST_SKIP();
    }
    ASSERT_NE(Utf8ToWide(OwnFolder()).find(L"\u015Eark\u0131 \u00D6devleri"), std::wstring::npos);
    EXPECT_EQ(ProgramDirectory(), OwnFolder());
    EXPECT_EQ(FileBytes(run_->Path("options.dat")), AppOptions::kFileSizeBytes);
    // A setting changed now must come back at the restart.
    Options().language = guitest::kEnglish;
    EXPECT_TRUE(Options().Save());
    bool workingFileAtStart = false, saved = false;
    run_->Run([&](CControlsDlg& dialog) {
        workingFileAtStart = run_->Exists("tmp.wav");
        HWND rec = dialog.DeckButtonControl(DeckButton::Rec)->Handle();
        guitest::Click(rec);
        // A second of take on the card's clock, whatever its pace under Wine.
        guitest::PumpUntil([&] { return guitest::ProgramRun::ShowsASecond(dialog); });
        guitest::Click(rec);
        ::SendMessageW(dialog.Handle(), WM_COMMAND, ID_FILE_SAVE, 0);
        saved = guitest::PumpUntil([&] { return SavedFrames(run_->Path(kSavedName)) > 0; });
        run_->Close(dialog);
    });
    EXPECT_TRUE(workingFileAtStart) << "tmp.wav was not created";
    EXPECT_TRUE(saved);
    // Save moved the take: the working file is gone, the saved one holds the recorded blocks
    // (how many depends on the pace of the card under Wine; at least one).
    EXPECT_FALSE(run_->Exists("tmp.wav"));
    EXPECT_GE(SavedFrames(run_->Path(kSavedName)), kBlockFrames) << "nothing was recorded";
}

// Restart: the settings of the first start are read back, the working file is created again
// and the saved take is still there.
TEST_F(ProgramFolder, RestartFindsSettingsAndTheSavedTake) {
    if (Phase() != L"restart") {
        GTEST_SKIP();
    }
    EXPECT_EQ(Options().notLoaded, 0) << "options.dat was not read";
    EXPECT_EQ(Options().language, guitest::kEnglish);
    bool workingFile = false;
    run_->Run([&](CControlsDlg& dialog) {
        workingFile = run_->Exists("tmp.wav");
        run_->Close(dialog);
    });
    EXPECT_TRUE(workingFile) << "tmp.wav was not created";
    EXPECT_GE(SavedFrames(run_->Path(kSavedName)), kBlockFrames);
}

}  // namespace
}  // namespace melvora
