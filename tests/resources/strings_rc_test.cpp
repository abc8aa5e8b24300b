#include "resources/rc_string_table.h"

#include "resources/rc_script.h"

#include "string_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <set>

namespace melvora {
namespace {

const std::string kResources = std::string(MELVORA_SOURCE_DIR) + "/resources/";

const RcStringTable& Table() {
    static const RcStringTable table = ReadStringsRc(kResources);
    return table;
}

std::map<int, std::wstring> TableMap() {
    std::map<int, std::wstring> m;
    for (const RcString& e : Table().entries) {
        m[e.id] = e.text;
    }
    return m;
}

TEST(StringTable, IsWellFormedUtf8WithUniqueIdsOfBoundedLength) {
    ASSERT_TRUE(Table().errors.empty()) << Table().errors.front();
    const std::string script = ReadFileText(kResources + "strings.rc");
    EXPECT_NE(script.find("#pragma code_page(65001)"), std::string::npos);
    EXPECT_NE(script.find("#include \"string_ids.h\""), std::string::npos);
    EXPECT_GT(Table().entries.size(), 200u);
    std::set<int> seen;
    for (const RcString& e : Table().entries) {
        EXPECT_TRUE(seen.insert(e.id).second) << "id " << e.id << " again on line " << e.line;
        EXPECT_FALSE(e.text.empty()) << "id " << e.id;
        EXPECT_LE(e.text.size(), 256u) << "id " << e.id;  // the lookup's buffer
    }
}

// Each English text has a Turkish partner at id + 1000 (and back) that formats the same way:
// the same printf conversions in order and, but for the about text, the same line breaks.
TEST(StringTable, EveryEnglishIdHasATurkishPartnerWithTheSameConversions) {
    const auto m = TableMap();
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

// Compiles the script with the mingw resource compiler and compares every stored UTF-16
// text with the script's UTF-8 text, so Turkish letters are proven to survive the build.
TEST(StringTable, WindresStoresEveryTextUnchanged) {
#ifdef MELVORA_WINDRES
    std::string dir = testing::TempDir() + "melvora_XXXXXX";  // own folder: builds run at once
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    const std::string out = dir + "/strings.res";
    const std::string cmd = std::string("\"") + MELVORA_WINDRES + "\" \"" + kResources +
                            "strings.rc\" -O res -o \"" + out + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const std::string bytes = ReadFileText(out);
    std::map<int, std::wstring> stored;
    ASSERT_TRUE(ReadResStrings(std::vector<uint8_t>(bytes.begin(), bytes.end()), &stored));
    EXPECT_EQ(stored, TableMap());
    EXPECT_FALSE(ReadResStrings({0xFF, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 6, 0}, &stored));
    std::remove(out.c_str());
    std::remove(dir.c_str());
#else
    GTEST_SKIP() << "no mingw windres on this machine";
#endif
}

}  // namespace
}  // namespace melvora
