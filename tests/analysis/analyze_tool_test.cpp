// End to end: runs the built melvora-analyze on WAV files made here and reads its output.

#include "audio/wave_file.h"

#include "app/temp_folder.h"
#include "synthetic_voice.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace melvora {
namespace {

struct ToolRun {
    int status = -1;
    std::string output;
    std::string errors;
    std::vector<std::string> rows;  // CSV rows of the output, without header and comments
};

class AnalyzeTool : public ::testing::Test {
  protected:
    std::string PathOf(const std::string& name) const { return folder_.path() + name; }

    ToolRun Run(const std::string& arguments) const {
        const int raw = std::system((std::string("'") + MELVORA_ANALYZE_PATH + "' " + arguments +
                                     " >'" + PathOf("out.txt") + "' 2>'" + PathOf("err.txt") + "'")
                                        .c_str());
        ToolRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.output = ReadText(PathOf("out.txt"));
        run.errors = ReadText(PathOf("err.txt"));
        const std::vector<std::string> lines = Split(run.output, '\n');
        for (size_t i = 1; i < lines.size(); ++i) {
            if (!lines[i].empty() && lines[i][0] != '#') {
                run.rows.push_back(lines[i]);
            }
        }
        return run;
    }

    // Three sung notes, A3, C4 and E4, 0.6 s each, starting with the voice at once.
    std::string WriteThreeNotes(const std::string& name, int rate, int channels = 1,
                                size_t extraSilence = 0) const {
        std::vector<int16_t> samples =
            SynthesizeVoice(rate, 1.8,
                            {[](double t) { return t < 0.6 ? 220.0 : (t < 1.2 ? 261.63 : 329.63); },
                             [](double) { return 12000.0; }});
        samples.resize(samples.size() + extraSilence, 0);
        EXPECT_TRUE(WriteWave(PathOf(name), rate, samples, channels));
        return PathOf(name);
    }

    testing_support::TempProgramDirectory folder_;
};

// The note names of the rows, runs of at least three equal voiced rows only (the rows at a
// change of note may show either note or a glide).
std::vector<std::string> SungNotes(const ToolRun& run) {
    std::vector<std::string> notes;
    std::string current;
    int length = 0;
    for (const std::string& row : run.rows) {
        const std::string note = Split(row, ',')[2];
        length = note == current ? length + 1 : 1;
        current = note;
        if (length == 3 && note != "-" && (notes.empty() || notes.back() != note)) {
            notes.push_back(note);
        }
    }
    return notes;
}

TEST_F(AnalyzeTool, RowsColumnsTimesAveragingSummaryAndStereo) {
    const int rate = 22050;
    const int hop = 661;  // 0.03 s in single precision at 22050 Hz, rounded half up
    const ToolRun run = Run("'" + WriteThreeNotes("three.wav", rate, 1, 100) + "'");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.output.substr(0, run.output.find('\n')),
              "time_s,pitch_hz,note,tessim,level,jitter,shimmer");
    // A short last block is analysed too.
    ASSERT_EQ(run.rows.size(), (static_cast<size_t>(1.8 * rate) + 100 + hop - 1) / hop);
    for (size_t i = 0; i < run.rows.size(); ++i) {
        SCOPED_TRACE(run.rows[i]);
        const std::vector<std::string> fields = Split(run.rows[i], ',');
        ASSERT_EQ(fields.size(), 7u);
        EXPECT_NEAR(std::stod(fields[0]), (i + 1.0) * hop / rate, 0.0006);
        EXPECT_EQ(fields[2] == "-", std::stod(fields[1]) == 0.0);
        for (int f = 3; f < 7; ++f) {
            EXPECT_TRUE(std::stod(fields[f]) >= 0.0 && std::stod(fields[f]) <= 1.0);
        }
    }
    EXPECT_EQ(SungNotes(run), (std::vector<std::string>{"A3", "C4", "E4"}));
    // Thanks to the silence heard before the file, the voice is found from its first blocks.
    EXPECT_NE(Split(run.rows[3], ',')[2], "-");

