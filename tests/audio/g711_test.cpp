#include "audio/g711.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace melvora {
namespace {

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
