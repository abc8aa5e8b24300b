#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/wave_port_simulated.h"

namespace melvora {
namespace testing_support {

// The sample the simulated card captures at frame i: a counter, so any lost or repeated
// sample shows as a break in the sequence.
inline int16_t CounterSample(int64_t index) {
    return static_cast<int16_t>(index & 0x7FFF);
}

// A manual-clock card whose capture delivers CounterSample(0), (1), ... and whose playback
// collects everything played. The source and sink run under the card's lock, so reading
// `played` on another thread needs the lock here.
struct CounterCard {
    SimulatedSoundCard card;
    std::mutex playedMutex;
    std::vector<int16_t> played;
    int64_t nextCaptureIndex = 0;

    CounterCard() {
        card.SetCaptureSource([this](int16_t* samples, size_t count) {
            for (size_t i = 0; i < count; ++i) {
                samples[i] = CounterSample(nextCaptureIndex++);
            }
        });
        card.SetPlaybackSink([this](const int16_t* samples, size_t count) {
            std::lock_guard<std::mutex> lock(playedMutex);
            played.insert(played.end(), samples, samples + count);
        });
    }

    std::vector<int16_t> Played() {
        std::lock_guard<std::mutex> lock(playedMutex);
        return played;
    }
};

// Index of the first place where `samples` stops counting up by one from `first`, or
// samples.size() when it never does.
inline size_t FirstCounterBreak(const std::vector<int16_t>& samples, int64_t first) {
    for (size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] != CounterSample(first + static_cast<int64_t>(i))) {
            return i;
        }
    }
    return samples.size();
}

}  // namespace testing_support
}  // namespace melvora
