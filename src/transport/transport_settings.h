#pragma once

namespace melvora {

// The options the transport reads at each set-up, given to it by the program instead of read
// from the options store, so that the transport depends on nothing above it.
struct TransportSettings {
    // Rate of a new working file, and the transport rate when there is no current file [44100].
    int recordingRateHz = 44100;
    // Analysis frame length and skip rate (the block's duration) in seconds [0.04, 0.03].
    float frameLengthSeconds = 0.04f;
    float skipRateSeconds = 0.03f;
    // Language of the deck's texts: 0 English, 1 Turkish [0].
    int language = 0;
};

}  // namespace melvora
