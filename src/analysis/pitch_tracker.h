#pragma once

#include <vector>

#include "analysis/lag_correlations.h"

namespace melvora {

// What one tracker reports for one frame.
struct PitchReport {
    float pitchHz = 0.0f;     // smoothed over three frames; 0 when unvoiced
    float confidence = 0.0f;  // normalised autocorrelation peak; 0 at an end of the lag
                              // range, negative when the band has no lag to search
    float rawPitchHz = 0.0f;  // this frame's pitch before smoothing
};

// Lags looked at by the last Analyse, for tests and diagnostics.
struct PitchSearchTrace {
    int coarseLag = 0;     // best lag at the decimated rate (full rate on the unfiltered path)
    int fineStartLag = 0;  // full-rate lags searched by the fine search, inclusive;
    int fineEndLag = -1;   // fineStartLag > fineEndLag when it did not run
    int fineLag = 0;       // best full-rate lag, 0 when the fine search did not run
};

// Time-domain autocorrelation pitch tracker for one search band. Low-passes the frame to
// about 4000 Hz, decimates it to a working rate of 8 to 11 kHz, finds the autocorrelation
// peak in the band, decides voiced or unvoiced (hysteresis and a silence detector), refines
// the period at the full rate and smooths the pitch over three frames.
//
// Rates 8000, 11025, 16000, 22050, 32000, 44100 and 48000 Hz take this filtered path; any
// other rate is searched directly at the full rate without filter, refinement or smoothing.
//
// The voicing state (the last two confidences, the quietest frame seen, the last two raw
// pitches) is set at construction only; Configure keeps it.
class PitchTracker {
  public:
    PitchTracker();
    virtual ~PitchTracker();

    // Computes the lag ranges and the working rate and allocates the work arrays. The hop is
    // accepted for symmetry with the engine and not used. Returns false (and leaves a tracker
    // that reports nothing) when the rate or the frame length is not positive or the band is
    // not a positive range.
    bool Configure(int sampleRateHz, int frameLength, int hopLength, float bandLowHz,
                   float bandHighHz);

    // Analyses one frame of frameLength samples (sample units, full scale 32767).
    PitchReport Analyse(const float* frame);

    // The same result as Analyse(frame), reusing the filtered and decimated frame of
    // `prepared`, which must have analysed this very frame just before with the same rate and
    // frame length (otherwise this tracker filters the frame itself). The filter does not
    // depend on the band, so four trackers over one frame need it only once; they also share
    // `prepared`'s correlation sums, so a lag two bands search is summed once.
    PitchReport AnalyseAfter(PitchTracker& prepared, const float* frame);

    int SampleRateHz() const { return sampleRateHz_; }
    int FrameLength() const { return frameLength_; }
    int MinimumLag() const { return minimumLag_; }
    int MaximumLag() const { return maximumLag_; }
    int DecimatedRateHz() const { return decimatedRateHz_; }
    int DecimationFactor() const { return decimationFactor_; }
    int DecimatedLength() const { return decimatedLength_; }
    int MinimumDecimatedLag() const { return minimumDecimatedLag_; }
    int MaximumDecimatedLag() const { return maximumDecimatedLag_; }
    bool UsesFilteredPath() const { return filteredPath_; }
    const PitchSearchTrace& LastSearch() const { return trace_; }
    const PitchReport& LastReport() const { return report_; }

    // The filtered path's setting for a sample rate: working rate and low-pass coefficients
    // (13 each; null at 8000 Hz, where the frame is used as it is). False for a rate that
    // takes the unfiltered path.
    static bool RateFilter(int sampleRateHz, int* decimatedRateHz, const float** b,
                           const float** a);

    // The low-passed frame of the last Analyse (full rate), rounded to single precision.
    const std::vector<double>& FilteredFrame() const { return filtered_; }

  private:
    // Filters and decimates the frame (or copies it, on the unfiltered path) and attaches the
    // correlation sums to the result.
    void Prepare(const float* frame);
    void FilterAndDecimate(const float* frame);
    PitchReport SearchFiltered(LagCorrelations* decimated, LagCorrelations* filtered);
    PitchReport SearchUnfiltered(LagCorrelations* frame);
    // Hysteresis, voicing threshold and silence detector; returns the pitch that survives.
    float DecideVoicing(float* confidence, float pitchHz, double r0);

    int sampleRateHz_ = 0;
    int frameLength_ = 0;
    float bandLowHz_ = 0.0f;
    float bandHighHz_ = 0.0f;
    int minimumLag_ = 0;
    int maximumLag_ = 0;
    int decimatedRateHz_ = 0;
    int decimationFactor_ = 1;
    int decimatedLength_ = 0;
    int minimumDecimatedLag_ = 0;
    int maximumDecimatedLag_ = 0;
    bool filteredPath_ = false;
    const float* b_ = nullptr;  // filter coefficients of this rate; none for 8000 Hz
    const float* a_ = nullptr;

    // Work arrays; each is sized by Configure and only written by Analyse.
    std::vector<double> input_;      // 12 zeros, then the frame: the filter starts at rest
    std::vector<double> output_;     // 12 zeros, then the filter output in double
    std::vector<double> filtered_;   // the filter output rounded to single precision
    std::vector<double> decimated_;  // every D-th filtered sample
    std::vector<double> direct_;     // the frame itself on the unfiltered path
    bool prepared_ = false;          // the arrays and sums hold the last frame
    LagCorrelations decimatedSums_;  // of decimated_
    LagCorrelations frameSums_;      // of filtered_, or of direct_ on the unfiltered path

    // Voicing state.
    const float threshold_ = 0.1f;
    float previousConfidence_ = 0.0f;
    float confidenceBeforePrevious_ = 0.0f;
    float minimumLogEnergy_ = 10.0f;
    float pitchHistory0_ = 0.0f;  // older
    float pitchHistory1_ = 0.0f;  // newer

    PitchSearchTrace trace_;
    PitchReport report_;
};

}  // namespace melvora
