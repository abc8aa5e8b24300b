// End to end: runs the built melvora-analyze on WAV files made here and reads its output.

#include "analysis/note.h"
#include "audio/wave_file.h"

#include "synthetic_voice.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
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
    std::vector<std::string> lines;  // standard output
    std::string errors;              // standard error
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
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
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        folder_ = made;
    }
    void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

    std::string PathOf(const std::string& name) const { return folder_ + "/" + name; }

    ToolRun Run(const std::string& arguments) const {
        const std::string out = PathOf("out.txt");
        const std::string err = PathOf("err.txt");
        const std::string command = std::string("'") + MELVORA_ANALYZE_PATH + "' " + arguments +
                                    " >'" + out + "' 2>'" + err + "'";
        const int raw = std::system(command.c_str());
        ToolRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.lines = Split(ReadText(out), '\n');
        run.errors = ReadText(err);
        return run;
    }

    std::string WriteWave(const std::string& name, const std::vector<int16_t>& samples, int rate,
                          int channels = 1) const {
        const std::string path = PathOf(name);
        std::unique_ptr<WaveFile> file =
            WaveFile::CreateForWriting(path, static_cast<uint32_t>(rate), 16,
                                       static_cast<uint16_t>(channels), WaveFile::kFormatPcm);
        EXPECT_EQ(file->State(), WaveFileState::Writing);
        EXPECT_EQ(file->WriteMono(samples.data(), static_cast<int32_t>(samples.size())),
                  static_cast<int32_t>(samples.size()));
        file->Close();
        return path;
    }

    std::string WriteBytes(const std::string& name, const std::string& bytes) const {
        const std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::string folder_;
};

// Three sung notes, A3, C4 and E4, 0.6 s each, starting with the voice at once.
std::vector<int16_t> ThreeNotes(int rate) {
    VoiceTrack track;
    track.pitchHz = [](double t) { return t < 0.6 ? 220.0 : (t < 1.2 ? 261.63 : 329.63); };
    track.peakAmplitude = [](double) { return 12000.0; };
    return SynthesizeVoice(rate, 1.8, track);
}

// The note names of the rows, runs of at least three equal voiced rows only (the rows at a
// change of note may show either note or a glide).
std::vector<std::string> SungNotes(const std::vector<std::string>& lines) {
    std::vector<std::string> notes;
    std::string current;
    int run = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty() || lines[i][0] == '#') {
            continue;
        }
        const std::string note = Split(lines[i], ',')[2];
        run = note == current ? run + 1 : 1;
        current = note;
        if (run == 3 && note != "-" && (notes.empty() || notes.back() != note)) {
            notes.push_back(note);
        }
    }
    return notes;
}

std::vector<std::string> CsvRows(const ToolRun& run) {
    std::vector<std::string> rows;
    for (size_t i = 1; i < run.lines.size(); ++i) {
        if (!run.lines[i].empty() && run.lines[i][0] != '#') {
            rows.push_back(run.lines[i]);
        }
    }
    return rows;
}

TEST_F(AnalyzeTool, PrintsOneRowPerBlockWithTheColumnsAndTimes) {
    const int rate = 22050;
    const int hop = 661;  // 0.03 s in single precision at 22050 Hz, rounded half up
    std::vector<int16_t> samples = ThreeNotes(rate);
    samples.resize(samples.size() + 100, 0);  // a short last block
    const std::string path = WriteWave("three.wav", samples, rate);
    const ToolRun run = Run("'" + path + "'");
    ASSERT_EQ(run.status, 0) << run.errors;
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines[0], "time_s,pitch_hz,note,tessim,level,jitter,shimmer");
    const std::vector<std::string> rows = CsvRows(run);
    const size_t blocks = (samples.size() + hop - 1) / hop;
    ASSERT_EQ(rows.size(), blocks);
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::vector<std::string> fields = Split(rows[i], ',');
        ASSERT_EQ(fields.size(), 7u) << rows[i];
        EXPECT_NEAR(std::stod(fields[0]), (i + 1.0) * hop / rate, 0.0006) << rows[i];
        const double pitch = std::stod(fields[1]);
        EXPECT_EQ(fields[2] == "-", pitch == 0.0) << rows[i];
        for (int f = 3; f < 7; ++f) {
            const double score = std::stod(fields[f]);
            EXPECT_GE(score, 0.0);
            EXPECT_LE(score, 1.0);
        }
    }
    EXPECT_EQ(SungNotes(run.lines), (std::vector<std::string>{"A3", "C4", "E4"}));
    // Thanks to the silence heard before the file, the voice is found from its first blocks.
    EXPECT_NE(Split(rows[3], ',')[2], "-");
}

