#include "help/chm_directory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
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

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ValidUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80             ? 0
                          : (c & 0xE0) == 0xC0 ? 1
                          : (c & 0xF0) == 0xE0 ? 2
                          : (c & 0xF8) == 0xF0 ? 3
                                               : -1;
        if (extra < 0 || (c & 0xFE) == 0xC0 || i + extra >= s.size() + (extra == 0)) {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += 1 + extra;
    }
    return true;
}

bool HasAnchor(const std::string& html, const std::string& name) {
    return html.find("name=\"" + name + "\"") != std::string::npos ||
           html.find("id=\"" + name + "\"") != std::string::npos;
}

// "a/b/../c.htm" -> "a/c.htm"
std::string Normalise(const std::string& path) {
    std::vector<std::string> parts;
    std::stringstream s(path);
    std::string part;
    while (std::getline(s, part, '/')) {
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    std::string out;
    for (const auto& p : parts) {
        out += (out.empty() ? "" : "/") + p;
    }
    return out;
}

// Checks a link from a page in folder `dir` (relative to help/); empty string when fine.
std::string CheckLink(const std::string& dir, const std::string& target, const std::string& page) {
    if (target.rfind("http:", 0) == 0 || target.rfind("https:", 0) == 0 ||
        target.rfind("mailto:", 0) == 0) {
        return "";
    }
    const size_t hash = target.find('#');
    const std::string file = target.substr(0, hash);
    const std::string anchor = hash == std::string::npos ? "" : target.substr(hash + 1);
    const std::string resolved = file.empty() ? page : Normalise(dir + "/" + file);
    if (!Exists(kHelp + resolved)) {
        return "missing file " + resolved;
    }
    if (!anchor.empty() && !HasAnchor(ReadText(kHelp + resolved), anchor)) {
        return "missing anchor " + resolved + "#" + anchor;
    }
    return "";
}

// ---- topics ----

struct Topic {
    const char* language;
    const char* name;
};

std::ostream& operator<<(std::ostream& os, const Topic& t) {
    return os << t.language << "/" << t.name;
}

class HelpTopic : public ::testing::TestWithParam<Topic> {
  protected:
    std::string Page() const {
        return std::string(GetParam().language) + "/" + GetParam().name + ".htm";
    }
};

TEST_P(HelpTopic, ExistsAsUtf8HtmlWithCharsetAndTitle) {
    const std::string html = ReadText(kHelp + Page());
    ASSERT_FALSE(html.empty()) << Page();
    EXPECT_TRUE(ValidUtf8(html)) << Page();
    EXPECT_NE(html.find("charset=utf-8"), std::string::npos) << Page();
    EXPECT_TRUE(std::regex_search(html, std::regex("<title>[^<]+</title>"))) << Page();
    EXPECT_TRUE(std::regex_search(html, std::regex("<h1>[^<]+</h1>"))) << Page();
    // Real content, not a stub: several paragraphs or list items of text.
    const std::regex block("<(p|li|td)[ >]");
    const auto blocks = std::distance(std::sregex_iterator(html.begin(), html.end(), block),
                                      std::sregex_iterator());
    EXPECT_GE(blocks, 8) << Page();
}

TEST_P(HelpTopic, EveryLinkAndPictureResolves) {
    const std::string html = ReadText(kHelp + Page());
    const std::regex link("(href|src)=\"([^\"]+)\"");
    int links = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), link);
         it != std::sregex_iterator(); ++it) {
        ++links;
        EXPECT_EQ(CheckLink(GetParam().language, (*it)[2].str(), Page()), "")
            << Page() << " -> " << (*it)[2].str();
    }
    EXPECT_GE(links, 3);
}

TEST_P(HelpTopic, LinksToTheSameTopicInTheOtherLanguage) {
    const std::string other = std::string(GetParam().language) == "en" ? "tur" : "en";
    const std::string html = ReadText(kHelp + Page());
    EXPECT_NE(html.find("href=\"../" + other + "/" + GetParam().name + ".htm\""), std::string::npos)
        << Page();
}

