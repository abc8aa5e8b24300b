// Interoperability with sox, the tool people already use for WAV files: what we write, sox
// must read to the same samples; what sox writes, we must read to the samples sox itself
// decodes. sox is installed by scripts/deps.sh; without it these tests fail.

#include "audio/wave_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/g711.h"
#include "audio/wave_test_util.h"

namespace melvora {
namespace {

using testutil::Bytes;
using testutil::TempPath;

bool SoxInstalled() {
    return std::system("sox --version >/dev/null 2>&1") == 0;
}

#define REQUIRE_SOX()                                                                  \
    do {                                                                               \
        if (!SoxInstalled()) {                                                         \
            FAIL() << "sox is not installed: run 'bash scripts/deps.sh test' (Debian " \
                      "package sox) before the audio tests";                           \
        }                                                                              \
    } while (0)

bool RunSox(const std::string& command) {
    const int rc = std::system((command + " 2>/dev/null").c_str());
    return rc == 0;
}

// First line of a command's output, trimmed.
std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return out;
    }
    char buffer[256];
    if (fgets(buffer, sizeof(buffer), pipe)) {
        out = buffer;
    }
    pclose(pipe);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) {
        out.pop_back();
    }
    return out;
}

std::vector<int16_t> ReadRaw16(const std::string& path) {
    const Bytes bytes = testutil::ReadAll(path);
    std::vector<int16_t> out(bytes.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<int16_t>(testutil::Le16At(bytes, 2 * i));
    }
    return out;
}

// Frames of a test signal per channel: a sine sweep, bursts of full-scale noise (every
// code of the 8-bit formats gets used) and exact extremes.
std::vector<std::vector<int16_t>> Signal(int channels, int frames) {
    std::vector<std::vector<int16_t>> out(channels, std::vector<int16_t>(frames));
    uint32_t seed = 12345;
    for (int c = 0; c < channels; ++c) {
        for (int i = 0; i < frames; ++i) {
            int value;
            if (i % 400 < 200) {
                value = static_cast<int>(30000 * std::sin(0.002 * i * i / (c + 1) + c));
            } else {
                seed = seed * 1664525u + 1013904223u;
                value = static_cast<int16_t>(seed >> 16);
            }
            if (i == 5) {
                value = 32767;
            } else if (i == 6) {
                value = -32768;
            }
            out[c][i] = static_cast<int16_t>(value);
        }
    }
    return out;
}

int16_t Stored(int16_t s, uint16_t tag, uint16_t bits) {
    if (tag == WaveFile::kFormatMuLaw) {
        return MuLawToLinear(LinearToMuLaw(s));
    }
    if (tag == WaveFile::kFormatALaw) {
        return ALawToLinear(LinearToALaw(s));
    }
    if (bits == 8) {
        return static_cast<int16_t>((((s + 32768) >> 8) - 128) * 256);
    }
    return s;
}

struct SoxFormat {
    uint16_t tag;
    uint16_t bits;
    uint16_t channels;
    uint32_t rate;
    const char* soxEncoding;  // sox output options giving the same format
};

void PrintTo(const SoxFormat& f, std::ostream* os) {
    *os << f.soxEncoding << ", " << f.channels << " ch";
}

std::string SoxFormatName(const ::testing::TestParamInfo<SoxFormat>& info) {
    const SoxFormat& f = info.param;
    const char* kind = f.tag == 7 ? "mulaw" : f.tag == 6 ? "alaw" : f.bits == 8 ? "pcm8" : "pcm16";
    return std::string(kind) + "_" + std::to_string(f.channels) + "ch";
}

class WaveFileSox : public ::testing::TestWithParam<SoxFormat> {};

TEST_P(WaveFileSox, FilesWeWriteAreReadBySoxToTheSameSamples) {
    REQUIRE_SOX();
    const SoxFormat f = GetParam();
    TempPath wav("ours.wav");
    TempPath raw("ours.raw");
    const int frames = 4000;
    const auto signal = Signal(f.channels, frames);
    std::vector<const int16_t*> in;
    for (const auto& s : signal) {
        in.push_back(s.data());
    }
    {
        auto file = WaveFile::CreateForWriting(wav.str(), f.rate, f.bits, f.channels, f.tag);
        ASSERT_EQ(file->State(), WaveFileState::Writing);
        ASSERT_EQ(file->WriteChannels(in.data(), frames), frames * f.channels);
    }
    EXPECT_EQ(Output("sox --i -c " + wav.str()), std::to_string(f.channels));
    EXPECT_EQ(Output("sox --i -r " + wav.str()), std::to_string(f.rate));
    EXPECT_EQ(Output("sox --i -s " + wav.str()), std::to_string(frames));
    ASSERT_TRUE(RunSox("sox -D " + wav.str() + " -t raw -e signed-integer -b 16 -L " + raw.str()));
    const std::vector<int16_t> decoded = ReadRaw16(raw.str());
    ASSERT_EQ(decoded.size(), static_cast<size_t>(frames) * f.channels);
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < f.channels; ++c) {
            ASSERT_EQ(decoded[i * f.channels + c], Stored(signal[c][i], f.tag, f.bits))
                << "frame " << i << " channel " << c;
        }
    }
}

