// Interoperability with sox, the tool people already use for WAV files: what we write, sox
// must read to the same samples; what sox writes, we must read to the samples sox itself
// decodes, and recording onto it must leave a file sox reads. sox is installed by
// scripts/deps.sh; without it these tests fail.

#include "audio/wave_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/wave_test_util.h"

namespace melvora {
namespace {

using namespace testutil;

// Runs sox quietly; false when it fails or is missing.
bool Sox(const std::string& arguments) {
    return std::system(("sox " + arguments + " 2>/dev/null").c_str()) == 0;
}

// The samples sox decodes from a file, interleaved, as 16-bit values.
std::vector<int16_t> SoxDecode(const std::string& wav, const TempPath& raw) {
    std::vector<int16_t> out;
    EXPECT_TRUE(Sox("-D " + wav + " -t raw -e signed-integer -b 16 -L " + raw.str()))
        << "sox is not installed or cannot read " << wav
        << ": run 'bash scripts/deps.sh test' (Debian package sox)";
    const Bytes bytes = ReadAll(raw.str());
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        out.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)));
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
            out[c][i] = static_cast<int16_t>(i == 5 ? 32767 : i == 6 ? -32768 : value);
        }
    }
    return out;
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

const SoxFormat kFormats[] = {
    {1, 16, 1, 44100, "-e signed-integer -b 16"},
    {1, 16, 2, 22050, "-e signed-integer -b 16"},
    {1, 8, 1, 8000, "-e unsigned-integer -b 8"},
    {1, 8, 2, 11025, "-e unsigned-integer -b 8"},
    {7, 8, 1, 8000, "-e u-law -b 8"},
    {7, 8, 2, 8000, "-e u-law -b 8"},
    {6, 8, 1, 8000, "-e a-law -b 8"},
    {6, 8, 2, 16000, "-e a-law -b 8"},
};

class WaveFileSoxReadsOurs : public ::testing::TestWithParam<SoxFormat> {};

// The header is byte-exact, and sox decodes every channel to what the format keeps.
TEST_P(WaveFileSoxReadsOurs, FilesWeWriteAreReadBySoxToTheSameSamples) {
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
    const Bytes bytes = ReadAll(wav.str());
    const uint32_t dataBytes = frames * f.channels * f.bits / 8;
    ASSERT_EQ(bytes.size(), 44u + dataBytes);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 44),
              Join({Text("RIFF"), Le(36 + dataBytes, 4), Text("WAVE"),
                    Chunk("fmt ", FmtBody(f.tag, f.channels, f.rate, f.bits)), Text("data"),
                    Le(dataBytes, 4)}));
    const std::vector<int16_t> decoded = SoxDecode(wav.str(), raw);
    ASSERT_EQ(decoded.size(), static_cast<size_t>(frames) * f.channels);
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < f.channels; ++c) {
            ASSERT_EQ(decoded[i * f.channels + c], Stored(signal[c][i], f.tag, f.bits))
                << "frame " << i << " channel " << c;
        }
    }
}

// More than two channels too: sox writes such files itself in the extensible format, which
// this program does not read, so they are checked in this direction only.
INSTANTIATE_TEST_SUITE_P(Formats, WaveFileSoxReadsOurs,
                         ::testing::Values(kFormats[0], kFormats[1], kFormats[2], kFormats[3],
                                           kFormats[4], kFormats[5], kFormats[6], kFormats[7],
                                           SoxFormat{1, 16, 5, 48000, "-e signed-integer -b 16"}),
                         SoxFormatName);

class WaveFileSoxWrites : public ::testing::TestWithParam<SoxFormat> {};

// We read what sox decodes; the mono view is the mean of the channels. Recording onto the file
// (sox's G.711 files carry an 18-byte fmt chunk and a fact chunk) leaves old samples first, then
// the new ones, for sox too.
TEST_P(WaveFileSoxWrites, WeReadWhatSoxDecodesAndAppendingKeepsItReadableBySox) {
    const SoxFormat f = GetParam();
    TempPath source("source.raw"), wav("sox.wav"), before("before.raw"), after("after.raw");
    const int frames = 4000;
    const auto signal = Signal(f.channels, frames);
    std::vector<int16_t> interleaved;
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < f.channels; ++c) {
            interleaved.push_back(signal[c][i]);
        }
    }
    ASSERT_TRUE(WriteAll(source.str(), Pcm16(interleaved)));
    ASSERT_TRUE(Sox("-D -t raw -r " + std::to_string(f.rate) + " -e signed-integer -b 16 -L -c " +
                    std::to_string(f.channels) + " " + source.str() + " " + f.soxEncoding + " " +
                    wav.str()))
        << "sox is not installed: run 'bash scripts/deps.sh test' (Debian package sox)";
    const std::vector<int16_t> old = SoxDecode(wav.str(), before);
    ASSERT_EQ(old.size(), interleaved.size());
    {
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
        ASSERT_TRUE(reader->Seek(0));
        std::vector<int16_t> mono(frames);
        ASSERT_EQ(reader->ReadMono(mono.data(), frames), frames);
        for (int i = 0; i < frames; ++i) {
            double sum = 0;
            for (int c = 0; c < f.channels; ++c) {
                const int ours = out[c][i];
                sum += ours;
                ASSERT_EQ(ours, old[i * f.channels + c]) << "frame " << i << " channel " << c;
            }
            ASSERT_EQ(mono[i], static_cast<int16_t>(sum / f.channels)) << i;
        }
    }
    const std::vector<int16_t> added = Signal(1, 333)[0];
    {
        auto appender = WaveFile::OpenForAppending(wav.str());
        ASSERT_EQ(appender->State(), WaveFileState::Appending);
        ASSERT_EQ(appender->WriteMono(added.data(), 333), 333);
        EXPECT_EQ(appender->FrameCount(), frames + 333);
    }
    const std::vector<int16_t> now = SoxDecode(wav.str(), after);
    ASSERT_EQ(now.size(), old.size() + 333u * f.channels);
    EXPECT_TRUE(std::equal(old.begin(), old.end(), now.begin()));
    for (int i = 0; i < 333; ++i) {
        for (int c = 0; c < f.channels; ++c) {
            ASSERT_EQ(now[old.size() + i * f.channels + c], Stored(added[i], f.tag, f.bits)) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, WaveFileSoxWrites, ::testing::ValuesIn(kFormats), SoxFormatName);

}  // namespace
}  // namespace melvora
