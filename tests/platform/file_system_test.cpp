#include "platform/file_system.h"

#include "app/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace melvora {
namespace {

// A fresh temporary folder whose name has letters outside any 8-bit code page but one.
class FileSystemTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(MakeDirectory(folder_)); }

    static bool Write(const std::string& path, const std::string& text) {
        return testing_support::WriteAll(path, {text.begin(), text.end()});
    }
    static std::string Read(const std::string& path) {
        const std::vector<unsigned char> bytes = testing_support::ReadAll(path);
        return {bytes.begin(), bytes.end()};
    }

    testing_support::TempProgramDirectory root_;
    const std::string folder_ = root_.path() +
                                "\xC5\x9E"
                                "ark\xC4\xB1 \xC3\x96"
                                "devleri";
};

TEST_F(FileSystemTest, WriteCopyMoveListAndDeleteInAFolderWithTurkishLetters) {
    const std::string a = folder_ + "/kay\xC4\xB1t.wav";
    const std::string b = folder_ + "/kopya.wav";
    const std::string c = folder_ + "/ta\xC5\x9F\xC4\xB1nd\xC4\xB1.wav";
    ASSERT_TRUE(Write(a, "RIFF data"));
    ASSERT_TRUE(CopyFileOverwriting(a, b));
    EXPECT_EQ(Read(b), "RIFF data");
    ASSERT_TRUE(MoveFileTo(b, c));
    EXPECT_FALSE(PathExists(b));
    EXPECT_EQ(Read(c), "RIFF data");
    EXPECT_TRUE(MakeDirectory(folder_ + "/Exercises"));
    EXPECT_TRUE(MakeDirectory(folder_ + "/Exercises"));  // already there counts
    std::vector<std::string> names = ListFiles(folder_);
    std::sort(names.begin(), names.end());
    // Folders are not listed.
    EXPECT_EQ(names,
              (std::vector<std::string>{"kay\xC4\xB1t.wav", "ta\xC5\x9F\xC4\xB1nd\xC4\xB1.wav"}));
    EXPECT_TRUE(DeleteFileAt(a));
    EXPECT_FALSE(DeleteFileAt(a));
    EXPECT_TRUE(ListFiles(folder_ + "/missing").empty());
}

TEST_F(FileSystemTest, RefusedOperationsLeaveFilesAlone) {
    const std::string a = folder_ + "/a.wav";
    const std::string b = folder_ + "/b.wav";
    ASSERT_TRUE(Write(a, "first"));
    ASSERT_TRUE(Write(b, "second"));
    EXPECT_FALSE(CopyFileOverwriting(a, a));  // would empty it
    EXPECT_EQ(Read(a), "first");
    EXPECT_FALSE(MoveFileTo(a, b));  // the target exists
    EXPECT_EQ(Read(b), "second");
    EXPECT_FALSE(CopyFileOverwriting(folder_ + "/none.wav", b));
    EXPECT_EQ(Read(b), "second");
    EXPECT_FALSE(MakeDirectory(a));  // a file of that name is there
    EXPECT_FALSE(CopyFileOverwriting(a, folder_ + "/missing/b.wav"));
}

}  // namespace
}  // namespace melvora
