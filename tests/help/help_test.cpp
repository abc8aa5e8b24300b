#include "platform/text_encoding.h"
#include "resources/rc_string_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace melvora {
namespace {

const std::string kHelp = std::string(MELVORA_SOURCE_DIR) + "/help/";

// Every topic a window opens (its Help button or menu), plus the exercises page that the
// contents link to.
const char* const kTopics[] = {"ana",     "index", "analiz", "klavye",   "ortam",
                               "ayarlar", "porte", "ses",    "alistirma"};
const char* const kLanguages[] = {"en", "tur"};

// Group `group` of every match of `pattern` in `text`.
std::vector<std::string> Matches(const std::string& text, const char* pattern, int group) {
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
         ++it) {
        found.push_back((*it)[group].str());
    }
    return found;
}

// Checks a link from `page` in folder `dir` (both relative to help/); empty string when fine.
std::string CheckLink(const std::string& dir, const std::string& target, const std::string& page) {
    if (std::regex_search(target, std::regex("^(https?|mailto):"))) {
        return "";
    }
    const size_t hash = std::min(target.find('#'), target.size());
    const std::string file = hash == 0 ? page : dir + "/" + target.substr(0, hash);
    struct stat st;
    if (stat((kHelp + file).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return "missing file " + file;
    }
    const std::string anchor = target.substr(std::min(hash + 1, target.size()));
    const std::string html = ReadFileText(kHelp + file);
    if (!anchor.empty() && html.find("name=\"" + anchor + "\"") == std::string::npos &&
        html.find("id=\"" + anchor + "\"") == std::string::npos) {
        return "missing anchor " + file + "#" + anchor;
    }
    return "";
}

TEST(HelpTopics, EachIsAUtf8PageInBothLanguagesWhoseLinksResolve) {
    for (const char* lang : kLanguages) {
        for (const char* topic : kTopics) {
            const std::string page = std::string(lang) + "/" + topic + ".htm";
            SCOPED_TRACE(page);
            const std::string html = ReadFileText(kHelp + page);
            ASSERT_FALSE(html.empty());
            EXPECT_TRUE(IsValidUtf8(html));
            EXPECT_NE(html.find("charset=utf-8"), std::string::npos);
            EXPECT_FALSE(Matches(html, "<title>[^<]+</title>", 0).empty());
            EXPECT_FALSE(Matches(html, "<h1>[^<]+</h1>", 0).empty());
            // Real content, not a stub: several paragraphs or list items of text.
            EXPECT_GE(Matches(html, "<(p|li|td)[ >]", 0).size(), 8u);
            const auto links = Matches(html, "(href|src)=\"([^\"]+)\"", 2);
            EXPECT_GE(links.size(), 3u);
            for (const std::string& link : links) {
                EXPECT_EQ(CheckLink(lang, link, page), "") << link;
            }
            const std::string other = std::string(lang) == "en" ? "tur" : "en";
            EXPECT_NE(html.find("href=\"../" + other + "/" + topic + ".htm\""), std::string::npos);
            if (other == "en") {  // translated, not copied; Turkish letters written as UTF-8
                EXPECT_NE(html, ReadFileText(kHelp + "en/" + topic + ".htm"));
                EXPECT_NE(html.find("lang=\"tr\""), std::string::npos);
                EXPECT_FALSE(Matches(html, "ı|ş|ğ|ü|ö|ç|İ|Ş", 0).empty());
            }
        }
    }
}

// The project lists every file (so the compiled help is complete) and its contents and index
// point at existing topics in both languages.
TEST(HelpProject, ListsEveryFileAndEveryTopicInContentsAndIndex) {
    const std::string hhp = ReadFileText(kHelp + "Melvora.hhp");
    ASSERT_NE(hhp.find("[FILES]"), std::string::npos);
    EXPECT_NE(hhp.find("Default topic=en/index.htm"), std::string::npos);
    std::set<std::string> listed;
    for (const std::string& file :
         Matches(hhp.substr(hhp.find("[FILES]")), "\n([^\\[\r\n][^\r\n]*)", 1)) {
        EXPECT_EQ(CheckLink(".", file, ""), "");
        listed.insert(file);
    }
    const std::string toc = ReadFileText(kHelp + "Melvora.hhc");
    for (const char* lang : kLanguages) {
        for (const char* topic : kTopics) {
            const std::string page = std::string(lang) + "/" + topic + ".htm";
            EXPECT_TRUE(listed.count(page)) << page;
            EXPECT_NE(toc.find("value=\"" + page + "\""), std::string::npos) << page;
            for (const std::string& pic :
                 Matches(ReadFileText(kHelp + page), "src=\"\\.\\./([^\"]+)\"", 1)) {
                EXPECT_TRUE(listed.count(pic)) << pic;
            }
        }
    }
    for (const char* file : {"Melvora.hhc", "Melvora.hhk"}) {
        const std::string text = ReadFileText(kHelp + file);
        const auto targets = Matches(text, "name=\"Local\" value=\"([^\"]+)\"", 1);
        for (const std::string& target : targets) {
            EXPECT_EQ(CheckLink(".", target, file), "") << file;
        }
        for (const char* lang : kLanguages) {
            const std::string midi = std::string(lang) + "/klavye.htm#MIDI";
            EXPECT_NE(std::find(targets.begin(), targets.end(), midi), targets.end()) << file;
        }
        // The viewer reads these two files in the project's code page: keep them ASCII.
        EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x80;
        })) << file;
    }
}

}  // namespace
}  // namespace melvora
