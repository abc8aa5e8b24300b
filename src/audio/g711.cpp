#include "audio/g711.h"

namespace melvora {
namespace {

constexpr int kMuLawClip = 32635;
constexpr int kMuLawBias = 132;

// Index of the highest set bit of `value` (0 for 0 and 1).
int HighestBit(int value) {
    int bit = 0;
    while (value > 1) {
        value >>= 1;
        ++bit;
    }
    return bit;
}

}  // namespace

uint8_t LinearToMuLaw(int16_t sample) {
    int magnitude = sample;
    int sign = 0;
    if (magnitude < 0) {
        sign = 0x80;
        magnitude = -magnitude;  // -32768 fits in int and is clipped below
    }
    if (magnitude > kMuLawClip) {
        magnitude = kMuLawClip;
    }
    magnitude += kMuLawBias;
    // The biased magnitude lies in 132..32767: bits 7..14 select the segment.
    const int exponent = HighestBit(magnitude >> 7);
    const int mantissa = (magnitude >> (exponent + 3)) & 0x0F;
    return static_cast<uint8_t>(~(sign | (exponent << 4) | mantissa));
}

int16_t MuLawToLinear(uint8_t code) {
    const int inverted = static_cast<uint8_t>(~code);
    const int exponent = (inverted >> 4) & 0x07;
    const int mantissa = inverted & 0x0F;
    const int magnitude = (((mantissa << 3) + kMuLawBias) << exponent) - kMuLawBias;
    return static_cast<int16_t>((inverted & 0x80) ? -magnitude : magnitude);
}

uint8_t LinearToALaw(int16_t sample) {
    // A-law works on 13-bit values; negative values are coded as one's complement magnitudes,
    // which is why -1 and 0 share the smallest step on either side of zero.
    int value = sample >> 3;  // arithmetic shift keeps the floor for negative samples
    int mask;
    if (value >= 0) {
        mask = 0xD5;  // sign bit set plus the even-bit inversion 0x55
    } else {
        mask = 0x55;
        value = -value - 1;
    }
    // value is now 0..4095. Segment s covers values below 32 << s.
    int segment = 0;
    while (segment < 7 && value >= (32 << segment)) {
        ++segment;
    }
    int code = segment << 4;
    if (segment < 2) {
        code |= (value >> 1) & 0x0F;
    } else {
        code |= (value >> segment) & 0x0F;
    }
    return static_cast<uint8_t>(code ^ mask);
}

int16_t ALawToLinear(uint8_t code) {
    const int value = code ^ 0x55;
    const int segment = (value & 0x70) >> 4;
    int magnitude = (value & 0x0F) << 4;
    if (segment == 0) {
        magnitude += 8;
    } else {
        magnitude = (magnitude + 0x108) << (segment - 1);
    }
    return static_cast<int16_t>((value & 0x80) ? magnitude : -magnitude);
}

}  // namespace melvora