TEST_F(AnalyzeTool, AveragingSolfegeAndSummary) {
    const int rate = 16000;
    const int hop = 480;
    const std::vector<int16_t> samples = ThreeNotes(rate);
    const std::string path = WriteWave("three16.wav", samples, rate);
    const ToolRun run = Run("--average 3 --solfege --summary '" + path + "'");
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<std::string> rows = CsvRows(run);
    ASSERT_EQ(rows.size(), samples.size() / hop / 3);
    for (size_t j = 0; j < rows.size(); ++j) {
        EXPECT_NEAR(std::stod(Split(rows[j], ',')[0]), 3.0 * (j + 1) * hop / rate, 0.0006);
    }
    // The first row averages the note's onset with the silence before it; from then on the
    // three notes follow each other.
    EXPECT_EQ(SungNotes(run.lines), (std::vector<std::string>{"La3", "Do4", "Mi4"}));
    const std::string all = [&] {
        std::string text;
        for (const std::string& line : run.lines) {
            text += line + "\n";
        }
        return text;
    }();
    EXPECT_NE(all.find("# voiced share: "), std::string::npos);
    EXPECT_NE(all.find("# median pitch: "), std::string::npos);
    EXPECT_NE(all.find("(Do4)"), std::string::npos) << all;  // median of A3, C4, E4 thirds
    EXPECT_NE(all.find("# mean tessim: "), std::string::npos);
    EXPECT_NE(all.find("# mean jitter: "), std::string::npos);
    EXPECT_NE(all.find("# mean shimmer: "), std::string::npos);
}

TEST_F(AnalyzeTool, StereoIsMixedToMonoAndStatsGoToStandardError) {
    const int rate = 22050;
    const std::vector<int16_t> samples = ThreeNotes(rate);
    const ToolRun mono = Run("'" + WriteWave("mono.wav", samples, rate) + "'");
    const ToolRun stereo = Run("--stats '" + WriteWave("stereo.wav", samples, rate, 2) + "'");
    ASSERT_EQ(stereo.status, 0) << stereo.errors;
    EXPECT_EQ(mono.lines, stereo.lines);
    EXPECT_NE(stereo.errors.find("audio 1.800 s"), std::string::npos) << stereo.errors;
    EXPECT_NE(stereo.errors.find("times real time"), std::string::npos) << stereo.errors;
}

TEST_F(AnalyzeTool, FilesThatCannotBeAnalysedExitWithTwoAndAReason) {
    const std::string text = WriteBytes("notes.wav", "These are not samples at all.\n");
    ToolRun run = Run("'" + text + "'");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find(text), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("not a WAV file"), std::string::npos) << run.errors;
    EXPECT_TRUE(CsvRows(run).empty());

    run = Run("'" + PathOf("missing.wav") + "'");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("cannot open the file"), std::string::npos) << run.errors;

    // A header cut off before its data chunk.
    const std::string whole = ReadText(WriteWave("whole.wav", ThreeNotes(16000), 16000));
    run = Run("'" + WriteBytes("cut.wav", whole.substr(0, 30)) + "'");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("truncated"), std::string::npos) << run.errors;

    // 24-bit PCM.
    std::string deep = whole.substr(0, 44);
    deep[34] = 24;
    run = Run("'" + WriteBytes("deep.wav", deep + std::string(300, '\0')) + "'");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("unsupported WAV format"), std::string::npos) << run.errors;
}

TEST_F(AnalyzeTool, BadOptionsPrintTheUsageAndExitWithTwo) {
    const std::string path = WriteWave("ok.wav", ThreeNotes(16000), 16000);
    for (const std::string& arguments : std::vector<std::string>{
             "--bogus '" + path + "'", "--average 0 '" + path + "'", "--average x '" + path + "'",
             "--sensitivity 1.5 '" + path + "'", "--frame 0.02 --skip 0.03 '" + path + "'",
             "--skip", "", "'" + path + "' '" + path + "'"}) {
        const ToolRun run = Run(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.errors.find("usage: melvora-analyze"), std::string::npos) << arguments;
    }
}

TEST_F(AnalyzeTool, HelpExplainsTheLeadInSilence) {
    const ToolRun run = Run("--help");
    EXPECT_EQ(run.status, 0);
    std::string all;
    for (const std::string& line : run.lines) {
        all += line + "\n";
    }
    EXPECT_NE(all.find("usage: melvora-analyze"), std::string::npos);
    EXPECT_NE(all.find("0.5 s of silence"), std::string::npos) << all;
    EXPECT_NE(all.find("time_s,pitch_hz,note,tessim,level,jitter,shimmer"), std::string::npos);
}

// The shipped sample sings C4 D4 E4 F4 G4 E4, a breath, C4.
TEST_F(AnalyzeTool, ShippedSampleSingsItsPhrase) {
    const ToolRun run = Run(std::string("--summary '") + MELVORA_SOURCE_DIR + "/data/sample.wav'");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(SungNotes(run.lines),
              (std::vector<std::string>{"C4", "D4", "E4", "F4", "G4", "E4", "C4"}));
}

// data/sample.wav is what the committed generator makes.
TEST_F(AnalyzeTool, SampleGeneratorRebuildsTheShippedSample) {
    const std::string path = PathOf("sample.wav");
    ASSERT_EQ(
        std::system((std::string("'") + MELVORA_SAMPLE_GEN_PATH + "' '" + path + "'").c_str()), 0);
    std::unique_ptr<WaveFile> made = WaveFile::OpenForReading(path);
    std::unique_ptr<WaveFile> shipped =
        WaveFile::OpenForReading(std::string(MELVORA_SOURCE_DIR) + "/data/sample.wav");
    ASSERT_EQ(made->State(), WaveFileState::Reading);
    ASSERT_EQ(shipped->State(), WaveFileState::Reading);
    EXPECT_EQ(shipped->SampleRateHz(), 22050u);
    EXPECT_EQ(shipped->Channels(), 1);
    EXPECT_EQ(shipped->BitsPerSample(), 16);
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
