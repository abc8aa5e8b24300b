#include "audio/g711.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace melvora {
namespace {

TEST(G711MuLaw, KnownCodesAtZeroAndFullScale) {
    EXPECT_EQ(LinearToMuLaw(0), 0xFF);
    EXPECT_EQ(LinearToMuLaw(32767), 0x80);
    EXPECT_EQ(LinearToMuLaw(-32768), 0x00);
    EXPECT_EQ(MuLawToLinear(0xFF), 0);
    EXPECT_EQ(MuLawToLinear(0x80), 32124);
    EXPECT_EQ(MuLawToLinear(0x00), -32124);
    // Clip at 32635: everything above lands on the top code.
    EXPECT_EQ(LinearToMuLaw(32635), LinearToMuLaw(32767));
}

TEST(G711MuLaw, EveryCodeSurvivesExpandThenCompress) {
    for (int code = 0; code < 256; ++code) {
        if (code == 0x7F) {
            continue;  // negative zero: expands to 0, which compresses to the positive zero 0xFF
        }
        EXPECT_EQ(LinearToMuLaw(MuLawToLinear(static_cast<uint8_t>(code))), code) << code;
    }
    EXPECT_EQ(MuLawToLinear(0x7F), 0);
}

TEST(G711ALaw, KnownCodesAtZeroAndFullScale) {
    EXPECT_EQ(LinearToALaw(0), 0xD5);
    EXPECT_EQ(LinearToALaw(-1), 0x55);
    EXPECT_EQ(LinearToALaw(32767), 0xAA);
    EXPECT_EQ(LinearToALaw(-32768), 0x2A);
    EXPECT_EQ(ALawToLinear(0xD5), 8);
    EXPECT_EQ(ALawToLinear(0x55), -8);
    EXPECT_EQ(ALawToLinear(0xAA), 32256);
    EXPECT_EQ(ALawToLinear(0x2A), -32256);
}

TEST(G711ALaw, EveryCodeSurvivesExpandThenCompress) {
    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(LinearToALaw(ALawToLinear(static_cast<uint8_t>(code))), code) << code;
    }
}

// Over the whole 16-bit range the coded value stays monotonic and within half of the
// logarithmic step of its segment (plus the clip region at the top).
struct CodecCase {
    const char* name;
    uint8_t (*compress)(int16_t);
    int16_t (*expand)(uint8_t);
    int clipMagnitude;
};

void PrintTo(const CodecCase& c, std::ostream* os) {
    *os << c.name;
}

class G711Grid : public ::testing::TestWithParam<CodecCase> {};

TEST_P(G711Grid, ErrorStaysWithinTheSegmentStepAndOrderIsKept) {
    const CodecCase& codec = GetParam();
    int previous = -40000;
    for (int s = -32768; s <= 32767; ++s) {
        const int decoded = codec.expand(codec.compress(static_cast<int16_t>(s)));
        ASSERT_GE(decoded, previous) << s;
        previous = decoded;
        const int magnitude = std::abs(s);
        if (magnitude > codec.clipMagnitude) {
            continue;
        }
        // Step size doubles per segment: about magnitude/16, never below 16 (mu-law's first
        // step is 8 at bias 132, A-law's 16).
        const int step = std::max(16, magnitude / 16 + 16);
        EXPECT_LE(std::abs(decoded - s), step) << codec.name << " sample " << s;
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, G711Grid,
                         ::testing::Values(CodecCase{"mulaw", LinearToMuLaw, MuLawToLinear, 32124},
                                           CodecCase{"alaw", LinearToALaw, ALawToLinear, 32256}),
                         [](const ::testing::TestParamInfo<CodecCase>& p) {
                             return std::string(p.param.name);
                         });

}  // namespace
}  // namespace melvora
