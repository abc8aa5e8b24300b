// End to end: runs the built melvora-analyze on WAV files made here and reads its output.

#include "audio/wave_file.h"

#include "synthetic_voice.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
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

std::string ReadText(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) {
        parts.push_back(part);
    }
    return parts;
}

class AnalyzeTool : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/melvora-analyze-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

    std::string PathOf(const std::string& name) const { return folder_ + "/" + name; }

    ToolRun Run(const std::string& arguments) const {
        const std::string command = std::string("'") + MELVORA_ANALYZE_PATH + "' " + arguments +
                                    " >'" + PathOf("out.txt") + "' 2>'" + PathOf("err.txt") + "'";
        const int raw = std::system(command.c_str());
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
        VoiceTrack track;
        track.pitchHz = [](double t) { return t < 0.6 ? 220.0 : (t < 1.2 ? 261.63 : 329.63); };
        track.peakAmplitude = [](double) { return 12000.0; };
        std::vector<int16_t> samples = SynthesizeVoice(rate, 1.8, track);
        samples.resize(samples.size() + extraSilence, 0);
        const std::string path = PathOf(name);
        std::unique_ptr<WaveFile> file =
            WaveFile::CreateForWriting(path, static_cast<uint32_t>(rate), 16,
                                       static_cast<uint16_t>(channels), WaveFile::kFormatPcm);
        EXPECT_EQ(file->WriteMono(samples.data(), static_cast<int32_t>(samples.size())),
                  static_cast<int32_t>(samples.size()));
        file->Close();
        return path;
    }

    std::string folder_;
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

TEST_F(AnalyzeTool, PrintsOneRowPerBlockWithTheColumnsAndTimes) {
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
            EXPECT_GE(std::stod(fields[f]), 0.0);
            EXPECT_LE(std::stod(fields[f]), 1.0);
        }
    }
    EXPECT_EQ(SungNotes(run), (std::vector<std::string>{"A3", "C4", "E4"}));
    // Thanks to the silence heard before the file, the voice is found from its first blocks.
    EXPECT_NE(Split(run.rows[3], ',')[2], "-");
}

TEST_F(AnalyzeTool, AveragingSolfegeSummaryAndStereo) {
    const std::string mono = WriteThreeNotes("mono.wav", 16000);
    const ToolRun run = Run("--average 3 --solfege --summary '" + mono + "'");
    ASSERT_EQ(run.status, 0) << run.errors;
    ASSERT_EQ(run.rows.size(), 28800u / 480 / 3);
    for (size_t j = 0; j < run.rows.size(); ++j) {
        EXPECT_NEAR(std::stod(Split(run.rows[j], ',')[0]), 3.0 * (j + 1) * 480 / 16000, 0.0006);
    }
    EXPECT_EQ(SungNotes(run), (std::vector<std::string>{"La3", "Do4", "Mi4"}));
    for (const char* line : {"# voiced share: ", "# median pitch: ", "(Do4)",
                             "# mean tessim: ", "# mean jitter: ", "# mean shimmer: "}) {
        EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
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
    const std::pair<std::string, std::string> files[] = {
        {"text.wav", "These are not samples at all.\n"},
        {"cut.wav", whole.substr(0, 30)},  // cut off before its data chunk
        {"deep.wav", deep + std::string(300, '\0')},
        {"fast.wav", fast}};
    for (const auto& [name, bytes] : files) {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }
    const std::pair<std::string, std::string> cases[] = {
        {"'" + PathOf("text.wav") + "'", "not a WAV file"},
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
        {ok + " " + ok, "usage: melvora-analyze"}};
    for (const auto& [arguments, reason] : cases) {
        SCOPED_TRACE(arguments);
        const ToolRun run = Run(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.errors.find(reason), std::string::npos) << run.errors;
        EXPECT_TRUE(run.rows.empty());
    }
    EXPECT_NE(Run("'" + PathOf("text.wav") + "'").errors.find(PathOf("text.wav")),
              std::string::npos);
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
    ASSERT_EQ(made->State(), WaveFileState::Reading);
    ASSERT_EQ(shipped->State(), WaveFileState::Reading);
    EXPECT_EQ(shipped->SampleRateHz(), 22050u);
    ASSERT_EQ(made->FrameCount(), shipped->FrameCount());
    std::vector<int16_t> a(static_cast<size_t>(made->FrameCount()));
    std::vector<int16_t> b(a.size());
    ASSERT_EQ(made->ReadMono(a.data(), made->FrameCount()), made->FrameCount());
    ASSERT_EQ(shipped->ReadMono(b.data(), shipped->FrameCount()), shipped->FrameCount());
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_LE(std::abs(a[i] - b[i]), 1) << "sample " << i;  // libm may round differently
    }
}

}  // namespace
}  // namespace melvora
