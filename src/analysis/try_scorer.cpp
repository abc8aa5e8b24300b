#include "analysis/try_scorer.h"

#include <algorithm>
#include <cmath>

namespace melvora {

namespace {

// Deviation from the note that still tells two neighbouring notes apart when boundaries are
// moved; anything further is simply "wrong", however wrong.
constexpr double kBoundaryCostCapCents = 300.0;
// A voiced run shorter than this, standing alone, is a tracker blip, not singing.
constexpr double kMinimumRunMs = 60.0;

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<long>(middle), values.end());
    const double upper = values[middle];
    if (values.size() % 2 == 1) {
        return upper;
    }
    const double lower =
        *std::max_element(values.begin(), values.begin() + static_cast<long>(middle));
    return 0.5 * (lower + upper);
}

}  // namespace

double TryScorer::KeyHz(double key) {
    return 440.0 * std::pow(2.0, (key - 69.0) / 12.0);
}

double TryScorer::Cents(double hz, double referenceHz) {
    return 1200.0 * std::log2(hz / referenceHz);
}

TryScorer::Score TryScorer::Rate(const std::vector<MelodyNote>& melody,
                                 const std::vector<float>& pitchHz, double framePeriodMs) {
    Score score;
    score.framePitchHz = pitchHz;
    score.framePeriodMs = framePeriodMs;
    score.frameNote.assign(pitchHz.size(), -1);
    double melodyMs = 0.0;
    std::vector<double> noteEndMs;  // cumulative melody time at the end of each sung note
    for (const MelodyNote& m : melody) {
        if (m.key < 0 || m.durationMs <= 0) {
            continue;  // rests: the singer is silent, which the voiced clock skips anyway
        }
        NoteScore n;
        n.key = m.key;
        score.notes.push_back(n);
        melodyMs += m.durationMs;
        noteEndMs.push_back(melodyMs);
    }
    const size_t frames = pitchHz.size();
    if (score.notes.empty() || frames == 0 || !(framePeriodMs > 0.0)) {
        return score;
    }

    // Voiced runs, short gaps bridged, blips dropped.
    const size_t bridged = static_cast<size_t>(std::ceil(kBridgedGapMs / framePeriodMs));
    const size_t minimumRun =
        std::max<size_t>(2, static_cast<size_t>(std::ceil(kMinimumRunMs / framePeriodMs)));
    std::vector<char> active(frames, 0);
    size_t lastVoiced = frames;  // none yet
    for (size_t i = 0; i < frames; ++i) {
        if (pitchHz[i] > 0.0f) {
            if (lastVoiced != frames && i - lastVoiced - 1 < bridged) {
                std::fill(active.begin() + static_cast<long>(lastVoiced) + 1,
                          active.begin() + static_cast<long>(i), 1);
            }
            active[i] = 1;
            lastVoiced = i;
        }
    }
    for (size_t i = 0; i < frames;) {
        if (!active[i]) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < frames && active[end]) {
            ++end;
        }
        if (end - i < minimumRun) {
            std::fill(active.begin() + static_cast<long>(i),
                      active.begin() + static_cast<long>(end), 0);
        }
        i = end;
    }

    // The voiced clock: the frames that carry the melody, in order.
    std::vector<size_t> clock;
    for (size_t i = 0; i < frames; ++i) {
        if (active[i]) {
            clock.push_back(i);
        }
    }
    if (clock.empty()) {
        return score;
    }
    const size_t voicedTicks = clock.size();
    const int noteCount = static_cast<int>(score.notes.size());
    std::vector<int> tickNote(voicedTicks, 0);
    for (size_t c = 0, j = 0; c < voicedTicks; ++c) {
        const double melodyAt = (static_cast<double>(c) + 0.5) * melodyMs / voicedTicks;
        while (j + 1 < noteEndMs.size() && melodyAt >= noteEndMs[j]) {
            ++j;
        }
        tickNote[c] = static_cast<int>(j);
    }

    auto deviation = [&](size_t tick, int note) {
        return Cents(pitchHz[clock[tick]], KeyHz(score.notes[static_cast<size_t>(note)].key));
    };
    std::vector<double> deviations;
    for (size_t c = 0; c < voicedTicks; ++c) {
        if (pitchHz[clock[c]] > 0.0f) {
            deviations.push_back(deviation(c, tickNote[c]));
        }
    }
    const double typical = Median(deviations);
    score.octaveShift = static_cast<int>(std::lround(typical / 1200.0));

    // Move each boundary to where the voice changes note (relative to the try's typical
    // deviation, so a try sung sharp throughout is cut where it changes too).
    std::vector<size_t> firstTick(static_cast<size_t>(noteCount) + 1, voicedTicks);
    for (size_t c = voicedTicks; c-- > 0;) {
        firstTick[static_cast<size_t>(tickNote[c])] = c;
    }
    for (int j = noteCount - 1; j >= 0; --j) {  // notes without ticks start where the next does
        if (firstTick[static_cast<size_t>(j)] > firstTick[static_cast<size_t>(j) + 1]) {
            firstTick[static_cast<size_t>(j)] = firstTick[static_cast<size_t>(j) + 1];
        }
    }
    auto cost = [&](size_t tick, int note) {
        if (!(pitchHz[clock[tick]] > 0.0f)) {
            return 0.0;
        }
        return std::min(std::fabs(deviation(tick, note) - typical), kBoundaryCostCapCents);
    };
    for (int j = 0; j + 1 < noteCount; ++j) {
        const size_t start = firstTick[static_cast<size_t>(j)];
        const size_t boundary = firstTick[static_cast<size_t>(j) + 1];
        const size_t end = firstTick[static_cast<size_t>(j) + 2];
        const size_t reach = std::min(boundary - start, end - boundary) / 4;
        if (reach == 0) {
            continue;
        }
        const size_t low = boundary - reach;
        const size_t high = boundary + reach;
        size_t best = boundary;
        double bestCost = 0.0;
        for (size_t b = low; b <= high; ++b) {
            double total = 0.0;
            for (size_t c = low; c < high; ++c) {
                total += cost(c, c < b ? j : j + 1);
            }
            const bool closer = (b > boundary ? b - boundary : boundary - b) <
                                (best > boundary ? best - boundary : boundary - best);
            if (b == low || total < bestCost - 1e-9 ||
                (std::fabs(total - bestCost) <= 1e-9 && closer)) {
                best = b;
                bestCost = total;
            }
        }
        firstTick[static_cast<size_t>(j) + 1] = best;
    }

    // Per note and overall figures, against the melody moved by the octave shift.
    double centsSum = 0.0;
    int inTuneTotal = 0;
    for (int j = 0; j < noteCount; ++j) {
        NoteScore& n = score.notes[static_cast<size_t>(j)];
        n.expectedHz = KeyHz(n.key + 12.0 * score.octaveShift);
        std::vector<double> sung;
        int inTune = 0;
        for (size_t c = firstTick[static_cast<size_t>(j)];
             c < firstTick[static_cast<size_t>(j) + 1]; ++c) {
            const size_t frame = clock[c];
            score.frameNote[frame] = j;
            if (n.firstFrame < 0) {
                n.firstFrame = static_cast<int>(frame);
            }
            n.lastFrame = static_cast<int>(frame);
            if (!(pitchHz[frame] > 0.0f)) {
                continue;
            }
            const double cents = Cents(pitchHz[frame], n.expectedHz);
            sung.push_back(pitchHz[frame]);
            centsSum += cents;
            if (std::fabs(cents) <= kInTuneCents) {
                ++inTune;
            }
        }
        n.voicedFrames = static_cast<int>(sung.size());
        if (!sung.empty()) {
            n.sungMedianHz = Median(sung);
            n.cents = Cents(n.sungMedianHz, n.expectedHz);
            n.inTuneShare = static_cast<double>(inTune) / n.voicedFrames;
        }
        score.voicedFrames += n.voicedFrames;
        inTuneTotal += inTune;
    }
    if (score.voicedFrames > 0) {
        score.inTuneShare = static_cast<double>(inTuneTotal) / score.voicedFrames;
        score.meanCents = centsSum / score.voicedFrames;
    }
    return score;
}

}  // namespace melvora
