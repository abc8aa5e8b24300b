#include "platform/string_table.h"

#include <gtest/gtest.h>

#include <map>

namespace melvora {
namespace {

class StringTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetStringProvider([](int entry) {
            static const std::map<int, std::wstring> table = {
                {101, L"Cancel"}, {1101, L"\u0130ptal"}, {102, std::wstring(300, L'x')}};
            auto it = table.find(entry);
            return it == table.end() ? std::wstring() : it->second;
        });
    }
    void TearDown() override { SetStringProvider(nullptr); }
};

TEST_F(StringTableTest, TurkishIsEntryPlusThousandAndEveryOtherLanguageIsEnglish) {
    EXPECT_EQ(LoadText(101, 1), L"\u0130ptal");
    EXPECT_EQ(LoadText(101, 0), L"Cancel");
    EXPECT_EQ(LoadText(101, 7), L"Cancel");
    EXPECT_EQ(LoadText(101, -1), L"Cancel");
}

TEST_F(StringTableTest, TextsAreCutAt256CharactersAndMissingOnesAreEmpty) {
    EXPECT_EQ(LoadText(102, 0).size(), 256u);
    EXPECT_EQ(LoadText(555, 0), L"");
}

TEST(StringTableNoProvider, AnswersEmpty) {
    SetStringProvider(nullptr);
    EXPECT_EQ(LoadText(101, 0), L"");
}

}  // namespace
}  // namespace melvora
