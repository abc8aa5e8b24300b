#include "audio/g711.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace melvora {
namespace {

// Codes from the G.711 tables at zero and full scale.
TEST(G711, KnownCodesAtZeroAndFullScale) {
    EXPECT_EQ(LinearToMuLaw(0), 0xFF);
    EXPECT_EQ(LinearToMuLaw(32767), 0x80);
    EXPECT_EQ(LinearToMuLaw(-32768), 0x00);
    EXPECT_EQ(LinearToMuLaw(32635), 0x80);  // clip level: everything above lands on the top code
    EXPECT_EQ(MuLawToLinear(0xFF), 0);
    EXPECT_EQ(MuLawToLinear(0x7F), 0);  // negative zero
    EXPECT_EQ(MuLawToLinear(0x80), 32124);
    EXPECT_EQ(MuLawToLinear(0x00), -32124);
    EXPECT_EQ(LinearToALaw(0), 0xD5);
    EXPECT_EQ(LinearToALaw(-1), 0x55);
    EXPECT_EQ(LinearToALaw(1000), 0xFA);
    EXPECT_EQ(LinearToALaw(32767), 0xAA);
    EXPECT_EQ(LinearToALaw(-32768), 0x2A);
    EXPECT_EQ(ALawToLinear(0xD5), 8);
    EXPECT_EQ(ALawToLinear(0x55), -8);
    EXPECT_EQ(ALawToLinear(0xAA), 32256);
    EXPECT_EQ(ALawToLinear(0x2A), -32256);
}

struct CodecCase {
    const char* name;
    uint8_t (*compress)(int16_t);
    int16_t (*expand)(uint8_t);
    int clipMagnitude;
};

class G711Grid : public ::testing::TestWithParam<CodecCase> {};

TEST_P(G711Grid, EveryCodeSurvivesExpandThenCompress) {
    const CodecCase& codec = GetParam();
    for (int code = 0; code < 256; ++code) {
        const uint8_t c = static_cast<uint8_t>(code);
        if (codec.expand(c) == 0 && c != codec.compress(0)) {
            continue;  // mu-law's negative zero compresses to the positive one
        }
        EXPECT_EQ(codec.compress(codec.expand(c)), code) << code;
    }
}

// Over the whole 16-bit range the coded value stays monotonic and within the logarithmic
// step of its segment (plus the clip region at the top).
TEST_P(G711Grid, ErrorStaysWithinTheSegmentStepAndOrderIsKept) {
    const CodecCase& codec = GetParam();
    int previous = -40000;
    for (int s = -32768; s <= 32767; ++s) {
        const int decoded = codec.expand(codec.compress(static_cast<int16_t>(s)));
        ASSERT_GE(decoded, previous) << s;
        previous = decoded;
        if (std::abs(s) <= codec.clipMagnitude) {
            // The step doubles per segment: about magnitude/16, never below 16.
            EXPECT_LE(std::abs(decoded - s), std::abs(s) / 16 + 16) << s;
        }
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
