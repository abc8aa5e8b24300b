#include "ui/help_topic.h"

#include <gtest/gtest.h>

namespace melvora {
namespace {

TEST(HelpTopicTest, TurkishOpensTheTurFolderEveryOtherLanguageEnglish) {
    EXPECT_EQ(HelpTopic("klavye.htm#MIDI", 1), "Melvora.chm::/tur/klavye.htm#MIDI");
    for (int language : {0, 2, -1, 255}) {
        EXPECT_EQ(HelpTopic("ses.htm", language), "Melvora.chm::/en/ses.htm") << language;
    }
}

}  // namespace
}  // namespace melvora
