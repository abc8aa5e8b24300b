#include <gtest/gtest.h>

#include "platform/program_directory.h"
#include "ui/win32/help_launcher.h"
#include "ui/help_topic.h"

namespace melvora {
namespace {

TEST(HelpLauncherGuiTest, TopicIsResolvedInTheProgramDirectory) {
    EXPECT_TRUE(HtmlHelpAvailable());
    std::string directory = ProgramDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '\\');
    std::string path = HelpTopicPath(HelpTopic("klavye.htm#MIDI", 1));
    EXPECT_EQ(path, directory + "Melvora.chm::/tur/klavye.htm#MIDI");
}

#ifdef MELVORA_HELP_FILE_BESIDE
// Both languages' topics open from the one help file beside the program.
TEST(HelpLauncherGuiTest, OpensTopicsOfBothLanguages) {
    for (int language : {0, 1}) {
        HWND help = OpenHelpTopic(nullptr, HelpTopic("ana.htm", language));
        ASSERT_NE(help, nullptr) << language;
        // Through the control: a help window destroyed behind its back stays in its lists.
        CloseAllHelpWindows();
        EXPECT_FALSE(::IsWindow(help)) << language;
    }
}

TEST(HelpLauncherGuiTest, MissingHelpFileOpensNothing) {
    EXPECT_EQ(OpenHelpTopic(nullptr, "Missing.chm::/en/ana.htm"), nullptr);
}
#endif

}  // namespace
}  // namespace melvora
