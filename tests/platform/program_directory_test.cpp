#include "platform/program_directory.h"

#include <gtest/gtest.h>

namespace melvora {
namespace {

TEST(ProgramDirectory, RealAnswerIsTheFolderOfThisTestProgram) {
    SetProgramDirectoryOverride("");
    const std::string dir = ProgramDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), PathSeparator());
    // The test binary lives in the build tree's tests/platform folder.
    EXPECT_NE(dir.find("platform"), std::string::npos) << dir;
}

TEST(ProgramDirectory, OverrideGainsTrailingSeparatorAndCanBeCleared) {
    SetProgramDirectoryOverride("/tmp/melvora-x");
    EXPECT_EQ(ProgramDirectory(), std::string("/tmp/melvora-x") + PathSeparator());
    SetProgramDirectoryOverride("/tmp/melvora-y/");
    EXPECT_EQ(ProgramDirectory(), "/tmp/melvora-y/");
    SetProgramDirectoryOverride("");
    EXPECT_NE(ProgramDirectory(), "/tmp/melvora-y/");
}

}  // namespace
}  // namespace melvora