    // Averaging, solfege names and the summary.
    const std::string mono = WriteThreeNotes("mono.wav", 16000);
    const ToolRun averaged = Run("--average 3 --solfege --summary '" + mono + "'");
    ASSERT_EQ(averaged.status, 0) << averaged.errors;
    ASSERT_EQ(averaged.rows.size(), 28800u / 480 / 3);
    for (size_t j = 0; j < averaged.rows.size(); ++j) {
        EXPECT_NEAR(std::stod(Split(averaged.rows[j], ',')[0]), 3.0 * (j + 1) * 480 / 16000,
                    0.0006);
    }
    EXPECT_EQ(SungNotes(averaged), (std::vector<std::string>{"La3", "Do4", "Mi4"}));
    for (const char* line : {"# voiced share: ", "# median pitch: ", "(Do4)",
                             "# mean tessim: ", "# mean jitter: ", "# mean shimmer: "}) {
        EXPECT_NE(averaged.output.find(line), std::string::npos) << line << averaged.output;
    }
    // Stereo is mixed to mono; --stats goes to standard error.
    const ToolRun stereo = Run("--stats '" + WriteThreeNotes("stereo.wav", 16000, 2) + "'");
    ASSERT_EQ(stereo.status, 0) << stereo.errors;
    EXPECT_EQ(Run("'" + mono + "'").output, stereo.output);
    EXPECT_NE(stereo.errors.find("audio 1.800 s"), std::string::npos) << stereo.errors;
    EXPECT_NE(stereo.errors.find("times real time"), std::string::npos) << stereo.errors;
}

// Every refusal exits with 2, names its reason on standard error and prints no rows.
TEST_F(AnalyzeTool, RefusalsExitWithTwoAndAReason) {
    const std::string ok = "'" + WriteThreeNotes("ok.wav", 8000) + "'";
    const std::string whole = ReadText(PathOf("ok.wav"));
    std::string deep = whole.substr(0, 44);
    deep[34] = 24;  // 24-bit PCM
    std::string fast = whole;
    fast.replace(24, 4, std::string("\x44\xac\x00\x23", 4));  // 587,246,660 Hz
    std::ofstream(PathOf("text.wav"), std::ios::binary) << "These are not samples at all.\n";
    std::ofstream(PathOf("cut.wav"), std::ios::binary) << whole.substr(0, 30);  // before data
    std::ofstream(PathOf("deep.wav"), std::ios::binary) << deep + std::string(300, '\0');
    std::ofstream(PathOf("fast.wav"), std::ios::binary) << fast;
    const std::pair<std::string, std::string> cases[] = {
        {"'" + PathOf("text.wav") + "'", PathOf("text.wav") + ": not a WAV file"},
        {"'" + PathOf("missing.wav") + "'", "cannot open the file"},
        {"'" + PathOf("cut.wav") + "'", "truncated"},
        {"'" + PathOf("deep.wav") + "'", "unsupported WAV format"},
        {"'" + PathOf("fast.wav") + "'",
         PathOf("fast.wav") + ": unsupported WAV format (the sample rate"},
        {"--frame 0.00001 --skip 0.00001 " + ok, "at 8000 Hz the frame is 0"},
        {"--bogus " + ok, "usage: melvora-analyze"},
        {"--average 0 " + ok, "usage: melvora-analyze"},
        {"--average x " + ok, "usage: melvora-analyze"},
        {"--sensitivity 1.5 " + ok, "usage: melvora-analyze"},
        {"--frame 0.02 --skip 0.03 " + ok, "usage: melvora-analyze"},
        {"--skip", "usage: melvora-analyze"},
        {"", "usage: melvora-analyze"},
        {"-j 0 " + ok, "usage: melvora-analyze"},
        {"--out-dir '" + PathOf("o") + "' --combined x.csv " + ok, "exclude each other"},
        {"-j 2 '" + PathOf("no-such-folder") + "/'", "cannot open the file"},
        {"--combined '" + PathOf("no/such/dir/all.csv") + "' " + ok, "cannot create"}};
    for (const auto& [arguments, reason] : cases) {
        SCOPED_TRACE(arguments);
        const ToolRun run = Run(arguments);
        // A batch whose only file fails says so with 1; everything else refused is 2.
        EXPECT_EQ(run.status, arguments.find("no-such-folder") != std::string::npos ? 1 : 2);
        EXPECT_NE(run.errors.find(reason), std::string::npos) << run.errors;
        EXPECT_TRUE(run.rows.empty());
    }
}

