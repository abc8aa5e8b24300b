#pragma once

#include <cstdint>

namespace melvora {

// ITU-T G.711 companding between signed 16-bit linear samples and 8-bit code bytes, as stored
// in WAV files with format tag 7 (mu-law) and 6 (A-law). Codes are the on-wire bytes (with the
// standard bit inversions applied), so they can be written to a file as they are.

// mu-law compression: magnitudes clip at 32635, bias 132 (the classic 16-bit formulation).
uint8_t LinearToMuLaw(int16_t sample);
// mu-law expansion: -32124 .. 32124.
int16_t MuLawToLinear(uint8_t code);

// A-law compression of the sample's top 13 bits (segment search over eight segments).
uint8_t LinearToALaw(int16_t sample);
// A-law expansion: -32256 .. 32256.
int16_t ALawToLinear(uint8_t code);

}  // namespace melvora
