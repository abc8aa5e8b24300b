#include "win32/gui_test_support.h"

namespace melvora {
namespace {

// The resource string table as the program reads it (provider installed in main).
TEST(ResourceStringTableTest, TextsByLanguageUnknownLanguageAndMissingEntries) {
    EXPECT_EQ(LoadText(139, guitest::kEnglish), L"Cancel");
    EXPECT_EQ(LoadText(139, guitest::kTurkish), L"İptal");
    EXPECT_EQ(LoadText(313, guitest::kTurkish), L"Çıkış");
    for (int unknownLanguage : {2, -1, 255}) {
        EXPECT_EQ(LoadText(138, unknownLanguage), L"OK") << unknownLanguage;
    }
    EXPECT_EQ(LoadText(999, guitest::kEnglish), L"");
    EXPECT_EQ(LoadText(60000, guitest::kTurkish), L"");
}

TEST(ResourceStringTableTest, LongTextsAreNotCutBelow256) {
    std::wstring about = LoadText(258, guitest::kTurkish);
    EXPECT_GT(about.size(), 100u);
    EXPECT_LE(about.size(), 256u);
    EXPECT_NE(about.find(L"Şarkı"), std::wstring::npos);
}

}  // namespace
}  // namespace melvora
