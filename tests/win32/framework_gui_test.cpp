// The framework's services under Wine: folder listings, threads, the file dialog, the
// resource string table, the help launcher and the tool tip relay.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>

#include "platform/win32/directory_listing.h"
#include "platform/win32/file_dialog.h"
#include "platform/win32/thread_start.h"
#include "platform/win32/tool_tip.h"
#include "ui/help_topic.h"
#include "ui/win32/help_launcher.h"
#include "ui/win32/new_deck_button.h"
#include "ui/win32/tool_tip_relay.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

TEST(DirectoryListingTest, FilesMatchingThePatternWithTurkishNames) {
    guitest::TempProgramFolder folder("listing");
    const std::wstring path = Utf8ToWide(folder.Path(""));
    const wchar_t* const files[] = {L"Çıkış.exc", L"b.exc", L"notes.txt"};
    for (const wchar_t* name : files) {
        ::CloseHandle(::CreateFileW((path + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    0, nullptr));
    }
    ::CreateDirectoryW((path + L"Kayıtlar").c_str(), nullptr);
    std::vector<std::wstring> exercises = ListDirectory(path + L"*.exc", false);
    std::sort(exercises.begin(), exercises.end());
    EXPECT_EQ(exercises, (std::vector<std::wstring>{L"b.exc", L"Çıkış.exc"}));
    EXPECT_EQ(ListDirectory(path + L"*", true), std::vector<std::wstring>{L"Kayıtlar"});
    EXPECT_TRUE(ListDirectory(L"C:\\no\\such\\folder\\*.exc", false).empty());
    for (const wchar_t* name : files) {
        ::DeleteFileW((path + name).c_str());
    }
    ::RemoveDirectoryW((path + L"Kayıtlar").c_str());
}

TEST(ThreadStartTest, RunsTheBodyAtTheAskedPriority) {
    std::atomic<int> priority{-100};
    std::thread t = StartThread([&]() { priority = ::GetThreadPriority(::GetCurrentThread()); },
                                THREAD_PRIORITY_ABOVE_NORMAL);
    t.join();
    EXPECT_EQ(priority.load(), THREAD_PRIORITY_ABOVE_NORMAL);
}

TEST(FileDialogTest, SaveDialogReturnsTheTypedPathWithItsExtension) {
    guitest::TempProgramFolder folder("dialog");
    const std::wstring typed = Utf8ToWide(folder.Path("Şarkı"));
    std::wstring chosen;
    bool ok = false;
    guitest::RunModal(
        [&]() {
            ok = ShowFileDialog(false, nullptr, L"wav",
                                L"Wave Files (*.wav)|*.wav|All Files (*.*)|*.*||",
                                OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, &chosen);
            return 0;
        },
        [&](HWND dialog) {
            ::SetDlgItemTextW(dialog, 0x47c, typed.c_str());  // the file name (cmb13)
            ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
    ASSERT_TRUE(ok);
    EXPECT_EQ(chosen, typed + L".wav");
}

// The resource string table as the program reads it (provider installed in main); which entry
// a language takes is the string table's own test.
TEST(ResourceStringTableTest, TurkishLettersMissingEntriesAndLongTexts) {
    EXPECT_EQ(LoadText(313, guitest::kTurkish), L"Çıkış");
    EXPECT_EQ(LoadText(999, guitest::kEnglish), L"");
    EXPECT_EQ(LoadText(70000, guitest::kEnglish), L"");  // beyond the resource numbers
    // Long texts are not cut below 256 characters.
    std::wstring about = LoadText(258, guitest::kTurkish);
    EXPECT_GT(about.size(), 100u);
    EXPECT_LE(about.size(), 256u);
    EXPECT_NE(about.find(L"Şarkı"), std::wstring::npos);
}

#ifdef MELVORA_HELP_FILE_BESIDE
// Both languages' topics open from the one help file beside the program; a missing file
// opens nothing.
TEST(HelpLauncherGuiTest, OpensTopicsOfBothLanguagesAndNothingOfAMissingFile) {
    for (int language : {0, 1}) {
        HWND help = OpenHelpTopic(nullptr, HelpTopic("ana.htm", language));
        ASSERT_NE(help, nullptr) << language;
        // Through the control: a help window destroyed behind its back stays in its lists.
        CloseAllHelpWindows();
        EXPECT_FALSE(::IsWindow(help)) << language;
    }
    EXPECT_EQ(OpenHelpTopic(nullptr, "Missing.chm::/en/ana.htm"), nullptr);
}
#endif

// Records the messages relayed to a tool tip.
class RelayRecorder : public CWnd {
  public:
    std::vector<MSG> relayed;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == TTM_RELAYEVENT && lParam != 0) {
            relayed.push_back(*reinterpret_cast<const MSG*>(lParam));
        }
        return Default(message, wParam, lParam);
    }
};

TEST(ToolTipRelayGuiTest, DisabledControlGetsTheMouseMove) {
    guitest::HostWindow dialog;
    ASSERT_TRUE(dialog.Open(300, 300, 300, 100, L"Relay"));
    CNewDeckButton rec;
    RECT r = {40, 20, 80, 50};
    ASSERT_TRUE(rec.Create(dialog.Handle(), r, 1006, "RECORD", false));
    rec.Enable(false);
    CToolTip tip;
    ASSERT_TRUE(tip.Create(dialog.Handle()));
    ASSERT_TRUE(tip.AddTool(rec.Handle(), L"Kaydet / Kaydı Durdur"));
    RelayRecorder recorder;
    ASSERT_TRUE(recorder.Subclass(tip.Handle()));

    MSG msg = {};
    msg.hwnd = dialog.Handle();
    msg.message = WM_MOUSEMOVE;
    msg.lParam = MAKELPARAM(50, 30);
    RelayToolTipMessage(&msg, dialog.Handle(), {rec.Handle()}, tip);
    ASSERT_EQ(recorder.relayed.size(), 1u);
    EXPECT_EQ(recorder.relayed[0].hwnd, rec.Handle());
    EXPECT_EQ(LOWORD(recorder.relayed[0].lParam), 10);
    EXPECT_EQ(HIWORD(recorder.relayed[0].lParam), 10);
    // The message itself is dispatched as it came.
    EXPECT_EQ(msg.hwnd, dialog.Handle());
    EXPECT_EQ(msg.lParam, MAKELPARAM(50, 30));

    msg.lParam = MAKELPARAM(200, 30);  // over no control
    RelayToolTipMessage(&msg, dialog.Handle(), {rec.Handle()}, tip);
    ASSERT_EQ(recorder.relayed.size(), 2u);
    EXPECT_EQ(recorder.relayed[1].hwnd, dialog.Handle());
    recorder.Detach();
}

}  // namespace
}  // namespace melvora
