#include <gtest/gtest.h>

#include "resource_ids.h"
#include "resources/rc_script.h"
#include "resources/rc_string_table.h"

#include <cstdint>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace melvora {
namespace {

const std::string kResources = std::string(MELVORA_SOURCE_DIR) + "/resources/";

std::vector<uint8_t> ReadBytes(const std::string& path) {
    const std::string text = ReadFileText(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

uint32_t Le32(const std::vector<uint8_t>& d, size_t at) {
    return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}

// An uncompressed bottom-up DIB file as the resource compiler embeds it.
struct Bmp {
    bool valid = false;
    int width = 0, height = 0, bits = 0;
    std::vector<uint8_t> file;
    // Alpha (0..255) of pixel x, y counted from the top; 32-bit bitmaps only.
    int Alpha(int x, int y) const {
        return file[Le32(file, 10) + static_cast<size_t>(width) * 4 * (height - 1 - y) + x * 4 + 3];
    }
};

// bitmaps.rc: `<name> BITMAP|ICON "<file>"` lines, numbered resources by their number.
std::map<std::string, std::string>& Files() {
    static std::map<std::string, std::string> files = [] {
        const auto ids = ParseIdDefines(ReadFileText(kResources + "resource_ids.h"));
        std::map<std::string, std::string> r;
        const std::string rc = ReadFileText(kResources + "bitmaps.rc");
        const std::regex line(R"((\w+) +(BITMAP|ICON) +\"([^\"]+)\")");
        for (auto it = std::sregex_iterator(rc.begin(), rc.end(), line);
             it != std::sregex_iterator(); ++it) {
            const auto id = ids.find((*it)[1]);
            const std::string name = id != ids.end() ? std::to_string(id->second) : (*it)[1].str();
            EXPECT_TRUE(r.emplace(name, (*it)[3]).second) << name << " twice";
        }
        return r;
    }();
    return files;
}

Bmp Bitmap(const std::string& name) {
    Bmp b;
    if (Files().count(name) == 0) {
        ADD_FAILURE() << "no bitmap " << name;
        return b;
    }
    b.file = ReadBytes(kResources + Files()[name]);
    const auto& d = b.file;
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M' || Le32(d, 14) != 40) {
        return b;
    }
    b.width = static_cast<int32_t>(Le32(d, 18));
    b.height = static_cast<int32_t>(Le32(d, 22));
    b.bits = d[28] | (d[29] << 8);
    const size_t stride = ((static_cast<size_t>(b.width) * b.bits / 8) + 3) & ~size_t{3};
    b.valid = Le32(d, 30) == 0 && b.width > 0 && b.height > 0 && (b.bits == 24 || b.bits == 32) &&
              Le32(d, 2) == d.size() && Le32(d, 10) + stride * b.height == d.size();
    return b;
}
Bmp Bitmap(int id) {
    return Bitmap(std::to_string(id));
}

// Every skin family has all its variants as distinct 24-bit bitmaps of one size (a repeated
// look would make hover, pressed or latched invisible), and the sizes fit their layouts.
TEST(Skins, EveryFamilyHasDistinctVariantsOfOneSize) {
    using Variants = std::vector<std::string>;
    const Variants box = {"U", "H", "D", "CU", "CH", "CD"}, plain = {"U", "D", "X"};
    const Variants deck = {"U", "H", "D", "X", "CU", "CH", "CD"};
    const std::map<std::string, Variants> families = {
        {"CLOSE", box},          {"HELP", box},          {"MINIMIZE", box},
        {"MAXIMIZE", box},       {"PLAY", deck},         {"PAUSE", deck},
        {"STOP", deck},          {"RECORD", deck},       {"REWIND", deck},
        {"EJECT", deck},         {"SWITCH", deck},       {"MENU", {"U", "H", "D", "CU"}},
        {"EMPTY_BUTTON", plain}, {"SMALL_BUTTON", plain}};
    std::map<std::string, std::pair<int, int>> sizes;
    for (const auto& [family, variants] : families) {
        std::set<std::vector<uint8_t>> looks;
        for (const std::string& v : variants) {
            SCOPED_TRACE(family + v);
            const Bmp b = Bitmap(family + v);
            ASSERT_TRUE(b.valid);
            EXPECT_EQ(b.bits, 24);
            EXPECT_TRUE(looks.insert(b.file).second);
            const auto size = sizes.emplace(family, std::make_pair(b.width, b.height)).first;
            EXPECT_EQ(std::make_pair(b.width, b.height), size->second);
        }
    }
    // Title boxes fill the title row; the message box lays its buttons out as 75 x 23; the
    // deck buttons share one size so the deck rows line up.
    for (const char* title : {"CLOSE", "HELP", "MINIMIZE", "MAXIMIZE"}) {
        EXPECT_EQ(sizes[title], std::make_pair(18, 29)) << title;
    }
    EXPECT_EQ(sizes["EMPTY_BUTTON"], std::make_pair(75, 23));
    for (const char* button : {"PAUSE", "STOP", "RECORD", "REWIND", "EJECT"}) {
        EXPECT_EQ(sizes[button], sizes["PLAY"]) << button;
    }
}

TEST(NumberedBitmaps, HaveTheSizesAndFormatsTheirUsersExpect) {
    const auto powerOfTwo = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
    for (const int id :
         {IDB_TITLE_ACTIVE, IDB_TITLE_INACTIVE, IDB_TITLE_END_INACTIVE, IDB_TITLE_END_ACTIVE}) {
        EXPECT_TRUE(Bitmap(id).valid && Bitmap(id).height == 29) << id;  // title bar pieces
    }
    // Textures: id, width, height (0: any power of two), bits.
    const int textures[][4] = {
        {IDB_STAR, 256, 256, 32},  {IDB_KEY_BLACK, 16, 128, 24}, {IDB_KEY_WHITE, 32, 128, 24},
        {IDB_CLEF_HALO, 0, 0, 32}, {IDB_CLEF, 0, 0, 32},         {IDB_NOTE_HALO, 0, 0, 32},
        {IDB_NOTE, 0, 0, 32},      {IDB_NOTE_MASK, 0, 0, 32},    {IDB_SHARP_HALO, 0, 0, 32},
        {IDB_SHARP, 0, 0, 32},     {IDB_SHARP_MASK, 0, 0, 32}};
    for (const auto& t : textures) {
        const Bmp b = Bitmap(t[0]);
        EXPECT_TRUE(b.valid && b.bits == t[3]) << t[0];
        EXPECT_TRUE(t[1] ? b.width == t[1] && b.height == t[2]
                         : powerOfTwo(b.width) && powerOfTwo(b.height))
            << t[0] << ": " << b.width << " x " << b.height;
    }
    EXPECT_TRUE(Bitmap(IDB_ABOUT_PICTURE).valid);
    // Slider channels (before, after, thumb, horizontal) are spliced at the thumb, so the two
    // images must overlay exactly; the thumb spans the channel with normal, hover and pressed
    // frames along it.
    const int sliders[][4] = {
        {IDB_SLIDER_POSITION_BEFORE, IDB_SLIDER_POSITION_AFTER, IDB_THUMB_HORIZONTAL, 1},
        {IDB_SLIDER_MEDIA_BEFORE, IDB_SLIDER_MEDIA_AFTER, IDB_THUMB_HORIZONTAL, 1},
        {IDB_SLIDER_TEMPO_BEFORE, IDB_SLIDER_TEMPO_AFTER, IDB_THUMB_TEMPO, 0},
        {IDB_SLIDER_VOLUME_BEFORE, IDB_SLIDER_VOLUME_AFTER, IDB_THUMB_VOLUME, 0}};
    for (const auto& s : sliders) {
        SCOPED_TRACE(s[0]);
        const Bmp before = Bitmap(s[0]), after = Bitmap(s[1]), thumb = Bitmap(s[2]);
        ASSERT_TRUE(before.valid && after.valid && thumb.valid);
        EXPECT_EQ(std::make_pair(before.width, before.height),
                  std::make_pair(after.width, after.height));
        const auto along = [&](const Bmp& b) { return s[3] ? b.width : b.height; };
        const auto across = [&](const Bmp& b) { return s[3] ? b.height : b.width; };
        EXPECT_GT(along(before), across(before));
        EXPECT_EQ(across(thumb), across(before));
        EXPECT_EQ(along(thumb) % 3, 0);
        EXPECT_GT(along(thumb), across(thumb));
    }
}

TEST(NumberedBitmaps, PickingMasksCoverTheirGlyphsAndHalosSurroundThem) {
    for (const auto& s : {std::vector<int>{IDB_NOTE, IDB_NOTE_HALO, IDB_NOTE_MASK},
                          {IDB_SHARP, IDB_SHARP_HALO, IDB_SHARP_MASK}}) {  // glyph, halo, mask
        SCOPED_TRACE(s[0]);
        const Bmp glyph = Bitmap(s[0]), halo = Bitmap(s[1]), mask = Bitmap(s[2]);
        ASSERT_TRUE(glyph.valid && halo.valid && mask.valid);
        ASSERT_EQ(std::make_pair(glyph.width, glyph.height),
                  std::make_pair(mask.width, mask.height));
        int inside = 0;
        for (int y = 0; y < glyph.height; ++y) {
            for (int x = 0; x < glyph.width; ++x) {
                if (glyph.Alpha(x, y) > 128) {
                    ++inside;
                    EXPECT_EQ(mask.Alpha(x, y), 255) << x << "," << y;
                    EXPECT_GE(halo.Alpha(x, y), glyph.Alpha(x, y)) << x << "," << y;
                }
            }
        }
        EXPECT_GT(inside, 50);
        // The border stays transparent, so the clamped texture shows nothing beyond it.
        EXPECT_EQ(mask.Alpha(0, 0), 0);
        EXPECT_EQ(glyph.Alpha(glyph.width - 1, glyph.height - 1), 0);
    }
}

}  // namespace
}  // namespace melvora
