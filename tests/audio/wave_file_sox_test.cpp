// Interoperability with sox, the tool people already use for WAV files: what we write, sox
// must read to the same samples; what sox writes, we must read as sox does, and recording onto
// it must leave a file sox reads. sox is installed by scripts/deps.sh; without it these tests
// fail.

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
    uint16_t tag, bits, channels;
    uint32_t rate;
    const char* soxEncoding;  // sox output options giving the same format
};

// Both ways: the header we write is byte-exact and sox decodes every channel to what the
// format keeps; sox's own file of that sound (its G.711 files carry an 18-byte fmt chunk and a
// fact chunk) reads to what sox decodes, the mono view being the mean of the channels; and
// recording onto it leaves old samples first, then the new ones, for sox too.
void BothWays(const SoxFormat& f) {
    TempPath ours("ours.wav"), theirs("sox.wav"), raw("decoded.raw");
    const int frames = 4000;
    const auto signal = Signal(f.channels, frames);
    std::vector<const int16_t*> in;
    for (const auto& s : signal) {
        in.push_back(s.data());
    }
    {
        auto file = WaveFile::CreateForWriting(ours.str(), f.rate, f.bits, f.channels, f.tag);
        ASSERT_EQ(file->State(), WaveFileState::Writing);
        ASSERT_EQ(file->WriteChannels(in.data(), frames), frames * f.channels);
    }
    const Bytes bytes = ReadAll(ours.str());
    const uint32_t dataBytes = frames * f.channels * f.bits / 8;
    ASSERT_EQ(bytes.size(), 44u + dataBytes);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 44),
              Join({Text("RIFF"), Le(36 + dataBytes, 4), Text("WAVE"),
                    Chunk("fmt ", FmtBody(f.tag, f.channels, f.rate, f.bits)), Text("data"),
                    Le(dataBytes, 4)}));
    const std::vector<int16_t> old = SoxDecode(ours.str(), raw);
    ASSERT_EQ(old.size(), static_cast<size_t>(frames) * f.channels);
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < f.channels; ++c) {
            ASSERT_EQ(old[i * f.channels + c], Stored(signal[c][i], f.tag, f.bits))
                << "frame " << i << " channel " << c;
        }
    }
    if (f.channels > 2) {
        return;  // sox writes these in the extensible format, which this program does not read
    }
    ASSERT_TRUE(Sox("-D " + ours.str() + " " + f.soxEncoding + " " + theirs.str()));
    {
        auto reader = WaveFile::OpenForReading(theirs.str());
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
                sum += out[c][i];
                ASSERT_EQ(out[c][i], old[i * f.channels + c]) << "frame " << i << " channel " << c;
            }
            ASSERT_EQ(mono[i], static_cast<int16_t>(sum / f.channels)) << i;
        }
    }
    const std::vector<int16_t> added = Signal(1, 333)[0];
    {
        auto appender = WaveFile::OpenForAppending(theirs.str());
        ASSERT_EQ(appender->State(), WaveFileState::Appending);
        ASSERT_EQ(appender->WriteMono(added.data(), 333), 333);
        EXPECT_EQ(appender->FrameCount(), frames + 333);
    }
    const std::vector<int16_t> now = SoxDecode(theirs.str(), raw);
    ASSERT_EQ(now.size(), old.size() + 333u * f.channels);
    EXPECT_TRUE(std::equal(old.begin(), old.end(), now.begin()));
    for (int i = 0; i < 333; ++i) {
        for (int c = 0; c < f.channels; ++c) {
            ASSERT_EQ(now[old.size() + i * f.channels + c], Stored(added[i], f.tag, f.bits)) << i;
        }
    }
}

TEST(WaveFileSox, FilesGoBothWaysWithTheSameSamples) {
    const SoxFormat formats[] = {{1, 16, 1, 44100, "-e signed-integer -b 16"},
                                 {1, 16, 2, 22050, "-e signed-integer -b 16"},
                                 {1, 8, 1, 8000, "-e unsigned-integer -b 8"},
                                 {1, 8, 2, 11025, "-e unsigned-integer -b 8"},
                                 {7, 8, 1, 8000, "-e u-law -b 8"},
                                 {7, 8, 2, 8000, "-e u-law -b 8"},
                                 {6, 8, 1, 8000, "-e a-law -b 8"},
                                 {6, 8, 2, 16000, "-e a-law -b 8"},
                                 {1, 16, 5, 48000, "-e signed-integer -b 16"}};
    for (const SoxFormat& f : formats) {
        SCOPED_TRACE(::testing::Message() << f.soxEncoding << ", " << f.channels << " ch");
        BothWays(f);
    }
}

}  // namespace
}  // namespace melvora