// The shipped sample is what the committed generator makes, and sings C4 D4 E4 F4 G4 E4, a
// breath, C4.
TEST_F(AnalyzeTool, ShippedSampleIsRebuiltByTheGeneratorAndSingsItsPhrase) {
    const std::string shippedPath = std::string(MELVORA_SOURCE_DIR) + "/data/sample.wav";
    const ToolRun run = Run("--summary '" + shippedPath + "'");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(SungNotes(run), (std::vector<std::string>{"C4", "D4", "E4", "F4", "G4", "E4", "C4"}));

    const std::string path = PathOf("sample.wav");
    ASSERT_EQ(
        std::system((std::string("'") + MELVORA_SAMPLE_GEN_PATH + "' '" + path + "'").c_str()), 0);
    std::unique_ptr<WaveFile> made = WaveFile::OpenForReading(path);
    std::unique_ptr<WaveFile> shipped = WaveFile::OpenForReading(shippedPath);
    EXPECT_EQ(shipped->SampleRateHz(), 22050u);
    ASSERT_EQ(made->FrameCount(), shipped->FrameCount());
    std::vector<int16_t> a(static_cast<size_t>(made->FrameCount())), b(a.size());
    ASSERT_EQ(made->ReadMono(a.data(), made->FrameCount()), made->FrameCount());
    ASSERT_EQ(shipped->ReadMono(b.data(), shipped->FrameCount()), shipped->FrameCount());
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_LE(std::abs(a[i] - b[i]), 1) << "sample " << i;  // libm may round differently
    }
}

// Many files on several workers: a bad file is named and the others finish (exit 1); the
// combined table is the single-file tables in input order with a file column, whatever the
// number of workers; --out-dir writes one table per input, numbering clashing names.
TEST_F(AnalyzeTool, BatchOfGoodAndBadFiles) {
    ASSERT_TRUE(std::filesystem::create_directories(PathOf("in/a")));
    ASSERT_TRUE(std::filesystem::create_directories(PathOf("in/b")));
    const std::string first = WriteThreeNotes("in/a/voice.wav", 16000);
    const std::string second = WriteThreeNotes("in/b/voice.WAV", 22050, 2);
    const std::string third = WriteThreeNotes("in/b/other.wav", 8000);
    std::ofstream(PathOf("in/a/bad.wav"), std::ios::binary) << "RIFF....WAVEjunk";
    std::ofstream(PathOf("in/b/notes.txt")) << "not a WAV name: skipped";

    const ToolRun two = Run("-j 2 '" + PathOf("in") + "'");
    EXPECT_EQ(two.status, 1);
    EXPECT_NE(two.errors.find(PathOf("in/a/bad.wav") + ": "), std::string::npos) << two.errors;
    EXPECT_EQ(two.errors.find("voice"), std::string::npos) << two.errors;
    EXPECT_EQ(Run("-j 1 '" + PathOf("in") + "'").output, two.output);
    // In input order (folders sorted by path), each file's rows as the single-file run.
    std::string expected = "file,time_s,pitch_hz,note,tessim,level,jitter,shimmer\n";
    for (const std::string& path : {first, third, second}) {
        for (const std::string& row : Run("'" + path + "'").rows) {
            expected += path + "," + row + "\n";
        }
    }
    EXPECT_EQ(two.output, expected);

    const ToolRun split = Run("-j 2 --out-dir '" + PathOf("out") + "' '" + PathOf("in/a") + "' '" +
                              second + "' '" + third + "'");
    EXPECT_EQ(split.status, 1);
    EXPECT_TRUE(split.output.empty());
    EXPECT_EQ(ReadText(PathOf("out/voice.csv")), Run("'" + first + "'").output);
    EXPECT_EQ(ReadText(PathOf("out/voice-2.csv")), Run("'" + second + "'").output);
    EXPECT_EQ(ReadText(PathOf("out/other.csv")), Run("'" + third + "'").output);
    EXPECT_FALSE(std::ifstream(PathOf("out/bad.csv")).good());  // a failed file leaves none

    // All good: 0, and --combined writes the table to a file.
    const ToolRun good = Run("--stats --summary --combined '" + PathOf("all.csv") + "' '" + first +
                             "' '" + third + "'");
    EXPECT_EQ(good.status, 0) << good.errors;
    EXPECT_NE(good.errors.find("2 files (0 failed)"), std::string::npos) << good.errors;
    const std::string all = ReadText(PathOf("all.csv"));
    EXPECT_EQ(all.find("file,time_s"), 0u);
    EXPECT_LT(all.find("# file: " + first + "\n# voiced share"),
              all.find("# file: " + third + "\n# voiced share"));
}

