#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

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

const std::string kResources = std::string(MELVORA_SOURCE_DIR) + "/resources/";

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t Le32(const std::vector<uint8_t>& d, size_t at) {
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}

struct Bmp {
    bool valid = false;
    int width = 0;
    int height = 0;
    int bits = 0;
    std::vector<uint8_t> file;
    uint32_t dataOffset = 0;
    // Alpha (0..255) of pixel x, y counted from the top; 32-bit bitmaps only.
    int Alpha(int x, int y) const {
        const size_t stride = static_cast<size_t>(width) * 4;
        return file[dataOffset + stride * (height - 1 - y) + x * 4 + 3];
    }
};

// Reads an uncompressed bottom-up DIB file as the resource compiler embeds it.
Bmp ReadBmp(const std::string& path) {
    Bmp b;
    b.file = ReadBytes(path);
    const auto& d = b.file;
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M' || Le32(d, 14) != 40) {
        return b;
    }
    b.width = static_cast<int32_t>(Le32(d, 18));
    b.height = static_cast<int32_t>(Le32(d, 22));
    b.bits = d[28] | (d[29] << 8);
    const uint32_t compression = Le32(d, 30);
    b.dataOffset = Le32(d, 10);
    const size_t stride = ((static_cast<size_t>(b.width) * b.bits / 8) + 3) & ~size_t{3};
    b.valid = compression == 0 && b.width > 0 && b.height > 0 && (b.bits == 24 || b.bits == 32) &&
              Le32(d, 2) == d.size() && b.dataOffset + stride * b.height == d.size();
    return b;
}

struct RcScript {
    std::map<std::string, std::string> named;  // resource name -> file
    std::map<int, std::string> numbered;       // bitmap id -> file
    std::map<int, std::string> icons;
    std::vector<std::string> errors;
};

RcScript ParseBitmapsRc() {
    RcScript rc;
    std::ifstream in(kResources + "bitmaps.rc");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.rfind("//", 0) == 0) {
            continue;
        }
        std::istringstream s(line);
        std::string name;
        std::string type;
        std::string file;
        s >> name >> type >> file;
        if (file.size() < 3 || file.front() != '"' || file.back() != '"') {
            rc.errors.push_back(line);
            continue;
        }
        file = file.substr(1, file.size() - 2);
        const bool number = name.find_first_not_of("0123456789") == std::string::npos;
        if (type == "ICON" && number) {
            rc.icons[std::stoi(name)] = file;
        } else if (type == "BITMAP" && number) {
            if (!rc.numbered.emplace(std::stoi(name), file).second) {
                rc.errors.push_back("twice: " + name);
            }
        } else if (type == "BITMAP") {
            if (!rc.named.emplace(name, file).second) {
                rc.errors.push_back("twice: " + name);
            }
        } else {
            rc.errors.push_back(line);
        }
    }
    return rc;
}

const RcScript& Script() {
    static const RcScript rc = ParseBitmapsRc();
    return rc;
}

Bmp Numbered(int id) {
    auto it = Script().numbered.find(id);
    if (it == Script().numbered.end()) {
        ADD_FAILURE() << "no bitmap " << id;
        return Bmp();
    }
    return ReadBmp(kResources + it->second);
}

TEST(Bitmaps, ScriptReadsCleanly) {
    EXPECT_TRUE(Script().errors.empty()) << Script().errors.front();
    EXPECT_FALSE(Script().named.empty());
}

// ---- skins ----

struct Family {
    const char* name;
    std::vector<std::string> variants;
};

std::ostream& operator<<(std::ostream& os, const Family& f) {
    return os << f.name;
}

class SkinFamily : public ::testing::TestWithParam<Family> {};

TEST_P(SkinFamily, HasEveryVariantAsValidBitmapsOfOneSize) {
    const Family& f = GetParam();
    int width = -1;
    int height = -1;
    for (const std::string& v : f.variants) {
        const std::string name = f.name + v;
        auto it = Script().named.find(name);
        ASSERT_NE(it, Script().named.end()) << name;
        const Bmp b = ReadBmp(kResources + it->second);
        ASSERT_TRUE(b.valid) << it->second;
        EXPECT_EQ(b.bits, 24) << name;
        if (width < 0) {
            width = b.width;
            height = b.height;
        }
        EXPECT_EQ(b.width, width) << name;
        EXPECT_EQ(b.height, height) << name;
    }
}

const std::vector<std::string> kBox = {"U", "H", "D", "CU", "CH", "CD"};
const std::vector<std::string> kDeck = {"U", "H", "D", "X", "CU", "CH", "CD"};
const std::vector<std::string> kPlain = {"U", "D", "X"};

