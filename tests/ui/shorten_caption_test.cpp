#include "ui/shorten_caption.h"

#include <gtest/gtest.h>

namespace melvora {
namespace {

// Every character 5 pixels wide except 'W' (10); "..." is 6 pixels.
int Width(wchar_t ch) {
    return ch == L'W' ? 10 : 5;
}

std::wstring Shorten(const std::wstring& text, int available) {
    return ShortenCaption(text, Width, available, 6);
}

TEST(ShortenCaptionTest, WorkedCases) {
    struct Case {
        const wchar_t* text;
        int available;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"W", 0, L"W"},  // one character is never shortened
        {L"", 0, L""},
        {L"Melvora", 35, L"Melvora"},
        {L"Melvora", 100, L"Melvora"},
        // Five characters and "..." take 31 of the 34 pixels; a sixth would not fit.
        {L"Melvora", 34, L"Melvo..."},
        {L"Melvora", 30, L"Melv..."},
        {L"Melvora", 3, L"M..."},  // at least one character stays
        {L"Melvora", 0, L"M..."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Shorten(c.text, c.available), c.expected) << c.text << " " << c.available;
    }
    // Characters of their own widths each count.
    auto width = [](wchar_t ch) { return ch == L'ü' ? 7 : 5; };
    EXPECT_EQ(ShortenCaption(L"Görüntü", width, 39, 6), L"Görüntü");
    EXPECT_EQ(ShortenCaption(L"Görüntü", width, 38, 6), L"Görünt...");
    EXPECT_EQ(ShortenCaption(L"Görüntü", width, 30, 6), L"Görü...");
}

TEST(ShortenCaptionTest, ShortenedTextAlwaysFits) {
    const std::wstring text = L"Analysis Window Of Melvora";
    for (int available = 11; available < 150; ++available) {
        std::wstring result = Shorten(text, available);
        int whole = 0;
        for (wchar_t ch : text) {
            whole += Width(ch);
        }
        if (available >= whole) {
            EXPECT_EQ(result, text);
            continue;
        }
        ASSERT_GE(result.size(), 4u);
        ASSERT_EQ(result.substr(result.size() - 3), L"...");
        int width = 6;
        for (size_t i = 0; i + 3 < result.size(); ++i) {
            width += Width(result[i]);
        }
        EXPECT_LE(width, available) << available;
        // Greedy: one more character would not fit.
        EXPECT_GT(width + Width(text[result.size() - 3]), available) << available;
    }
}

}  // namespace
}  // namespace melvora