// The octave guard moves a lone record an octave away from its agreeing neighbours back, and
// only such a record: the gross pitch error (rows more than a semitone from the sung pitch)
// falls with the guard, and every row it changes moves by an octave onto the sung pitch.
TEST_F(AnalyzeTool, OctaveGuardOnlyMendsLoneOctaveJumps) {
    int errorsWithout = 0, errorsWith = 0;
    // Near the pitches where the coarse grid starts to read a note an octave low, with a
    // vibrato, so that single blocks slip.
    const std::pair<int, double> voices[] = {{8000, 587.33}, {16000, 587.33}, {11025, 560.0},
                                             {22050, 600.0}, {44100, 620.0},  {44100, 196.0}};
    for (const auto& [rate, pitchHz] : voices) {
        SCOPED_TRACE(pitchHz);
        const double sung = pitchHz;
        const std::string path = PathOf("steady.wav");
        ASSERT_TRUE(WriteWave(
            path, rate,
            SynthesizeVoice(
                rate, 3.0,
                {[sung](double t) { return sung * (1.0 + 0.02 * std::sin(2.0 * M_PI * 5.5 * t)); },
                 [](double) { return 12000.0; }})));
        const ToolRun plain = Run("'" + path + "'");
        const ToolRun guarded = Run("--octave-guard --summary '" + path + "'");
        ASSERT_EQ(plain.rows.size(), guarded.rows.size());
        const auto gross = [sung](double hz) {
            return hz > 0.0 && std::fabs(1200.0 * std::log2(hz / sung)) > 100.0;
        };
        int changed = 0;
        for (size_t i = 0; i < plain.rows.size(); ++i) {
            const double a = std::stod(Split(plain.rows[i], ',')[1]);
            const double b = std::stod(Split(guarded.rows[i], ',')[1]);
            errorsWithout += gross(a) ? 1 : 0;
            errorsWith += gross(b) ? 1 : 0;
            if (a != b) {
                ++changed;
                EXPECT_NEAR(std::fabs(std::log2(a / b)), 1.0, 1e-3) << "row " << i;
                EXPECT_FALSE(gross(b)) << "row " << i;
            }
        }
        EXPECT_NE(guarded.output.find("# octave corrections: " + std::to_string(changed) + "\n"),
                  std::string::npos);
    }
    std::printf("gross pitch errors on the test voices: %d without the guard, %d with it\n",
                errorsWithout, errorsWith);
    EXPECT_LT(errorsWith, errorsWithout);
}

}  // namespace
}  // namespace melvora