INSTANTIATE_TEST_SUITE_P(
    Skins, SkinFamily,
    ::testing::Values(Family{"CLOSE", kBox}, Family{"HELP", kBox}, Family{"MINIMIZE", kBox},
                      Family{"MAXIMIZE", kBox}, Family{"PLAY", kDeck}, Family{"PAUSE", kDeck},
                      Family{"STOP", kDeck}, Family{"RECORD", kDeck}, Family{"REWIND", kDeck},
                      Family{"EJECT", kDeck}, Family{"MENU", {"U", "H", "D", "CU"}},
                      Family{"EMPTY_BUTTON", kPlain}, Family{"SMALL_BUTTON", kPlain},
                      Family{"SWITCH", kDeck}));

TEST(Skins, TitleBoxesFitTheTitleRowAndTextButtonsTheMessageBoxLayout) {
    for (const char* name : {"CLOSEU", "HELPU", "MINIMIZEU", "MAXIMIZEU"}) {
        const Bmp b = ReadBmp(kResources + Script().named.at(name));
        EXPECT_EQ(b.width, 18) << name;
        EXPECT_EQ(b.height, 29) << name;
    }
    // The message box lays its buttons out as 75 x 23 and sizes them to the bitmap.
    const Bmp empty = ReadBmp(kResources + Script().named.at("EMPTY_BUTTONU"));
    EXPECT_EQ(empty.width, 75);
    EXPECT_EQ(empty.height, 23);
    // The deck buttons share one size so the deck rows line up.
    const Bmp play = ReadBmp(kResources + Script().named.at("PLAYU"));
    for (const char* name : {"PAUSEU", "STOPU", "RECORDU", "REWINDU", "EJECTU"}) {
        const Bmp b = ReadBmp(kResources + Script().named.at(name));
        EXPECT_EQ(b.width, play.width) << name;
        EXPECT_EQ(b.height, play.height) << name;
    }
}

TEST(Skins, VariantsDifferFromEachOther) {
    // A variant that repeats the normal look would make hover, pressed or latched invisible.
    for (const char* family : {"PLAY", "RECORD", "CLOSE", "MENU", "EMPTY_BUTTON"}) {
        std::set<std::vector<uint8_t>> seen;
        int count = 0;
        for (const auto& [name, file] : Script().named) {
            if (name.rfind(family, 0) == 0 && name.size() <= std::string(family).size() + 2 &&
                name.find('_', std::string(family).size()) == std::string::npos) {
                ++count;
                EXPECT_TRUE(seen.insert(ReadBytes(kResources + file)).second) << name;
            }
        }
        EXPECT_GE(count, 3) << family;
    }
}

// ---- numbered bitmaps ----

TEST(NumberedBitmaps, TitleBarPiecesAreTheHeightOfTheTitleRow) {
    for (int id : {185, 199, 375, 376}) {
        const Bmp b = Numbered(id);
        EXPECT_TRUE(b.valid) << id;
        EXPECT_EQ(b.height, 29) << id;
    }
}

TEST(NumberedBitmaps, SliderChannelPairsMatchAndThumbsCoverTheChannel) {
    // before, after, thumb, horizontal
    const int sliders[][4] = {
        {349, 348, 351, 1}, {354, 353, 351, 1}, {356, 355, 352, 0}, {347, 346, 329, 0}};
    for (const auto& s : sliders) {
        const Bmp before = Numbered(s[0]);
        const Bmp after = Numbered(s[1]);
        const Bmp thumb = Numbered(s[2]);
        ASSERT_TRUE(before.valid && after.valid && thumb.valid) << s[0];
        // The two images are spliced at the thumb, so they must overlay exactly.
        EXPECT_EQ(before.width, after.width) << s[0];
        EXPECT_EQ(before.height, after.height) << s[0];
        if (s[3]) {
            EXPECT_GT(before.width, before.height) << s[0];
            EXPECT_EQ(thumb.height, before.height) << s[2];
            EXPECT_EQ(thumb.width % 3, 0) << s[2];  // normal, hover, pressed side by side
            EXPECT_GT(thumb.width, thumb.height) << s[2];
        } else {
            EXPECT_LT(before.width, before.height) << s[0];
            EXPECT_EQ(thumb.width, before.width) << s[2];
            EXPECT_EQ(thumb.height % 3, 0) << s[2];  // frames stacked
            EXPECT_LT(thumb.width, thumb.height) << s[2];
        }
    }
}

bool PowerOfTwo(int v) {
    return v > 0 && (v & (v - 1)) == 0;
}

