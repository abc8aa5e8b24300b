// End to end: synthesized tries of a shipped exercise step, scored by melvora-analyze
// --exercise through the analysis engine and the try scorer.

#include "app/temp_folder.h"
#include "synthetic_voice.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace melvora {
namespace {

// Step 4 of the five-note scale: C4 D4 E4 F4 G4 F4 E4 D4 C4, 450 ms each, the last 900 ms.
const double kScaleHz[] = {261.63, 293.66, 329.63, 349.23, 392.00, 349.23, 329.63, 293.66, 261.63};

// Silence before the voice, the ratio of every sung pitch to the melody's, silence after the
// fifth note; expected: summary in-tune share at least / at most, mean cents, octave.
struct Try {
    const char* name;
    double leadSeconds, ratio, breathSeconds;
    double minInTune, maxInTune, cents;
    int octave;
};

class ExerciseScoreTool : public ::testing::TestWithParam<Try> {};

TEST_P(ExerciseScoreTool, ScoresTheSynthesizedTry) {
    const Try& t = GetParam();
    const int rate = 22050;
    // Note start times in the try, with a 40 ms glide into each note.
    std::vector<double> starts;
    double at = t.leadSeconds;
    for (size_t i = 0; i < 9; ++i) {
        starts.push_back(at);
        at += (i == 8 ? 0.9 : 0.45) + (i == 4 ? t.breathSeconds : 0.0);
    }
    const double end = at;
    const auto pitchHz = [&](double time) {
        const size_t i =
            std::upper_bound(starts.begin() + 1, starts.end(), time) - starts.begin() - 1;
        const double into = time - starts[i];
        double hz = kScaleHz[i];
        if (i > 0 && into < 0.04) {
            hz = kScaleHz[i - 1] + (kScaleHz[i] - kScaleHz[i - 1]) * into / 0.04;
        }
        return hz * t.ratio;
    };
    const auto amplitude = [&](double time) {
        const bool breath = time >= starts[4] + 0.45 && time < starts[5];
        return time < t.leadSeconds || time >= end || breath ? 0.0 : 12000.0;
    };
    testing_support::TempProgramDirectory folder;
    const std::string wav = folder.path() + "try.wav", out = folder.path() + "out.csv";
    ASSERT_TRUE(WriteWave(wav, rate, SynthesizeVoice(rate, end + 0.5, {pitchHz, amplitude})));
    const int status = std::system((std::string("'") + MELVORA_ANALYZE_PATH + "' --exercise '" +
                                    MELVORA_SOURCE_DIR + "/data/Exercises/FiveNoteScale.exc' " +
                                    "--step 4 '" + wav + "' >'" + out + "'")
                                       .c_str());
    const std::string text = ReadText(out);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;

    const std::vector<std::string> lines = Split(text, '\n');
    ASSERT_EQ(lines.size(), 11u) << text;
    EXPECT_EQ(lines[0], "note,expected_hz,sung_hz,cents,in_tune,octave");
    const char* names[] = {"C4", "D4", "E4", "F4", "G4", "F4", "E4", "D4", "C4", "all"};
    for (size_t i = 0; i < 10; ++i) {
        SCOPED_TRACE(lines[i + 1]);
        const std::vector<std::string> f = Split(lines[i + 1], ',');
        ASSERT_EQ(f.size(), 6u);
        EXPECT_EQ(f[0], names[i]);
        // Every note is found where it was sung, at the pitch it was sung.
        EXPECT_NEAR(std::stod(f[3]), t.cents, i < 9 ? 20.0 : 15.0);
        EXPECT_EQ(std::stoi(f[5]), t.octave);
        if (i < 9) {
            EXPECT_NEAR(std::stod(f[1]), kScaleHz[i] * std::pow(2.0, t.octave), 0.02);
            EXPECT_NEAR(std::stod(f[2]), kScaleHz[i] * t.ratio, kScaleHz[i] * t.ratio * 0.012);
        } else {
            EXPECT_GE(std::stod(f[4]), t.minInTune);
            EXPECT_LE(std::stod(f[4]), t.maxInTune);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tries, ExerciseScoreTool,
                         ::testing::Values(Try{"exact", 0.3, 1.0, 0.0, 0.9, 1.0, 0.0, 0},
                                           Try{"semitone_sharp", 0.3, std::pow(2.0, 1.0 / 12.0),
                                               0.0, 0.0, 0.1, 100.0, 0},
                                           Try{"late_start", 1.4, 1.0, 0.0, 0.9, 1.0, 0.0, 0},
                                           Try{"breath", 0.3, 1.0, 0.4, 0.9, 1.0, 0.0, 0},
                                           Try{"octave_below", 0.3, 0.5, 0.0, 0.9, 1.0, 0.0, -1}),
                         [](const ::testing::TestParamInfo<Try>& p) {
                             return std::string(p.param.name);
                         });

}  // namespace
}  // namespace melvora
