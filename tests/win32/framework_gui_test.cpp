#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "platform/win32/directory_listing.h"
#include "platform/win32/file_dialog.h"
#include "platform/win32/thread_start.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

// A fresh folder under the temporary folder, removed with its files at the end.
class TempFolder {
  public:
    TempFolder() {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"melvora_gui_" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        for (const std::wstring& f : files_) {
            ::DeleteFileW(f.c_str());
        }
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
            ::RemoveDirectoryW(it->c_str());
        }
        ::RemoveDirectoryW(path_.c_str());
    }
    void File(const std::wstring& name) {
        std::wstring full = path_ + L"\\" + name;
        HANDLE h =
            ::CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::CloseHandle(h);
        files_.push_back(full);
    }
    void Folder(const std::wstring& name) {
        std::wstring full = path_ + L"\\" + name;
        ::CreateDirectoryW(full.c_str(), nullptr);
        folders_.push_back(full);
    }
    const std::wstring& Path() const { return path_; }

  private:
    std::wstring path_;
    std::vector<std::wstring> files_;
    std::vector<std::wstring> folders_;
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
}

TEST(DirectoryListingTest, MissingFolderGivesNothing) {
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