std::vector<Topic> AllTopics() {
    std::vector<Topic> all;
    for (const char* lang : kLanguages) {
        for (const char* t : kTopics) {
            all.push_back({lang, t});
        }
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, HelpTopic, ::testing::ValuesIn(AllTopics()));

TEST(HelpTopics, KeyboardPagesCarryTheMidiAnchor) {
    for (const char* lang : kLanguages) {
        EXPECT_TRUE(HasAnchor(ReadText(kHelp + lang + "/klavye.htm"), "MIDI")) << lang;
    }
}

TEST(HelpTopics, TurkishPagesAreTranslatedNotCopied) {
    for (const char* t : kTopics) {
        const std::string en = ReadText(kHelp + "en/" + t + ".htm");
        const std::string tr = ReadText(kHelp + "tur/" + t + ".htm");
        EXPECT_NE(en, tr) << t;
        EXPECT_NE(tr.find("lang=\"tr\""), std::string::npos) << t;
        // Turkish letters written as UTF-8 (ı, ş, ğ, ü, ö, ç or their capitals).
        EXPECT_TRUE(std::regex_search(tr, std::regex("\xC4\xB1|\xC5\x9F|\xC4\x9F|\xC3\xBC|\xC3\xB6|"
                                                     "\xC3\xA7|\xC4\xB0|\xC5\x9E")))
            << t;
    }
}

// ---- the help project ----

TEST(HelpProject, ListsEveryFileOfTheHelpAndNothingMissing) {
    const std::string hhp = ReadText(kHelp + "Melvora.hhp");
    const size_t files = hhp.find("[FILES]");
    ASSERT_NE(files, std::string::npos);
    std::set<std::string> listed;
    std::stringstream s(hhp.substr(files + 7));
    std::string line;
    while (std::getline(s, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '[') {
            continue;
        }
        EXPECT_TRUE(Exists(kHelp + line)) << line;
        listed.insert(line);
    }
    for (const char* lang : kLanguages) {
        for (const char* t : kTopics) {
            EXPECT_TRUE(listed.count(std::string(lang) + "/" + t + ".htm")) << lang << "/" << t;
        }
    }
    // Every picture a page shows is in the project, so the compiled file is complete.
    for (const auto& topic : AllTopics()) {
        const std::string html = ReadText(kHelp + topic.language + "/" + topic.name + ".htm");
        const std::regex pic("src=\"\\.\\./([^\"]+)\"");
        for (auto it = std::sregex_iterator(html.begin(), html.end(), pic);
             it != std::sregex_iterator(); ++it) {
            EXPECT_TRUE(listed.count((*it)[1].str())) << (*it)[1].str();
        }
    }
    EXPECT_NE(hhp.find("Default topic=en/index.htm"), std::string::npos);
}

TEST(HelpProject, ContentsAndIndexPointAtExistingTopicsInBothLanguages) {
    for (const char* file : {"Melvora.hhc", "Melvora.hhk"}) {
        const std::string text = ReadText(kHelp + file);
        const std::regex local("name=\"Local\" value=\"([^\"]+)\"");
        std::set<std::string> targets;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), local);
             it != std::sregex_iterator(); ++it) {
            targets.insert((*it)[1].str());
            EXPECT_EQ(CheckLink(".", (*it)[1].str(), file), "") << file << ": " << (*it)[1];
        }
        for (const char* lang : kLanguages) {
            EXPECT_TRUE(targets.count(std::string(lang) + "/klavye.htm#MIDI")) << file << lang;
        }
        // The viewer reads these two files in the project's code page: keep them ASCII.
        for (unsigned char c : text) {
            ASSERT_LT(c, 0x80) << file;
        }
    }
    const std::string toc = ReadText(kHelp + "Melvora.hhc");
    for (const char* lang : kLanguages) {
        for (const char* t : kTopics) {
            EXPECT_NE(toc.find(std::string("value=\"") + lang + "/" + t + ".htm\""),
                      std::string::npos)
                << lang << "/" << t;
        }
    }
}

// ---- the compiled file ----

TEST(CompiledHelp, ContainsEveryTopicInBothLanguagesWholeAndItsIndex) {
#ifdef MELVORA_HELP_FILE
    const std::string chm = ReadText(MELVORA_HELP_FILE);
    ASSERT_FALSE(chm.empty()) << MELVORA_HELP_FILE;
    std::map<std::string, ChmEntry> dir;
    ASSERT_TRUE(ReadChmDirectory(std::vector<uint8_t>(chm.begin(), chm.end()), &dir));
    for (const char* lang : kLanguages) {
        for (const char* t : kTopics) {
            const std::string rel = std::string(lang) + "/" + t + ".htm";
            ASSERT_TRUE(dir.count("/" + rel)) << rel;
            // The directory records the uncompressed length: the whole page went in.
            EXPECT_EQ(dir.at("/" + rel).length, ReadText(kHelp + rel).size()) << rel;
        }
    }
    EXPECT_TRUE(dir.count("/#SYSTEM"));
    EXPECT_TRUE(dir.count("/Melvora.hhc"));
    EXPECT_TRUE(dir.count("/$WWKeywordLinks/BTree"));  // the index was compiled
    EXPECT_TRUE(dir.count("/images/recordu.png"));
    EXPECT_EQ(dir.at("/melvora.css").length, ReadText(kHelp + "melvora.css").size());
#else
    GTEST_SKIP() << "chmcmd was not found, so Melvora.chm was not built";
#endif
}

TEST(ChmDirectoryReader, RejectsWrongSignaturesAndTruncatedFiles) {
    std::map<std::string, ChmEntry> dir;
    EXPECT_FALSE(ReadChmDirectory({}, &dir));
    std::vector<uint8_t> fake(0x100, 0);
    fake[0] = 'I';
    fake[1] = 'T';
    fake[2] = 'S';
    fake[3] = 'X';
    EXPECT_FALSE(ReadChmDirectory(fake, &dir));
    fake[3] = 'F';
    fake[0x48] = 0xF0;  // directory beyond the end of the file
    EXPECT_FALSE(ReadChmDirectory(fake, &dir));
#ifdef MELVORA_HELP_FILE
    const std::string chm = ReadText(MELVORA_HELP_FILE);
    std::vector<uint8_t> cut(chm.begin(), chm.begin() + std::min<size_t>(chm.size(), 0x200));
    EXPECT_FALSE(ReadChmDirectory(cut, &dir));
#endif
}

}  // namespace
}  // namespace melvora
