#include "ui/help_topic.h"

#include <gtest/gtest.h>

namespace melvora {
namespace {

TEST(HelpTopicTest, TurkishOpensTheTurFolder) {
    EXPECT_EQ(HelpTopic("ana.htm", 1), "Melvora.chm::/tur/ana.htm");
    EXPECT_EQ(HelpTopic("klavye.htm#MIDI", 1), "Melvora.chm::/tur/klavye.htm#MIDI");
}

TEST(HelpTopicTest, EveryOtherLanguageValueOpensEnglish) {
    EXPECT_EQ(HelpTopic("index.htm", 0), "Melvora.chm::/en/index.htm");
    EXPECT_EQ(HelpTopic("ses.htm", 2), "Melvora.chm::/en/ses.htm");
    EXPECT_EQ(HelpTopic("ses.htm", -1), "Melvora.chm::/en/ses.htm");
    EXPECT_EQ(HelpTopic("ses.htm", 255), "Melvora.chm::/en/ses.htm");
}

}  // namespace
}  // namespace melvora
