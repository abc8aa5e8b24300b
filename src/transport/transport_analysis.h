#pragma once

#include <cstdint>

namespace melvora {

// The analysis engine as the transport sees it. The engine's adapter implements it: the first
// Configure creates the engine, later ones configure it again.
class TransportAnalysis {
  public:
    virtual ~TransportAnalysis() = default;
    // Prepares the analysis for sampleRateHz with the frame length and skip rate in seconds
    // and the minimum transform size (1024); returns the hop length, the samples of one block
    // (skip rate x rate, rounded half up). Window thread, worker parked or not started.
    virtual int Configure(int sampleRateHz, float frameLengthSeconds, float skipRateSeconds,
                          int minimumTransformSize) = 0;
    // Analyses one block of hop-length samples. Worker thread. The block is the one the
    // transport then writes to the file or the speaker, so it is not changed.
    virtual void ProcessBlock(const int16_t* block, int blockLength) = 0;
    // Clears the averaged results shown by the views (recording or replay stopped).
    // Window thread.
    virtual void ResetResults() = 0;
    // Voice activation sensitivity, 0..1: may be set from the window thread while the worker
    // analyses, and before the first Configure (it then applies from the first block).
    virtual void SetVoiceActivationSensitivity(float sensitivity) = 0;
};

}  // namespace melvora
