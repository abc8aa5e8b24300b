#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace melvora {
namespace {

// Turkish letters, a three-byte sign and a letter beyond the 16-bit range.
const std::string kUtf8 =
    "\xC5\x9E"
    "ark\xC4\xB1 \xC3\x96"
    "devleri \xE2\x82\xAC \xF0\x9D\x84\x9E";

TEST(TextEncoding, Utf8AndWideRoundTrip) {
    const std::wstring wide = Utf8ToWide(kUtf8);
    EXPECT_EQ(wide[0], static_cast<wchar_t>(0x015E));  // Ş
    EXPECT_EQ(wide[4], static_cast<wchar_t>(0x0131));  // ı
    EXPECT_EQ(wide[6], static_cast<wchar_t>(0x00D6));  // Ö
    // U+1D11E takes a surrogate pair where wchar_t has 16 bits.
    EXPECT_EQ(wide.size(), sizeof(wchar_t) == 2 ? 19u : 18u);
    EXPECT_EQ(WideToUtf8(wide), kUtf8);
    // An unpaired surrogate in wide text becomes the replacement character.
    EXPECT_EQ(WideToUtf8(std::wstring{L'a', static_cast<wchar_t>(0xD800), L'b'}),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(TextEncoding, InvalidUtf8BecomesOneReplacementPerBadByte) {
    const struct {
        const char* name;
        std::string bytes;
        size_t replacements;
    } cases[] = {
        {"lone continuation",
         "a\x80"
         "b",
         1},
        {"cut-off sequence", "a\xC5", 1},
        {"overlong slash", "\xC0\xAF", 2},
        {"surrogate", "\xED\xA0\x80", 3},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", 4},
        {"Windows-1254 \xDE"
         "ark\xFD",
         "\xDE"
         "ark\xFD",
         2},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(IsValidUtf8(c.bytes)) << c.name;
        size_t count = 0;
        for (const wchar_t w : Utf8ToWide(c.bytes)) {
            count += w == static_cast<wchar_t>(0xFFFD) ? 1 : 0;
        }
        EXPECT_EQ(count, c.replacements) << c.name;
    }
    EXPECT_TRUE(IsValidUtf8(kUtf8));
    EXPECT_TRUE(IsValidUtf8("plain ASCII"));
}

TEST(TextEncoding, StoredTextIsUtf8OrElseWindows1254) {
    const struct {
        const char* name;
        std::string stored;
        std::string expected;
    } cases[] = {
        {"UTF-8 kept", kUtf8, kUtf8},
        {"ASCII kept", "USB Keys", "USB Keys"},
        // The six letters where Windows-1254 leaves Latin-1.
        {"Turkish capitals", "\xD0\xDD\xDE", "\xC4\x9E\xC4\xB0\xC5\x9E"},
        {"Turkish small letters", "\xF0\xFD\xFE", "\xC4\x9F\xC4\xB1\xC5\x9F"},
        {"shared with Latin-1", "\xD6\xE7\xFC", "\xC3\x96\xC3\xA7\xC3\xBC"},
        {"euro and quotes", "\x80\x93", "\xE2\x82\xAC\xE2\x80\x9C"},
        {"undefined byte", "\x81", "\xC2\x81"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StoredTextToUtf8(c.stored), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace melvora