TEST(NumberedBitmaps, TexturesHaveTheirFormatsAndPowerOfTwoSizes) {
    const Bmp star = Numbered(341);
    EXPECT_EQ(star.width, 256);
    EXPECT_EQ(star.height, 256);
    EXPECT_EQ(star.bits, 32);
    for (int id = 331; id <= 338; ++id) {
        const Bmp b = Numbered(id);
        EXPECT_TRUE(b.valid) << id;
        EXPECT_EQ(b.bits, 32) << id;
        EXPECT_TRUE(PowerOfTwo(b.width) && PowerOfTwo(b.height)) << id;
    }
    const Bmp black = Numbered(210);
    EXPECT_EQ(black.width, 16);
    EXPECT_EQ(black.height, 128);
    EXPECT_EQ(black.bits, 24);
    const Bmp white = Numbered(211);
    EXPECT_EQ(white.width, 32);
    EXPECT_EQ(white.height, 128);
    EXPECT_EQ(white.bits, 24);
    EXPECT_TRUE(Numbered(382).valid);
}

TEST(NumberedBitmaps, PickingMasksCoverTheirGlyphsAndHalosSurroundThem) {
    // glyph, halo, mask
    const int sets[][3] = {{334, 333, 335}, {337, 336, 338}};
    for (const auto& s : sets) {
        const Bmp glyph = Numbered(s[0]);
        const Bmp halo = Numbered(s[1]);
        const Bmp mask = Numbered(s[2]);
        ASSERT_TRUE(glyph.valid && halo.valid && mask.valid);
        ASSERT_EQ(glyph.width, mask.width);
        ASSERT_EQ(glyph.height, mask.height);
        int inside = 0;
        for (int y = 0; y < glyph.height; ++y) {
            for (int x = 0; x < glyph.width; ++x) {
                if (glyph.Alpha(x, y) > 128) {
                    ++inside;
                    EXPECT_EQ(mask.Alpha(x, y), 255) << s[2] << " at " << x << "," << y;
                    EXPECT_GE(halo.Alpha(x, y), glyph.Alpha(x, y)) << s[1];
                }
            }
        }
        EXPECT_GT(inside, 50) << s[0];
        // The border stays transparent, so the clamped texture shows nothing beyond it.
        EXPECT_EQ(mask.Alpha(0, 0), 0);
        EXPECT_EQ(glyph.Alpha(glyph.width - 1, glyph.height - 1), 0);
    }
}

TEST(Icon, HasBig32AndSmall16Images) {
    ASSERT_TRUE(Script().icons.count(5));
    const auto d = ReadBytes(kResources + Script().icons.at(5));
    ASSERT_GE(d.size(), 6u + 32u);
    EXPECT_EQ(d[2] | (d[3] << 8), 1);  // icon, not cursor
    ASSERT_EQ(d[4] | (d[5] << 8), 2);
    EXPECT_EQ(d[6], 32);
    EXPECT_EQ(d[6 + 16], 16);
    for (int k = 0; k < 2; ++k) {
        const uint32_t size = Le32(d, 6 + 16 * k + 8);
        const uint32_t offset = Le32(d, 6 + 16 * k + 12);
        EXPECT_LE(static_cast<size_t>(offset) + size, d.size());
        EXPECT_EQ(Le32(d, offset), 40u);  // a BITMAPINFOHEADER
    }
}

// ---- the generator ----

// The committed pictures are exactly what the generator draws, so nobody edits them by hand
// and the generator stays the single source of the look.
TEST(SkinGenerator, RebuildsTheCommittedFilesByteForByte) {
    if (std::system("python3 --version > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "python3 is not installed";
    }
    const std::string dir = UniqueTempDir();
    const std::string out = dir + "skins";
    const std::string cmd = "rm -rf \"" + out + "\" && python3 \"" + MELVORA_SOURCE_DIR +
                            "/tools/skins/make_skins.py\" \"" + out + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(ReadBytes(out + "/bitmaps.rc"), ReadBytes(kResources + "bitmaps.rc"));
    std::vector<std::string> files;
    for (const auto& [name, file] : Script().named) {
        files.push_back(file);
    }
    for (const auto& [id, file] : Script().numbered) {
        files.push_back(file);
    }
    files.push_back(Script().icons.at(5));
    for (const std::string& file : files) {
        EXPECT_EQ(ReadBytes(out + "/" + file), ReadBytes(kResources + file)) << file;
    }
    std::system(("rm -rf \"" + dir + "\"").c_str());
}

TEST(SkinGenerator, ScriptCompilesWithTheResourceCompiler) {
#ifdef MELVORA_WINDRES
    const std::string dir = UniqueTempDir();
    const std::string out = dir + "bitmaps.o";
    const std::string cmd = std::string("\"") + MELVORA_WINDRES + "\" \"" + kResources +
                            "bitmaps.rc\" -O coff -o \"" + out + "\"";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    std::remove(out.c_str());
    std::remove(dir.c_str());
#else
    GTEST_SKIP() << "no mingw windres on this machine";
#endif
}

}  // namespace
}  // namespace melvora
