#include "platform/string_table.h"

#include <gtest/gtest.h>

#include <map>

namespace melvora {
namespace {

// Turkish is the entry plus a thousand, every other language English; texts are cut at 256
// characters, missing ones (or all without a provider) are empty.
TEST(StringTable, TurkishIsEntryPlusThousandAndEveryOtherLanguageIsEnglish) {
    SetStringProvider([](int entry) {
        static const std::map<int, std::wstring> table = {
            {101, L"Cancel"}, {1101, L"\u0130ptal"}, {102, std::wstring(300, L'x')}};
        auto it = table.find(entry);
        return it == table.end() ? std::wstring() : it->second;
    });
    EXPECT_EQ(LoadText(101, 1), L"\u0130ptal");
    for (int language : {0, 7, -1}) {
        EXPECT_EQ(LoadText(101, language), L"Cancel") << language;
    }
    EXPECT_EQ(LoadText(102, 0).size(), 256u);
    EXPECT_EQ(LoadText(555, 0), L"");
    SetStringProvider(nullptr);
    EXPECT_EQ(LoadText(101, 0), L"");
}

}  // namespace
}  // namespace melvora
