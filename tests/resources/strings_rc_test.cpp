#include "resources/rc_string_table.h"

#include "resources/rc_script.h"

#include "string_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace melvora {
namespace {

const std::string kResources = std::string(MELVORA_SOURCE_DIR) + "/resources/";

// The table reads without errors, as UTF-8, with unique ids and texts that fit the lookup's
// buffer. Each English text has a Turkish partner at id + 1000 (and back) that formats the
// same way: the same printf conversions in order and, but for the about text, the same line
// breaks.
TEST(StringTable, IsWellFormedAndEveryEnglishIdHasATurkishPartnerWithTheSameConversions) {
    const RcStringTable table = ReadStringsRc(kResources);
    ASSERT_TRUE(table.errors.empty()) << table.errors.front();
    const std::string script = ReadFileText(kResources + "strings.rc");
    EXPECT_NE(script.find("#pragma code_page(65001)"), std::string::npos);
    EXPECT_NE(script.find("#include \"string_ids.h\""), std::string::npos);
    EXPECT_GT(table.entries.size(), 200u);
    std::map<int, std::wstring> m;
    for (const RcString& e : table.entries) {
        EXPECT_TRUE(m.emplace(e.id, e.text).second) << "id " << e.id << " again on line " << e.line;
        EXPECT_FALSE(e.text.empty()) << "id " << e.id;
        EXPECT_LE(e.text.size(), 256u) << "id " << e.id;
    }
    const auto lines = [](const std::wstring& s) { return std::count(s.begin(), s.end(), L'\n'); };
    for (const auto& [id, text] : m) {
        const int partner = id < 1000 ? id + 1000 : id - 1000;
        EXPECT_LT(id, 2000) << "id " << id << " is outside both languages";
        if (!m.count(partner)) {
            ADD_FAILURE() << "id " << id << " has no partner " << partner;
        } else if (id < 1000) {
            EXPECT_EQ(PrintfConversions(text), PrintfConversions(m.at(partner))) << "id " << id;
            if (id != IDS_ABOUT_TEXT) {  // the about text may wrap differently
                EXPECT_EQ(lines(text), lines(m.at(partner))) << "id " << id;
            }
        }
    }
}

}  // namespace
}  // namespace melvora
