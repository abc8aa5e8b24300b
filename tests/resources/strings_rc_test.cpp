#include "resources/rc_string_table.h"

#include "string_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace melvora {
namespace {

// A fresh folder of its own: other builds on the machine may run the same tests at once.
std::string UniqueTempDir() {
    std::string pattern = testing::TempDir() + "melvora_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "mkdtemp failed";
        return testing::TempDir();
    }
    return pattern + "/";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::u16string U16(const char* utf8) {
    std::u16string out;
    EXPECT_TRUE(DecodeUtf8(utf8, &out)) << utf8;
    return out;
}

const RcStringTable& Table() {
    static const RcStringTable table =
        ParseRcStringTable(ReadFile(std::string(MELVORA_SOURCE_DIR) + "/resources/strings.rc"));
    return table;
}

std::map<int, std::u16string> TableMap() {
    std::map<int, std::u16string> m;
    for (const RcString& e : Table().entries) {
        m[e.id] = e.text;
    }
    return m;
}

// ---- The whole table ----

TEST(StringTable, ParsesWithoutErrorsAndDeclaresUtf8) {
    EXPECT_TRUE(Table().errors.empty()) << Table().errors.front();
    EXPECT_TRUE(Table().hasUtf8CodePage);
    EXPECT_GT(Table().entries.size(), 200u);
}

TEST(StringTable, NoIdAppearsTwice) {
    std::set<int> seen;
    for (const RcString& e : Table().entries) {
        EXPECT_TRUE(seen.insert(e.id).second) << "id " << e.id << " again on line " << e.line;
    }
}

TEST(StringTable, EveryEnglishIdHasItsTurkishPartnerAndBack) {
    const auto m = TableMap();
    for (const auto& [id, text] : m) {
        if (id < 1000) {
            EXPECT_TRUE(m.count(id + 1000)) << "no Turkish text for " << id;
        } else {
            EXPECT_LT(id, 2000) << "id " << id << " is outside both languages";
            EXPECT_TRUE(m.count(id - 1000)) << "Turkish " << id << " has no English " << id - 1000;
        }
    }
}

TEST(StringTable, TextsFitTheLookupAndAreNotEmpty) {
    for (const RcString& e : Table().entries) {
        EXPECT_LE(e.text.size(), 256u) << "id " << e.id;
        EXPECT_FALSE(e.text.empty()) << "id " << e.id;
    }
}

TEST(StringTable, BothLanguagesKeepTheSamePrintfConversions) {
    const auto m = TableMap();
    for (const auto& [id, text] : m) {
        if (id >= 1000 || !m.count(id + 1000)) {
            continue;
        }
        EXPECT_EQ(PrintfConversions(text), PrintfConversions(m.at(id + 1000))) << "id " << id;
    }
}

TEST(StringTable, BothLanguagesKeepTheSameLineBreaks) {
    const auto m = TableMap();
    for (const auto& [id, text] : m) {
        if (id >= 1000 || !m.count(id + 1000)) {
            continue;
        }
        const auto lines = [](const std::u16string& s) {
            return std::count(s.begin(), s.end(), u'\n');
        };
        // The about text may wrap differently; everything else is laid out by format.
        if (id != IDS_ABOUT_TEXT) {
            EXPECT_EQ(lines(text), lines(m.at(id + 1000))) << "id " << id;
        }
    }
}

// ---- The ids the windows ask for, with the texts they quote ----

struct Required {
    int id;
    const char* english;  // nullptr: the text is ours to write
    const char* turkish;  // nullptr: the text is ours to write
};

std::ostream& operator<<(std::ostream& os, const Required& r) {
    return os << "id " << r.id;
}

class RequiredString : public ::testing::TestWithParam<Required> {};

TEST_P(RequiredString, IsPresentInBothLanguagesWithItsText) {
    const Required& r = GetParam();
    const auto m = TableMap();
    ASSERT_TRUE(m.count(r.id));
    ASSERT_TRUE(m.count(r.id + 1000));
    if (r.english != nullptr) {
        EXPECT_EQ(m.at(r.id), U16(r.english));
    }
    if (r.turkish != nullptr) {
        EXPECT_EQ(m.at(r.id + 1000), U16(r.turkish));
    }
}

const Required kRequired[] = {
    {102, "Play", nullptr},
    {103, "Pause", nullptr},
    {104, "Stop", nullptr},
    {105, "Open File", nullptr},
    {106, nullptr, nullptr},
    {107, "Change Tempo (Only for MIDI Files)", nullptr},
    {108, nullptr, nullptr},
    {109, nullptr, nullptr},
    {110, nullptr, nullptr},
    {111, nullptr, nullptr},
    {112, "System Volume", nullptr},
    {113, "Input Gain (Auto-adjusts) For the Selected Input", nullptr},
    {114, "Voice Activation Sensitivity", nullptr},
    {115, "Amplitude", nullptr},
    {116, nullptr, "Ses Kalitesi - Yüksek Harmoniklerdeki Enerji Oranı"},
    {117, "Recording Position", nullptr},
    {118, "Playing Position", nullptr},
    {119, "Retry This Step And Make A New Recording", nullptr},
    {120, "Advance To The Next Step", nullptr},
    {121, "Begin The Exercise", nullptr},
    {122, "Finish The Exercise And See The Final Analysis Results", nullptr},
    {123, "Position", nullptr},
    {124, "Save && Exit", nullptr},
    {125, "Melvora", nullptr},
    {126, "Stop Recording", nullptr},
    {127, "Stop Playing", nullptr},
    {128, "Exit", nullptr},
    {129, "Start A New Exercise", nullptr},
    {130, "Restart The Exercise", nullptr},
    {131, "No OpenGL context could be created!", nullptr},
    {132, "Record", "Kayıt"},
    {133, "Select MIDI Input", nullptr},
    {134, "Replay", "Çalma"},
    {135, "File", "Dosya"},
    {136, "File", "Dosya"},
    {137, "Select Input Device", nullptr},
    {138, "OK", "Tamam"},
    {139, "Cancel", "İptal"},
    {140, "Recorded So Far", nullptr},
    {141, "Media Player", nullptr},
    {142, "MIDI Beat", nullptr},
    {143, "Close", nullptr},
    {144, "View", "Görüntü"},
    {145, "Help", "Yardım"},
    {146, "Device", nullptr},
    {147, "Yes", "Evet"},
    {148, "Staff", nullptr},
    {149, "Keyboard", nullptr},
    {151, "Analysis", nullptr},
    {152, "Navigate Position", nullptr},
    {153, nullptr, nullptr},
    {154, "OUT", nullptr},
    {155, "IN", nullptr},
    {156, "VAD", nullptr},
    {157, "Jitter - A Measure of Smoothness of Your Pitch", nullptr},
    {158, "Shimmer - A Measure of Smoothness of Amplitude", nullptr},
    {160, "Detected Pitch in Hz.", nullptr},
    {161, "Tessim Animation", nullptr},
    {162, "Jitter Animation", nullptr},
    {163, "Shimmer Animation", nullptr},
    {164, "Detected Musical Note", nullptr},
    {166, "Pitch", nullptr},
    {167, "Tessim", nullptr},
    {168, "Jitter", nullptr},
    {169, "Shimmer", nullptr},
    {170, "Options", nullptr},
    {176, "Docking Windows", nullptr},
    {177, "With this option enabled, Melvora windows stick to the main window and move with it.",
     nullptr},
    {178, "Represent Notes with Letters", nullptr},
    {179,
     "With this option enabled, musical notes are represented with letters (C, D, E, ..). "
     "Otherwise, \"Italian\" names are used (Do, Re, Mi, ..).",
     nullptr},
    {180, "Play-Along Mode", nullptr},
    {181,
     "With this option enabled, the Melvora plays along as you sing. The instrument used by the "
     "Melvora may be changed via the Device menu on the Keyboard window.",
     nullptr},
    {182, "PC Keyboard Layout", nullptr},
    {183,
     "Set a layout for your PC keyboard for playing the Melvora's MIDI keyboard. (The octave "
     "corresponding to your PC keys can be set with the function keys (F2 thru F8).",
     nullptr},
    {184, "Single Row", nullptr},
    {185,
     "The row containing the \"A, S, D, ..\" keys, along with the row above it for the black keys.",
     nullptr},
    {186, "Double Row", nullptr},
    {187,
     "The row containing the \"Q, W, E, ..\" keys for the lower octave and the row containing "
     "\"Z, X, C, ..\" for the higher octave, along with the rows above them for the black keys.",
     nullptr},
    {188, "Language", nullptr},
    {189, "Choose Melvora language.", nullptr},
    {191, "Help", nullptr},
    {208, "View", nullptr},
    {209, "Choose one of the provided animation for the Analysis window.", nullptr},
    {210, "Circle", nullptr},
    {211, "Circle 2", nullptr},
    {212, "3D Circle", nullptr},
    {213, "3D Knife", nullptr},
    {214, "Star (Default)", nullptr},
    {215, "Star 2", nullptr},
    {216, "Could not select OpenGL context as current!", nullptr},
    {217, "ChoosePixelFormat failed!", nullptr},
    {218, "SetPixelFormat failed!", nullptr},
    {219, "Cannot open MIDI input device!", nullptr},
    {220, "Cannot open MIDI output device!", nullptr},
    {221, "Cannot start MIDI input device!", nullptr},
    {222, "Cannot close MIDI output device!\nFile will not play.", nullptr},
    {223, "Cannot reopen MIDI output device!\nThe Keyboard window will not work.", nullptr},
    {224, "MCI error!", nullptr},
    {226, "No", nullptr},
    {227, "MIDI Volume", nullptr},
    {228,
     "The playing volume of the MIDI keyboard can be increased or decreased. (This does not "
     "effect an external MIDI device.)",
     nullptr},
    {229, "Low", nullptr},
    {230, "Medium", nullptr},
    {231, "High", nullptr},
    {232, "Retry", nullptr},
    {233, "Abort", nullptr},
    {234, "Ignore", nullptr},
    {235, "Do you wish to continue the exercise you started on", nullptr},
    {236, "Error", nullptr},
    {237, "Error while moving file!", nullptr},
    {238, "File", nullptr},
    {239, "Target", nullptr},
    {240, "Do you wish to save your recordings?", nullptr},
    {241, "Exit", nullptr},
    {242, "Are you sure?", nullptr},
    {243, "Save", nullptr},
    {244, "Please Select Your Preferred MIDI Input Device", nullptr},
    {258, nullptr, nullptr},
    {259, "MIDI Input", nullptr},
    {260,
     "Use this menu to change your MIDI input device. Don't forget to click Set to apply your "
     "choice.",
     nullptr},
    {261, "Set", nullptr},
    {262, "MIDI not available..", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Windows, RequiredString, ::testing::ValuesIn(kRequired));

// Every named id of string_ids.h exists, so code using the names finds a text.
TEST(StringIds, EveryNamedIdIsInTheTable) {
    const auto m = TableMap();
    const int ids[] = {IDS_PLAY,
                       IDS_CLOSE,
                       IDS_HELP,
                       IDS_OK,
                       IDS_CANCEL,
                       IDS_YES,
                       IDS_NO,
                       IDS_RETRY,
                       IDS_ABORT,
                       IDS_IGNORE,
                       IDS_ABOUT_TEXT,
                       IDS_RECORDED_SO_FAR,
                       IDS_VOLUME,
                       IDS_FMT_CONTINUE_QUESTION,
                       IDS_FMT_STEP_RESULTS,
                       IDS_FILTER_WAVE};
    for (int id : ids) {
        EXPECT_TRUE(m.count(id)) << id;
    }
    // The header is the complete list: each #define names an entry.
    const std::string header =
        ReadFile(std::string(MELVORA_SOURCE_DIR) + "/resources/string_ids.h");
    std::istringstream lines(header);
    std::string line;
    int named = 0;
    while (std::getline(lines, line)) {
        char name[80];
        int id = 0;
        if (std::sscanf(line.c_str(), "#define %79s %d", name, &id) == 2) {
            ++named;
            EXPECT_TRUE(m.count(id)) << name << " " << id;
            EXPECT_LT(id, 1000) << name;
        }
    }
    EXPECT_GT(named, 150);
}

// ---- What the resource compiler stores ----

// Compiles the script with the mingw resource compiler and compares every stored UTF-16
// text with the script's UTF-8 text, so Turkish letters are proven to survive the build.
TEST(StringTableCompiled, WindresStoresTheTurkishLettersUnchanged) {
#ifdef MELVORA_WINDRES
    const std::string dir = UniqueTempDir();
    const std::string out = dir + "strings.res";
    const std::string cmd = std::string("\"") + MELVORA_WINDRES + "\" \"" + MELVORA_SOURCE_DIR +
                            "/resources/strings.rc\" -O res -o \"" + out + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const std::string bytes = ReadFile(out);
    std::map<int, std::u16string> stored;
    ASSERT_TRUE(ReadResStrings(std::vector<uint8_t>(bytes.begin(), bytes.end()), &stored));
    const auto m = TableMap();
    EXPECT_EQ(stored.size(), m.size());
    for (const auto& [id, text] : m) {
        ASSERT_TRUE(stored.count(id)) << id;
        EXPECT_EQ(stored.at(id), text) << "id " << id;
    }
    EXPECT_EQ(stored.at(1139), U16("İptal"));
    EXPECT_EQ(stored.at(1144), U16("Görüntü"));
    std::remove(out.c_str());
    std::remove(dir.c_str());
#else
    GTEST_SKIP() << "no mingw windres on this machine";
#endif
}

// ---- The parser itself, on small scripts ----

TEST(RcParser, ReadsEscapesDoubledQuotesAndUtf8) {
    const RcStringTable t = ParseRcStringTable(
        "#pragma code_page(65001)\nSTRINGTABLE\nBEGIN\n  5 \"a\\nb\"\"c\"\"\\t%s\"  // x\n"
        "  1005 \"\xC4\xB0ptal\"\nEND\n");
    ASSERT_TRUE(t.errors.empty());
    ASSERT_EQ(t.entries.size(), 2u);
    EXPECT_EQ(t.entries[0].text, u"a\nb\"c\"\t%s");
    EXPECT_EQ(t.entries[1].text, u"\u0130ptal");
}

TEST(RcParser, ReportsUnclosedQuotesBadUtf8AndMissingEnd) {
    EXPECT_FALSE(ParseRcStringTable("STRINGTABLE\nBEGIN\n 5 \"open\nEND\n").errors.empty());
    EXPECT_FALSE(ParseRcStringTable("STRINGTABLE\nBEGIN\n 5 \"\xC4\"\nEND\n").errors.empty());
    EXPECT_FALSE(ParseRcStringTable("STRINGTABLE\nBEGIN\n 5 \"x\"\n").errors.empty());
    EXPECT_FALSE(ParseRcStringTable("STRINGTABLE\nBEGIN\n five \"x\"\nEND\n").errors.empty());
}

TEST(RcParser, FindsPrintfConversionsInOrder) {
    EXPECT_EQ(PrintfConversions(u"%4d:%02d  / %s"),
              (std::vector<std::string>{"%4d", "%02d", "%s"}));
    EXPECT_EQ(PrintfConversions(u"100%% sure %.2f"), (std::vector<std::string>{"%.2f"}));
    EXPECT_NE(PrintfConversions(u"%d %s"), PrintfConversions(u"%s %d"));
}

TEST(RcParser, RejectsTruncatedResFiles) {
    std::map<int, std::u16string> out;
    const std::vector<uint8_t> bad = {0xFF, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 6, 0};
    EXPECT_FALSE(ReadResStrings(bad, &out));
}

}  // namespace
}  // namespace melvora
