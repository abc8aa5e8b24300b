#include "resources/rc_string_table.h"

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

std::u16string U16(const char* utf8) {
    std::u16string out;
    EXPECT_TRUE(DecodeUtf8(utf8, &out)) << utf8;
    return out;
}

const RcStringTable& Table() {
    static const RcStringTable table = ParseRcStringTable(ReadFileText(kResources + "strings.rc"));
    return table;
}

std::map<int, std::u16string> TableMap() {
    std::map<int, std::u16string> m;
    for (const RcString& e : Table().entries) {
        m[e.id] = e.text;
    }
    return m;
}

TEST(StringTable, IsWellFormedUtf8WithUniqueIdsOfBoundedLength) {
    ASSERT_TRUE(Table().errors.empty()) << Table().errors.front();
    EXPECT_NE(ReadFileText(kResources + "strings.rc").find("#pragma code_page(65001)"),
              std::string::npos);
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
    const auto lines = [](const std::u16string& s) {
        return std::count(s.begin(), s.end(), u'\n');
    };
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

// The texts the windows quote, as they must read (Turkish ones at id + 1000).
TEST(StringTable, HoldsTheQuotedTexts) {
    const struct {
        int id;
        const char* text;
    } kQuoted[] = {
        // clang-format off
        {102, "Play"}, {103, "Pause"}, {104, "Stop"}, {105, "Open File"},
        {107, "Change Tempo (Only for MIDI Files)"}, {112, "System Volume"},
        {113, "Input Gain (Auto-adjusts) For the Selected Input"},
        {114, "Voice Activation Sensitivity"}, {115, "Amplitude"},
        {1116, "Ses Kalitesi - Yüksek Harmoniklerdeki Enerji Oranı"}, {117, "Recording Position"},
        {118, "Playing Position"}, {119, "Retry This Step And Make A New Recording"},
        {120, "Advance To The Next Step"}, {121, "Begin The Exercise"},
        {122, "Finish The Exercise And See The Final Analysis Results"}, {123, "Position"},
        {124, "Save && Exit"}, {125, "Melvora"}, {126, "Stop Recording"}, {127, "Stop Playing"},
        {128, "Exit"}, {129, "Start A New Exercise"}, {130, "Restart The Exercise"},
        {131, "No OpenGL context could be created!"}, {132, "Record"}, {1132, "Kayıt"},
        {133, "Select MIDI Input"}, {134, "Replay"}, {1134, "Çalma"}, {135, "File"},
        {1135, "Dosya"}, {136, "File"}, {1136, "Dosya"}, {137, "Select Input Device"}, {138, "OK"},
        {1138, "Tamam"}, {139, "Cancel"}, {1139, "İptal"}, {140, "Recorded So Far"},
        {141, "Media Player"}, {142, "MIDI Beat"}, {143, "Close"}, {144, "View"}, {1144, "Görüntü"},
        {145, "Help"}, {1145, "Yardım"}, {146, "Device"}, {147, "Yes"}, {1147, "Evet"},
        {148, "Staff"}, {149, "Keyboard"}, {151, "Analysis"}, {152, "Navigate Position"},
        {154, "OUT"}, {155, "IN"}, {156, "VAD"},
        {157, "Jitter - A Measure of Smoothness of Your Pitch"},
        {158, "Shimmer - A Measure of Smoothness of Amplitude"}, {160, "Detected Pitch in Hz."},
        {161, "Tessim Animation"}, {162, "Jitter Animation"}, {163, "Shimmer Animation"},
        {164, "Detected Musical Note"}, {166, "Pitch"}, {167, "Tessim"}, {168, "Jitter"},
        {169, "Shimmer"}, {170, "Options"}, {176, "Docking Windows"},
        {177, "With this option enabled, Melvora windows stick to the main window and move with "
            "it."},
        {178, "Represent Notes with Letters"},
        {179, "With this option enabled, musical notes are represented with letters (C, D, E, "
            "..). Otherwise, \"Italian\" names are used (Do, Re, Mi, ..)."},
        {180, "Play-Along Mode"},
        {181, "With this option enabled, the Melvora plays along as you sing. The instrument "
            "used by the Melvora may be changed via the Device menu on the Keyboard window."},
        {182, "PC Keyboard Layout"},
        {183, "Set a layout for your PC keyboard for playing the Melvora's MIDI keyboard. (The "
            "octave corresponding to your PC keys can be set with the function keys (F2 thru F8)."},
        {184, "Single Row"},
        {185, "The row containing the \"A, S, D, ..\" keys, along with the row above it for the "
            "black keys."},
        {186, "Double Row"},
        {187, "The row containing the \"Q, W, E, ..\" keys for the lower octave and the row "
            "containing \"Z, X, C, ..\" for the higher octave, along with the rows above them "
            "for the black keys."},
        {188, "Language"}, {189, "Choose Melvora language."}, {191, "Help"}, {208, "View"},
        {209, "Choose one of the provided animation for the Analysis window."}, {210, "Circle"},
        {211, "Circle 2"}, {212, "3D Circle"}, {213, "3D Knife"}, {214, "Star (Default)"},
        {215, "Star 2"}, {216, "Could not select OpenGL context as current!"},
        {217, "ChoosePixelFormat failed!"}, {218, "SetPixelFormat failed!"},
        {219, "Cannot open MIDI input device!"}, {220, "Cannot open MIDI output device!"},
        {221, "Cannot start MIDI input device!"},
        {222, "Cannot close MIDI output device!\nFile will not play."},
        {223, "Cannot reopen MIDI output device!\nThe Keyboard window will not work."},
        {224, "MCI error!"}, {226, "No"}, {227, "MIDI Volume"},
        {228, "The playing volume of the MIDI keyboard can be increased or decreased. (This does "
            "not effect an external MIDI device.)"},
        {229, "Low"}, {230, "Medium"}, {231, "High"}, {232, "Retry"}, {233, "Abort"},
        {234, "Ignore"}, {235, "Do you wish to continue the exercise you started on"},
        {236, "Error"}, {237, "Error while moving file!"}, {238, "File"}, {239, "Target"},
        {240, "Do you wish to save your recordings?"}, {241, "Exit"}, {242, "Are you sure?"},
        {243, "Save"}, {244, "Please Select Your Preferred MIDI Input Device"}, {259, "MIDI Input"},
        {260, "Use this menu to change your MIDI input device. Don't forget to click Set to "
            "apply your choice."},
        {261, "Set"}, {262, "MIDI not available.."},
        // clang-format on
    };
    const auto m = TableMap();
    for (const auto& q : kQuoted) {
        ASSERT_TRUE(m.count(q.id)) << q.id;
        EXPECT_EQ(m.at(q.id), U16(q.text)) << q.id;
    }
}

// string_ids.h is the complete list of names: each #define names an English entry.
TEST(StringTable, EveryNamedIdIsInTheTable) {
    const auto m = TableMap();
    const std::string header = ReadFileText(kResources + "string_ids.h");
    const std::regex define("#define (\\w+) (\\d+)");
    int named = 0;
    for (auto it = std::sregex_iterator(header.begin(), header.end(), define);
         it != std::sregex_iterator(); ++it, ++named) {
        const int id = std::stoi((*it)[2]);
        EXPECT_TRUE(m.count(id) && id < 1000) << (*it)[1] << " " << id;
    }
    EXPECT_GT(named, 150);
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
    std::map<int, std::u16string> stored;
    ASSERT_TRUE(ReadResStrings(std::vector<uint8_t>(bytes.begin(), bytes.end()), &stored));
    EXPECT_EQ(stored, TableMap());
    EXPECT_FALSE(ReadResStrings({0xFF, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 6, 0}, &stored));
    std::remove(out.c_str());
    std::remove(dir.c_str());
#else
    GTEST_SKIP() << "no mingw windres on this machine";
#endif
}

// The readers the checks above rely on.
TEST(RcParser, ReadsEscapesAndUtf8AndReportsBadEntries) {
    const RcStringTable t = ParseRcStringTable(
        "STRINGTABLE\nBEGIN\n  5 \"a\\nb\"\"c\"\"\\t%s\"  // x\n  1005 \"\xC4\xB0ptal\"\nEND\n");
    ASSERT_TRUE(t.errors.empty());
    ASSERT_EQ(t.entries.size(), 2u);
    EXPECT_EQ(t.entries[0].text, u"a\nb\"c\"\t%s");
    EXPECT_EQ(t.entries[1].text, u"\u0130ptal");
    for (const char* bad : {"BEGIN\n 5 \"open\nEND\n", "BEGIN\n 5 \"\xC4\"\nEND\n",
                            "BEGIN\n 5 \"x\"\n", "BEGIN\n five \"x\"\nEND\n",
                            "BEGIN\n 5 \"\xC0\xAF\"\nEND\n", "BEGIN\n 5 \"a\\q\"\nEND\n"}) {
        EXPECT_FALSE(ParseRcStringTable(std::string("STRINGTABLE\n") + bad).errors.empty()) << bad;
    }
    EXPECT_EQ(PrintfConversions(u"%4d:%02d 100%% / %s %.2f"),
              (std::vector<std::string>{"%4d", "%02d", "%s", "%.2f"}));
}

}  // namespace
}  // namespace melvora
