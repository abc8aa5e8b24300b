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

// Greedy: as many characters as fit with the dots, never none.
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
        {L"Melvora", 31, L"Melvo..."},
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

}  // namespace
}  // namespace melvora