TEST_P(WaveFileSox, FilesSoxWritesReadToTheSamplesSoxDecodes) {
    REQUIRE_SOX();
    const SoxFormat f = GetParam();
    TempPath source("source.raw");
    TempPath wav("sox.wav");
    TempPath decodedRaw("sox_decoded.raw");
    const int frames = 4000;
    const auto signal = Signal(f.channels, frames);
    std::vector<int16_t> interleaved;
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < f.channels; ++c) {
            interleaved.push_back(signal[c][i]);
        }
    }
    ASSERT_TRUE(testutil::WriteAll(source.str(), testutil::Pcm16(interleaved)));
    ASSERT_TRUE(RunSox("sox -D -t raw -r " + std::to_string(f.rate) +
                       " -e signed-integer -b 16 -L -c " + std::to_string(f.channels) + " " +
                       source.str() + " " + f.soxEncoding + " " + wav.str()));
    ASSERT_TRUE(
        RunSox("sox -D " + wav.str() + " -t raw -e signed-integer -b 16 -L " + decodedRaw.str()));
    const std::vector<int16_t> soxDecoded = ReadRaw16(decodedRaw.str());
    ASSERT_EQ(soxDecoded.size(), interleaved.size());

    auto reader = WaveFile::OpenForReading(wav.str());
    ASSERT_EQ(reader->State(), WaveFileState::Reading);
    EXPECT_EQ(reader->FormatTag(), f.tag);
    EXPECT_EQ(reader->BitsPerSample(), f.bits);
    EXPECT_EQ(reader->Channels(), f.channels);
    EXPECT_EQ(reader->SampleRateHz(), f.rate);
    ASSERT_EQ(reader->FrameCount(), frames);
    std::vector<std::vector<int16_t>> out(f.channels, std::vector<int16_t>(frames));
    std::vector<int16_t*> outPtr;
    for (auto& o : out) {
        outPtr.push_back(o.data());
    }
    ASSERT_EQ(reader->ReadChannels(outPtr.data(), frames), frames * f.channels);
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < f.channels; ++c) {
            const int ours = out[c][i];
            ASSERT_EQ(ours, soxDecoded[i * f.channels + c]) << "frame " << i << " channel " << c;
            // And both are the source within the codec's own rounding.
            const int original = signal[c][i];
            const int tolerance = f.bits == 16 ? 0
                                  : f.tag == 1 ? 256
                                               : std::max(16, std::abs(original) / 16 + 16);
            ASSERT_LE(std::abs(ours - original), tolerance) << "frame " << i << " channel " << c;
        }
    }

    // The mono view of the same file is the mean of its channels.
    ASSERT_TRUE(reader->Seek(0));
    std::vector<int16_t> mono(frames);
    ASSERT_EQ(reader->ReadMono(mono.data(), frames), frames);
    for (int i = 0; i < frames; ++i) {
        double sum = 0;
        for (int c = 0; c < f.channels; ++c) {
            sum += out[c][i];
        }
        ASSERT_EQ(mono[i], static_cast<int16_t>(sum / f.channels)) << i;
    }
}

