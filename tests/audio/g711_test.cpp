#include "audio/g711.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace melvora {
namespace {

// Every code survives expand-then-compress; over the whole 16-bit range the coded value stays
// monotonic and within the logarithmic step of its segment (plus the clip region at the top).
TEST(G711, CodesRoundTripAndTheErrorStaysWithinTheSegmentStep) {
    const struct {
        const char* name;
        uint8_t (*compress)(int16_t);
        int16_t (*expand)(uint8_t);
        int clipMagnitude;
    } codecs[] = {{"mulaw", LinearToMuLaw, MuLawToLinear, 32124},
                  {"alaw", LinearToALaw, ALawToLinear, 32256}};
    for (const auto& codec : codecs) {
        SCOPED_TRACE(codec.name);
        for (int code = 0; code < 256; ++code) {
            const uint8_t c = static_cast<uint8_t>(code);
            if (codec.expand(c) == 0 && c != codec.compress(0)) {
                continue;  // mu-law's negative zero compresses to the positive one
            }
            EXPECT_EQ(codec.compress(codec.expand(c)), code) << code;
        }
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
}

}  // namespace
}  // namespace melvora
