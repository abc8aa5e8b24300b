#include <algorithm>
#include <atomic>

#include "platform/win32/directory_listing.h"
#include "platform/win32/file_dialog.h"
#include "platform/win32/thread_start.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

// A fresh folder under the temporary folder, removed with what was made in it at the end.
class TempFolder {
  public:
    TempFolder() : path_(Temp() + L"melvora_gui_" + std::to_wstring(::GetCurrentProcessId())) {
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
            if (!::DeleteFileW(it->c_str())) {
                ::RemoveDirectoryW(it->c_str());
            }
        }
        ::RemoveDirectoryW(path_.c_str());
    }
    void File(const std::wstring& name) {
        made_.push_back(path_ + L"\\" + name);
        ::CloseHandle(::CreateFileW(made_.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    0, nullptr));
    }
    void Folder(const std::wstring& name) {
        made_.push_back(path_ + L"\\" + name);
        ::CreateDirectoryW(made_.back().c_str(), nullptr);
    }
    const std::wstring& Path() const { return path_; }

  private:
    static std::wstring Temp() {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        return base;
    }
    std::wstring path_;
    std::vector<std::wstring> made_;
};

TEST(DirectoryListingTest, FilesMatchingThePatternWithTurkishNames) {
    TempFolder folder;
    folder.File(L"Çıkış.exc");
    folder.File(L"b.exc");
    folder.File(L"notes.txt");
    folder.Folder(L"Kayıtlar");
    std::vector<std::wstring> files = ListDirectory(folder.Path() + L"\\*.exc", false);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::wstring>{L"b.exc", L"Çıkış.exc"}));
    std::vector<std::wstring> folders = ListDirectory(folder.Path() + L"\\*", true);
    EXPECT_EQ(folders, std::vector<std::wstring>{L"Kayıtlar"});
    EXPECT_TRUE(ListDirectory(L"C:\\no\\such\\folder\\*.exc", false).empty());
}

TEST(ThreadStartTest, RunsTheBodyAtTheAskedPriority) {
    std::atomic<int> priority{-100};
    std::thread t = StartThread([&]() { priority = ::GetThreadPriority(::GetCurrentThread()); },
                                THREAD_PRIORITY_ABOVE_NORMAL);
    t.join();
    EXPECT_EQ(priority.load(), THREAD_PRIORITY_ABOVE_NORMAL);
}

BOOL CALLBACK FindEdit(HWND hwnd, LPARAM found) {
    wchar_t name[16] = {};
    ::GetClassNameW(hwnd, name, 16);
    if (lstrcmpiW(name, L"Edit") == 0 && ::IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

TEST(FileDialogTest, SaveDialogReturnsTheTypedPathWithItsExtension) {
    TempFolder folder;
    std::wstring typed = folder.Path() + L"\\Şarkı";
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
            HWND edit = nullptr;
            ::EnumChildWindows(dialog, &FindEdit, reinterpret_cast<LPARAM>(&edit));
            if (edit == nullptr) {
                ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            ::SetWindowTextW(edit, typed.c_str());
            ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
    ASSERT_TRUE(ok);
    EXPECT_EQ(chosen, typed + L".wav");
}

TEST(FileDialogTest, CancelReturnsFalse) {
    std::wstring chosen = L"unchanged";
    bool ok = true;
    guitest::RunModal(
        [&]() {
            ok = ShowFileDialog(true, nullptr, L"wav", L"All Files (*.*)|*.*||",
                                OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, &chosen);
            return 0;
        },
        [&](HWND dialog) { ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(chosen, L"unchanged");
}

}  // namespace
}  // namespace melvora