// Recording onto a file sox wrote (its G.711 files carry an 18-byte fmt chunk and a fact
// chunk) must leave a file sox still reads, old samples first, then the new ones.
TEST_P(WaveFileSox, AppendingToASoxFileKeepsItReadableBySox) {
    REQUIRE_SOX();
    const SoxFormat f = GetParam();
    TempPath source("source.raw");
    TempPath wav("sox.wav");
    TempPath before("before.raw");
    TempPath after("after.raw");
    const int frames = 1000;
    const auto signal = Signal(f.channels, frames);
    std::vector<int16_t> interleaved;
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < f.channels; ++c) {
            interleaved.push_back(signal[c][i]);
        }
    }
    ASSERT_TRUE(testutil::WriteAll(source.str(), testutil::Pcm16(interleaved)));
    ASSERT_TRUE(RunSox("sox -D -t raw -r " + std::to_string(f.rate) +
                       " -e signed-integer -b 16 -L -c " + std::to_string(f.channels) + " " +
                       source.str() + " " + f.soxEncoding + " " + wav.str()));
    ASSERT_TRUE(
        RunSox("sox -D " + wav.str() + " -t raw -e signed-integer -b 16 -L " + before.str()));
    const std::vector<int16_t> added = Signal(1, 333)[0];
    {
        auto appender = WaveFile::OpenForAppending(wav.str());
        ASSERT_EQ(appender->State(), WaveFileState::Appending);
        ASSERT_EQ(appender->WriteMono(added.data(), 333), 333);
    }
    ASSERT_TRUE(
        RunSox("sox -D " + wav.str() + " -t raw -e signed-integer -b 16 -L " + after.str()));
    const std::vector<int16_t> old = ReadRaw16(before.str());
    const std::vector<int16_t> now = ReadRaw16(after.str());
    ASSERT_EQ(now.size(), old.size() + 333u * f.channels);
    EXPECT_TRUE(std::equal(old.begin(), old.end(), now.begin()));
    for (int i = 0; i < 333; ++i) {
        for (int c = 0; c < f.channels; ++c) {
            ASSERT_EQ(now[old.size() + i * f.channels + c], Stored(added[i], f.tag, f.bits)) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, WaveFileSox,
                         ::testing::Values(SoxFormat{1, 16, 1, 44100, "-e signed-integer -b 16"},
                                           SoxFormat{1, 16, 2, 22050, "-e signed-integer -b 16"},
                                           SoxFormat{1, 8, 1, 8000, "-e unsigned-integer -b 8"},
                                           SoxFormat{1, 8, 2, 11025, "-e unsigned-integer -b 8"},
                                           SoxFormat{7, 8, 1, 8000, "-e u-law -b 8"},
                                           SoxFormat{7, 8, 2, 8000, "-e u-law -b 8"},
                                           SoxFormat{6, 8, 1, 8000, "-e a-law -b 8"},
                                           SoxFormat{6, 8, 2, 16000, "-e a-law -b 8"}),
                         SoxFormatName);

// A file with an odd-sized chunk (and its RIFF pad byte) before the samples: we read what
// sox reads.
TEST(WaveFileSoxChunks, PaddedOddChunkFileReadsLikeSox) {
    REQUIRE_SOX();
    TempPath wav("odd.wav");
    TempPath raw("odd.raw");
    Bytes chunks;
    testutil::AppendChunk(&chunks, "LIST", Bytes{'I', 'N', 'F', 'O', 'x'});
    chunks.push_back(0);
    testutil::AppendChunk(&chunks, "fmt ", testutil::FmtBody(1, 1, 8000, 16));
    testutil::AppendChunk(&chunks, "data", testutil::Pcm16({100, -200, 300, -400}));
    ASSERT_TRUE(testutil::WriteAll(wav.str(), testutil::RiffWave(chunks)));
    ASSERT_TRUE(RunSox("sox " + wav.str() + " -t raw -e signed-integer -b 16 -L " + raw.str()));
    auto reader = WaveFile::OpenForReading(wav.str());
    ASSERT_EQ(reader->State(), WaveFileState::Reading);
    std::vector<int16_t> ours(4);
    ASSERT_EQ(reader->ReadMono(ours.data(), 10), 4);
    EXPECT_EQ(ours, ReadRaw16(raw.str()));
}

// Files with more than two channels: sox reads what we write (it writes such files itself in
// the extensible format, which this program does not read).
TEST(WaveFileSoxChannels, FiveChannelFileIsReadBySoxChannelByChannel) {
    REQUIRE_SOX();
    TempPath wav("five.wav");
    TempPath raw("five.raw");
    const auto signal = Signal(5, 500);
    std::vector<const int16_t*> in;
    for (const auto& s : signal) {
        in.push_back(s.data());
    }
    {
        auto file = WaveFile::CreateForWriting(wav.str(), 48000, 16, 5, 1);
        ASSERT_EQ(file->WriteChannels(in.data(), 500), 2500);
    }
    // Pick channel 4 alone with sox's remix.
    ASSERT_TRUE(RunSox("sox " + wav.str() + " -t raw -e signed-integer -b 16 -L " + raw.str() +
                       " remix 4"));
    EXPECT_EQ(ReadRaw16(raw.str()), signal[3]);
}

}  // namespace
}  // namespace melvora
