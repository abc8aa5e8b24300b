#include "audio/wave_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "audio/g711.h"
#include "audio/wave_file_memory_stream.h"
#include "audio/wave_test_util.h"

namespace melvora {
namespace {

using testutil::Bytes;
using testutil::TempPath;

std::vector<int16_t> Ramp(int count, int start, int step) {
    std::vector<int16_t> out(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        out[static_cast<size_t>(i)] = static_cast<int16_t>(start + i * step);
    }
    return out;
}

// What the file format keeps of a sample: exact for 16 bits, the high byte for 8-bit PCM,
// the codec's own rounding for G.711.
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

// ---- Writing: headers byte for byte ----

TEST(WaveFileWriting, NewFileClosedWithoutSamplesHasRiffSize36AndDataSize0) {
    TempPath path("empty.wav");
    auto file = WaveFile::CreateForWriting(path.str(), 44100, 16, 1, 1);
    ASSERT_EQ(file->State(), WaveFileState::Writing);
    EXPECT_EQ(file->ByteCount(), 44);
    EXPECT_EQ(file->RiffSizePosition(), 4);
    EXPECT_EQ(file->DataSizePosition(), 40);
    EXPECT_EQ(file->DataStart(), 44);
    file->Close();
    EXPECT_EQ(file->State(), WaveFileState::Closed);
    EXPECT_FALSE(file->HasStream());

    const Bytes expected = {'R', 'I', 'F',  'F',  36,  0,   0,    0,    'W',  'A', 'V',
                            'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,    1,   0,
                            1,   0,   0x44, 0xAC, 0,   0,   0x88, 0x58, 0x01, 0,   2,
                            0,   16,  0,    'd',  'a', 't', 'a',  0,    0,    0,   0};
    EXPECT_EQ(testutil::ReadAll(path.str()), expected);
}

TEST(WaveFileWriting, Mono16With1323FramesIs2690BytesWithSizes2682And2646) {
    TempPath path("hop.wav");
    const std::vector<int16_t> block = Ramp(1323, -600, 1);
    {
        auto file = WaveFile::CreateForWriting(path.str(), 44100, 16, 1, 1);
        ASSERT_EQ(file->WriteMono(block.data(), 1323), 1323);
        EXPECT_EQ(file->FrameCount(), 1323);
        EXPECT_EQ(file->ByteCount(), 2690);
        file->Close();
    }
    const Bytes bytes = testutil::ReadAll(path.str());
    ASSERT_EQ(bytes.size(), 2690u);
    EXPECT_EQ(testutil::Le32At(bytes, 4), 2682u);
    EXPECT_EQ(testutil::Le32At(bytes, 40), 2646u);
    const Bytes samples(bytes.begin() + 44, bytes.end());
    EXPECT_EQ(samples, testutil::Pcm16(block));
}

struct FormatCase {
    uint16_t tag;
    uint16_t bits;
    uint16_t channels;
    uint32_t rate;
};

void PrintTo(const FormatCase& f, std::ostream* os) {
    *os << "tag " << f.tag << ", " << f.bits << " bits, " << f.channels << " ch, " << f.rate
        << " Hz";
}

std::string FormatName(const ::testing::TestParamInfo<FormatCase>& info) {
    const FormatCase& f = info.param;
    const char* kind = f.tag == 7 ? "mulaw" : f.tag == 6 ? "alaw" : f.bits == 8 ? "pcm8" : "pcm16";
    return std::string(kind) + "_" + std::to_string(f.channels) + "ch_" + std::to_string(f.rate);
}

class WaveFileFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(WaveFileFormats, HeaderFieldsAreByteExact) {
    const FormatCase f = GetParam();
    TempPath path("fmt.wav");
    auto file = WaveFile::CreateForWriting(path.str(), f.rate, f.bits, f.channels, f.tag);
    ASSERT_EQ(file->State(), WaveFileState::Writing);
    const std::vector<int16_t> block = Ramp(7, -3000, 1000);
    ASSERT_EQ(file->WriteMono(block.data(), 7), 7);
    file->Close();
    const Bytes bytes = testutil::ReadAll(path.str());
    const uint32_t dataBytes = 7u * f.channels * f.bits / 8;
    ASSERT_EQ(bytes.size(), 44u + dataBytes);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(testutil::Le32At(bytes, 4), 36u + dataBytes);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(testutil::Le32At(bytes, 16), 16u);
    EXPECT_EQ(testutil::Le16At(bytes, 20), f.tag);
    EXPECT_EQ(testutil::Le16At(bytes, 22), f.channels);
    EXPECT_EQ(testutil::Le32At(bytes, 24), f.rate);
    EXPECT_EQ(testutil::Le32At(bytes, 28), f.rate * f.channels * f.bits / 8);
    EXPECT_EQ(testutil::Le16At(bytes, 32), f.channels * f.bits / 8);
    EXPECT_EQ(testutil::Le16At(bytes, 34), f.bits);
    EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
    EXPECT_EQ(testutil::Le32At(bytes, 40), dataBytes);
}

// Every channel gets its own signal; reading back per channel must give each one back,
// in the right channel and order.
TEST_P(WaveFileFormats, PerChannelRoundTrip) {
    const FormatCase f = GetParam();
    TempPath path("rt.wav");
    const int frames = 300;
    std::vector<std::vector<int16_t>> signals;
    std::vector<const int16_t*> in;
    for (int c = 0; c < f.channels; ++c) {
        signals.push_back(Ramp(frames, -32768 + 5000 * c, 211 + 13 * c));
    }
    for (auto& s : signals) {
        in.push_back(s.data());
    }
    {
        auto file = WaveFile::CreateForWriting(path.str(), f.rate, f.bits, f.channels, f.tag);
        ASSERT_EQ(file->WriteChannels(in.data(), 100), 100 * f.channels);
        std::vector<const int16_t*> rest;
        for (auto& s : signals) {
            rest.push_back(s.data() + 100);
        }
        ASSERT_EQ(file->WriteChannels(rest.data(), frames - 100), (frames - 100) * f.channels);
        EXPECT_EQ(file->FrameCount(), frames);
        EXPECT_EQ(file->ByteCount(), 44 + frames * f.channels * f.bits / 8);
    }
    auto reader = WaveFile::OpenForReading(path.str());
    ASSERT_EQ(reader->State(), WaveFileState::Reading);
    EXPECT_EQ(reader->FrameCount(), frames);
    EXPECT_EQ(reader->Channels(), f.channels);
    EXPECT_EQ(reader->SampleRateHz(), f.rate);
    EXPECT_EQ(reader->FormatTag(), f.tag);
    EXPECT_EQ(reader->BitsPerSample(), f.bits);
    std::vector<std::vector<int16_t>> out(f.channels, std::vector<int16_t>(frames + 10, 0x5555));
    std::vector<int16_t*> outPtr;
    for (auto& o : out) {
        outPtr.push_back(o.data());
    }
    ASSERT_EQ(reader->ReadChannels(outPtr.data(), frames + 10), frames * f.channels);
    for (int c = 0; c < f.channels; ++c) {
        for (int i = 0; i < frames; ++i) {
            ASSERT_EQ(out[c][i], Stored(signals[c][i], f.tag, f.bits)) << "ch " << c << " i " << i;
        }
        EXPECT_EQ(out[c][frames], 0x5555) << "wrote past the frames read";
    }
    EXPECT_EQ(reader->ReadChannels(outPtr.data(), 1), 0);
}

TEST_P(WaveFileFormats, MonoWriteCopiesToEveryChannelAndMonoReadGivesItBack) {
    const FormatCase f = GetParam();
    TempPath path("mono.wav");
    const std::vector<int16_t> block = Ramp(500, -20000, 77);
    {
        auto file = WaveFile::CreateForWriting(path.str(), f.rate, f.bits, f.channels, f.tag);
        ASSERT_EQ(file->WriteMono(block.data(), 500), 500);
    }
    auto reader = WaveFile::OpenForReading(path.str());
    ASSERT_EQ(reader->State(), WaveFileState::Reading);
    std::vector<int16_t> back(500);
    ASSERT_EQ(reader->ReadMono(back.data(), 500), 500);
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(back[i], Stored(block[i], f.tag, f.bits)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Grid, WaveFileFormats,
                         ::testing::Values(FormatCase{1, 16, 1, 44100}, FormatCase{1, 16, 2, 22050},
                                           FormatCase{1, 16, 5, 8000}, FormatCase{1, 8, 1, 11025},
                                           FormatCase{1, 8, 2, 44100}, FormatCase{7, 8, 1, 8000},
                                           FormatCase{7, 8, 3, 8000}, FormatCase{6, 8, 1, 8000},
                                           FormatCase{6, 8, 2, 16000}),
                         FormatName);

TEST(WaveFileWriting, DefaultsFillZeroChannelsRateAndBits) {
    TempPath path("defaults.wav");
    auto pcm = WaveFile::CreateForWriting(path.str(), 0, 0, 0, 1);
    ASSERT_EQ(pcm->State(), WaveFileState::Writing);
    EXPECT_EQ(pcm->Channels(), 1);
    EXPECT_EQ(pcm->SampleRateHz(), 16000u);
    EXPECT_EQ(pcm->BitsPerSample(), 16);
    EXPECT_EQ(pcm->BlockAlign(), 2);
    EXPECT_EQ(pcm->AverageBytesPerSecond(), 32000u);
    pcm.reset();
    auto mulaw = WaveFile::CreateForWriting(path.str(), 8000, 0, 2, 7);
    EXPECT_EQ(mulaw->BitsPerSample(), 8);
    EXPECT_EQ(mulaw->BlockAlign(), 2);
    EXPECT_EQ(mulaw->AverageBytesPerSecond(), 16000u);
}

struct RefusedFormat {
    uint16_t tag;
    uint16_t bits;
    uint16_t channels;
    uint32_t rate;
    WaveFileState state;
};

void PrintTo(const RefusedFormat& r, std::ostream* os) {
    *os << "tag " << r.tag << ", " << r.bits << " bits, " << r.channels << " ch, " << r.rate
        << " Hz";
}

class WaveFileRefusedCreate : public ::testing::TestWithParam<RefusedFormat> {};

TEST_P(WaveFileRefusedCreate, GivesItsStateAndLeavesNoFile) {
    const RefusedFormat r = GetParam();
    TempPath path("refused.wav");
    auto file = WaveFile::CreateForWriting(path.str(), r.rate, r.bits, r.channels, r.tag);
    EXPECT_EQ(file->State(), r.state);
    EXPECT_FALSE(file->HasStream());
    EXPECT_EQ(fopen(path.str().c_str(), "rb"), nullptr);
    const int16_t s = 0;
    EXPECT_EQ(file->WriteMono(&s, 1), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WaveFileRefusedCreate,
    ::testing::Values(RefusedFormat{3, 32, 1, 8000, WaveFileState::UnsupportedFormat},
                      RefusedFormat{0, 16, 1, 8000, WaveFileState::UnsupportedFormat},
                      RefusedFormat{1, 24, 1, 8000, WaveFileState::UnsupportedFormat},
                      RefusedFormat{1, 12, 1, 8000, WaveFileState::UnsupportedFormat},
                      RefusedFormat{7, 16, 1, 8000, WaveFileState::CompandedNot8Bit},
                      RefusedFormat{6, 4, 1, 8000, WaveFileState::CompandedNot8Bit},
                      // 65535 channels of 16 bits: 131070 bytes per frame do not fit 16 bits.
                      RefusedFormat{1, 16, 65535, 8000, WaveFileState::UnsupportedFormat},
                      // The byte rate would pass 2^32.
                      RefusedFormat{1, 16, 8, 0xFFFFFFFFu, WaveFileState::UnsupportedFormat}));

TEST(WaveFileWriting, CreateInMissingFolderCannotOpen) {
    auto file =
        WaveFile::CreateForWriting(::testing::TempDir() + "no/such/folder/x.wav", 8000, 16, 1, 1);
    EXPECT_EQ(file->State(), WaveFileState::CannotOpen);
    EXPECT_FALSE(file->HasStream());
}

TEST(WaveFileWriting, EightBitPcmKeepsTheHighByteOffsetBy128) {
    TempPath path("pcm8.wav");
    const std::vector<int16_t> samples = {-32768, -1, 0, 255, 256, 32767};
    {
        auto file = WaveFile::CreateForWriting(path.str(), 8000, 8, 1, 1);
        ASSERT_EQ(file->WriteMono(samples.data(), 6), 6);
    }
    const Bytes bytes = testutil::ReadAll(path.str());
    ASSERT_EQ(bytes.size(), 50u);
    EXPECT_EQ(Bytes(bytes.begin() + 44, bytes.end()), (Bytes{0x00, 0x7F, 0x80, 0x80, 0x81, 0xFF}));
}

TEST(WaveFileWriting, DestroyingAWriterCompletesTheFile) {
    TempPath path("destroyed.wav");
    const std::vector<int16_t> block = Ramp(10, 0, 3);
    {
        auto file = WaveFile::CreateForWriting(path.str(), 8000, 16, 1, 1);
        ASSERT_EQ(file->WriteMono(block.data(), 10), 10);
    }
    const Bytes bytes = testutil::ReadAll(path.str());
    ASSERT_EQ(bytes.size(), 64u);
    EXPECT_EQ(testutil::Le32At(bytes, 4), 56u);
    EXPECT_EQ(testutil::Le32At(bytes, 40), 20u);
}

// The transport updates the header when a take stops; the file must then be complete on
// disk while the writer stays open, and later takes go after the earlier ones.
TEST(WaveFileWriting, UpdateHeaderMakesTheOpenFileReadableAndWritingGoesOn) {
    TempPath path("live.wav");
    const std::vector<int16_t> take1 = Ramp(40, 100, 1);
    const std::vector<int16_t> take2 = Ramp(25, -900, 2);
    auto writer = WaveFile::CreateForWriting(path.str(), 8000, 16, 1, 1);
    ASSERT_EQ(writer->WriteMono(take1.data(), 40), 40);
    ASSERT_TRUE(writer->UpdateHeader());
    {
        auto reader = WaveFile::OpenForReading(path.str());
        ASSERT_EQ(reader->State(), WaveFileState::Reading);
        EXPECT_EQ(reader->FrameCount(), 40);
        std::vector<int16_t> back(40);
        ASSERT_EQ(reader->ReadMono(back.data(), 40), 40);
        EXPECT_EQ(back, take1);
    }
    ASSERT_EQ(writer->WriteMono(take2.data(), 25), 25);
    writer->Close();
    auto reader = WaveFile::OpenForReading(path.str());
    ASSERT_EQ(reader->FrameCount(), 65);
    std::vector<int16_t> back(65);
    ASSERT_EQ(reader->ReadMono(back.data(), 100), 65);
    EXPECT_EQ(std::vector<int16_t>(back.begin() + 40, back.end()), take2);
}

// ---- Reading ----

TEST(WaveFileReading, EightBitPcmBytesDecodeAroundTheMidpoint) {
    TempPath path("u8.wav");
    Bytes chunks;
    testutil::AppendChunk(&chunks, "fmt ", testutil::FmtBody(1, 1, 8000, 8));
    testutil::AppendChunk(&chunks, "data", Bytes{0x80, 0xFF, 0x00, 0x7F});
    ASSERT_TRUE(testutil::WriteAll(path.str(), testutil::RiffWave(chunks)));
    auto reader = WaveFile::OpenForReading(path.str());
    ASSERT_EQ(reader->State(), WaveFileState::Reading);
    int16_t back[4] = {};
    ASSERT_EQ(reader->ReadMono(back, 4), 4);
    EXPECT_EQ(back[0], 0);
    EXPECT_EQ(back[1], 32512);
    EXPECT_EQ(back[2], -32768);
    EXPECT_EQ(back[3], -256);
}

TEST(WaveFileReading, StereoReadsAsMeanTruncatedTowardZero) {
    TempPath path("mean.wav");
    Bytes chunks;
    testutil::AppendChunk(&chunks, "fmt ", testutil::FmtBody(1, 2, 8000, 16));
    // Frames (L, R): (3, -6) -> -1.5 -> -1; (1, 2) -> 1.5 -> 1; extremes stay in range.
    testutil::AppendChunk(
        &chunks, "data",
        testutil::Pcm16({3, -6, 1, 2, -32768, -32768, 32767, 32767, -32768, 32767}));
    ASSERT_TRUE(testutil::WriteAll(path.str(), testutil::RiffWave(chunks)));
    auto reader = WaveFile::OpenForReading(path.str());
    ASSERT_EQ(reader->FrameCount(), 5);
    int16_t back[5] = {};
    ASSERT_EQ(reader->ReadMono(back, 5), 5);
    EXPECT_EQ(back[0], -1);
    EXPECT_EQ(back[1], 1);
    EXPECT_EQ(back[2], -32768);
    EXPECT_EQ(back[3], 32767);
    EXPECT_EQ(back[4], 0);
}

TEST(WaveFileReading, ReadsStopAtTheEndOfTheData) {
    TempPath path("end.wav");
    ASSERT_TRUE(testutil::WriteAll(path.str(), testutil::Mono16File(Ramp(10, 1, 1))));
    auto reader = WaveFile::OpenForReading(path.str());
    int16_t back[8] = {};
    EXPECT_EQ(reader->ReadMono(back, 8), 8);
    EXPECT_EQ(reader->ReadMono(back, 8), 2);
    EXPECT_EQ(back[0], 9);
    EXPECT_EQ(back[1], 10);
    EXPECT_EQ(reader->ReadMono(back, 8), 0);
    EXPECT_EQ(reader->ReadMono(back, 0), 0);
    EXPECT_EQ(reader->State(), WaveFileState::Reading);
}

TEST(WaveFileReading, ChunksAfterTheDataAreNotReadAsSamples) {
    TempPath path("list.wav");
    Bytes chunks;
    testutil::AppendChunk(&chunks, "fmt ", testutil::FmtBody(1, 1, 8000, 16));
    testutil::AppendChunk(&chunks, "data", testutil::Pcm16({5, 6}));
    testutil::AppendChunk(&chunks, "LIST", Bytes{'I', 'N', 'F', 'O'});
    ASSERT_TRUE(testutil::WriteAll(path.str(), testutil::RiffWave(chunks)));
    auto reader = WaveFile::OpenForReading(path.str());
    ASSERT_EQ(reader->FrameCount(), 2);
    int16_t back[4] = {};
    EXPECT_EQ(reader->ReadMono(back, 4), 2);
    EXPECT_EQ(reader->ReadMono(back, 4), 0);
}

TEST(WaveFileReading, OperationsOutsideTheirStatesAreRefused) {
    TempPath path("states.wav");
    ASSERT_TRUE(testutil::WriteAll(path.str(), testutil::Mono16File(Ramp(4, 0, 1))));
    auto reader = WaveFile::OpenForReading(path.str());
    const int16_t s = 1;
    EXPECT_EQ(reader->WriteMono(&s, 1), -1);
    EXPECT_FALSE(reader->UpdateHeader());
    reader->Close();
    EXPECT_EQ(reader->State(), WaveFileState::Closed);
    int16_t back[4];
    EXPECT_EQ(reader->ReadMono(back, 4), -1);
    EXPECT_FALSE(reader->Seek(0));
    reader->Close();
    EXPECT_EQ(reader->State(), WaveFileState::Closed);

    WaveFile never;
    EXPECT_EQ(never.State(), WaveFileState::NotOpened);
    EXPECT_EQ(never.ReadMono(back, 4), -1);
    never.Close();
    EXPECT_EQ(never.State(), WaveFileState::NotOpened);

    TempPath out("w.wav");
    auto writer = WaveFile::CreateForWriting(out.str(), 8000, 16, 1, 1);
    EXPECT_EQ(writer->ReadMono(back, 4), -1);
    EXPECT_FALSE(writer->Seek(0));
    EXPECT_EQ(writer->WriteMono(nullptr, 4), -1);
    EXPECT_EQ(writer->WriteMono(&s, -1), -1);
    EXPECT_EQ(writer->WriteMono(&s, 0), 0);
}

// ---- Seek ----

TEST(WaveFileSeek, ReadingResumesAtTheFrameAskedFor) {
    TempPath path("seek.wav");
    Bytes chunks;
    testutil::AppendChunk(&chunks, "fmt ", testutil::FmtBody(1, 2, 8000, 16));
    std::vector<int16_t> interleaved;
    for (int i = 0; i < 50; ++i) {
        interleaved.push_back(static_cast<int16_t>(i));
        interleaved.push_back(static_cast<int16_t>(1000 + i));
    }
    testutil::AppendChunk(&chunks, "data", testutil::Pcm16(interleaved));
    ASSERT_TRUE(testutil::WriteAll(path.str(), testutil::RiffWave(chunks)));
    auto reader = WaveFile::OpenForReading(path.str());
    int16_t left[3];
    int16_t right[3];
    int16_t* both[2] = {left, right};
    ASSERT_TRUE(reader->Seek(17));
    ASSERT_EQ(reader->ReadChannels(both, 3), 6);
    EXPECT_EQ(left[0], 17);
    EXPECT_EQ(right[2], 1019);
    ASSERT_TRUE(reader->Seek(49));
    EXPECT_EQ(reader->ReadChannels(both, 3), 2);
    ASSERT_TRUE(reader->Seek(0));
    EXPECT_EQ(reader->ReadChannels(both, 1), 2);
    EXPECT_EQ(left[0], 0);
}

TEST(WaveFileSeek, FrameCountOrBeyondIsRefusedAndThePositionStays) {
    TempPath path("seek2.wav");
    ASSERT_TRUE(testutil::WriteAll(path.str(), testutil::Mono16File(Ramp(10, 0, 1))));
    auto reader = WaveFile::OpenForReading(path.str());
    ASSERT_TRUE(reader->Seek(4));
    EXPECT_FALSE(reader->Seek(10));
    EXPECT_FALSE(reader->Seek(11));
    EXPECT_FALSE(reader->Seek(-1));
    EXPECT_EQ(reader->State(), WaveFileState::Reading);
    int16_t s = -1;
    ASSERT_EQ(reader->ReadMono(&s, 1), 1);
    EXPECT_EQ(s, 4);
}

// The window thread may seek the replay reader while the worker reads it: every block read
// must be a run of consecutive frames of the file, starting where some seek or the previous
// read left it.
TEST(WaveFileSeek, SeeksFromAnotherThreadNeverTearABlock) {
    TempPath path("race.wav");
    const int frames = 20000;
    ASSERT_TRUE(testutil::WriteAll(path.str(), testutil::Mono16File(Ramp(frames, 0, 1))));
    auto reader = WaveFile::OpenForReading(path.str());
    ASSERT_EQ(reader->State(), WaveFileState::Reading);
    std::atomic<bool> stop{false};
    std::thread seeker([&] {
        int frame = 0;
        while (!stop.load()) {
            frame = (frame + 7919) % frames;
            reader->Seek(frame);
            std::this_thread::yield();
        }
    });
    int torn = 0;
    std::vector<int16_t> block(257);
    for (int round = 0; round < 3000; ++round) {
        const int got = reader->ReadMono(block.data(), 257);
        ASSERT_GE(got, 0);
        if (got == 0) {
            reader->Seek(0);
            continue;
        }
        for (int i = 1; i < got; ++i) {
            if (block[i] != block[i - 1] + 1) {
                ++torn;
            }
        }
    }
    stop = true;
    seeker.join();
    EXPECT_EQ(torn, 0);
}

// ---- Appending ----

class WaveFileAppend : public ::testing::TestWithParam<FormatCase> {};

TEST_P(WaveFileAppend, AppendedSamplesFollowTheOldOnesAndTheHeaderCoversBoth) {
    const FormatCase f = GetParam();
    TempPath path("append.wav");
    const std::vector<int16_t> first = Ramp(120, -30000, 400);
    const std::vector<int16_t> second = Ramp(77, 29000, -700);
    {
        auto writer = WaveFile::CreateForWriting(path.str(), f.rate, f.bits, f.channels, f.tag);
        ASSERT_EQ(writer->WriteMono(first.data(), 120), 120);
    }
    const int32_t oldLength = static_cast<int32_t>(testutil::ReadAll(path.str()).size());
    {
        auto appender = WaveFile::OpenForAppending(path.str());
        ASSERT_EQ(appender->State(), WaveFileState::Appending);
        EXPECT_EQ(appender->FrameCount(), 120);
        EXPECT_EQ(appender->ByteCount(), oldLength);
        ASSERT_EQ(appender->WriteMono(second.data(), 77), 77);
        EXPECT_EQ(appender->FrameCount(), 197);
        appender->Close();
        EXPECT_EQ(appender->State(), WaveFileState::Closed);
    }
    const Bytes bytes = testutil::ReadAll(path.str());
    const uint32_t dataBytes = 197u * f.channels * f.bits / 8;
    ASSERT_EQ(bytes.size(), 44u + dataBytes);
    EXPECT_EQ(testutil::Le32At(bytes, 4), 36u + dataBytes);
    EXPECT_EQ(testutil::Le32At(bytes, 40), dataBytes);
    auto reader = WaveFile::OpenForReading(path.str());
    ASSERT_EQ(reader->FrameCount(), 197);
    std::vector<int16_t> back(197);
    ASSERT_EQ(reader->ReadMono(back.data(), 197), 197);
    for (int i = 0; i < 197; ++i) {
        const int16_t original = i < 120 ? first[i] : second[i - 120];
        ASSERT_EQ(back[i], Stored(original, f.tag, f.bits)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Grid, WaveFileAppend,
                         ::testing::Values(FormatCase{1, 16, 1, 44100}, FormatCase{1, 16, 2, 8000},
                                           FormatCase{1, 8, 1, 8000}, FormatCase{7, 8, 2, 8000},
                                           FormatCase{6, 8, 1, 8000}, FormatCase{6, 8, 2, 8000}),
                         FormatName);

// An A-law file recorded onto stays an A-law file: the new bytes are real A-law codes.
TEST(WaveFileAppending, ALawFileGetsALawCodes) {
    TempPath path("alaw.wav");
    Bytes chunks;
    testutil::AppendChunk(&chunks, "fmt ", testutil::FmtBody(6, 1, 8000, 8));
    testutil::AppendChunk(&chunks, "data", Bytes{0xD5, 0x55});
    ASSERT_TRUE(testutil::WriteAll(path.str(), testutil::RiffWave(chunks)));
    const std::vector<int16_t> samples = {0, -1, 1000, -1000, 32767, -32768};
    {
        auto appender = WaveFile::OpenForAppending(path.str());
        ASSERT_EQ(appender->State(), WaveFileState::Appending);
        ASSERT_EQ(appender->WriteMono(samples.data(), 6), 6);
    }
    const Bytes bytes = testutil::ReadAll(path.str());
    ASSERT_EQ(bytes.size(), 52u);
    Bytes expected = {0xD5, 0x55};
    for (int16_t s : samples) {
        expected.push_back(LinearToALaw(s));
    }
    EXPECT_EQ(Bytes(bytes.begin() + 44, bytes.end()), expected);
    EXPECT_EQ(expected[4], 0xFA);  // 1000 in A-law, from the G.711 tables
}

// Chunks that follow the samples (metadata written by editors) survive recording onto the
// file: they are moved behind the new samples.
TEST(WaveFileAppending, ChunksAfterTheDataAreKeptBehindTheNewSamples) {
    TempPath path("tail.wav");
    Bytes chunks;
    testutil::AppendChunk(&chunks, "fmt ", testutil::FmtBody(1, 1, 8000, 8));
    testutil::AppendChunk(&chunks, "data", Bytes{0x81, 0x82, 0x83});
    chunks.push_back(0);  // pad byte after the odd-sized data chunk
    const Bytes info = {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 2, 0, 0, 0, 'x', 0};
    testutil::AppendChunk(&chunks, "LIST", info);
    ASSERT_TRUE(testutil::WriteAll(path.str(), testutil::RiffWave(chunks)));
    const std::vector<int16_t> more = {0x0400, 0x0500};
    {
        auto appender = WaveFile::OpenForAppending(path.str());
        ASSERT_EQ(appender->State(), WaveFileState::Appending);
        ASSERT_EQ(appender->WriteMono(more.data(), 2), 2);
        ASSERT_TRUE(appender->UpdateHeader());
        // Odd again: a pad byte must come back between the samples and the list.
        ASSERT_EQ(appender->WriteMono(more.data(), 1), 1);
    }
    Bytes expectedChunks;
    testutil::AppendChunk(&expectedChunks, "fmt ", testutil::FmtBody(1, 1, 8000, 8));
    testutil::AppendChunk(&expectedChunks, "data", Bytes{0x81, 0x82, 0x83, 0x84, 0x85, 0x84});
    testutil::AppendChunk(&expectedChunks, "LIST", info);
    EXPECT_EQ(testutil::ReadAll(path.str()), testutil::RiffWave(expectedChunks));

    // One more, making the data odd: pad byte, then the list.
    {
        auto appender = WaveFile::OpenForAppending(path.str());
        ASSERT_EQ(appender->WriteMono(more.data(), 1), 1);
    }
    const Bytes bytes = testutil::ReadAll(path.str());
    ASSERT_EQ(bytes.size(), 44u + 7 + 1 + 8 + info.size());
    EXPECT_EQ(testutil::Le32At(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(testutil::Le32At(bytes, 40), 7u);
    EXPECT_EQ(bytes[44 + 7], 0);
    EXPECT_EQ(std::string(bytes.begin() + 52, bytes.begin() + 56), "LIST");
    EXPECT_EQ(Bytes(bytes.end() - info.size(), bytes.end()), info);
}

// A recording cut short (data chunk claiming more than the file holds) is extended right
// after its last whole frame, not after the bytes it only claimed.
TEST(WaveFileAppending, CutShortFileIsExtendedAfterItsLastWholeFrame) {
    TempPath path("cut.wav");
    Bytes chunks;
    testutil::AppendChunk(&chunks, "fmt ", testutil::FmtBody(1, 1, 8000, 16));
    Bytes data = testutil::Pcm16({11, 12, 13});
    data.push_back(0x7F);  // half a frame
    testutil::AppendChunk(&chunks, "data", 1000000, data);
    ASSERT_TRUE(testutil::WriteAll(path.str(), testutil::RiffWave(chunks)));
    const std::vector<int16_t> more = {14, 15};
    {
        auto appender = WaveFile::OpenForAppending(path.str());
        ASSERT_EQ(appender->State(), WaveFileState::Appending);
        EXPECT_EQ(appender->FrameCount(), 3);
        ASSERT_EQ(appender->WriteMono(more.data(), 2), 2);
    }
    auto reader = WaveFile::OpenForReading(path.str());
    ASSERT_EQ(reader->FrameCount(), 5);
    int16_t back[5] = {};
    ASSERT_EQ(reader->ReadMono(back, 5), 5);
    EXPECT_EQ(std::vector<int16_t>(back, back + 5), (std::vector<int16_t>{11, 12, 13, 14, 15}));
    EXPECT_EQ(testutil::ReadAll(path.str()).size(), 54u);
}

TEST(WaveFileAppending, AppendingToAStereoFileWritesTheBlockToBothChannels) {
    TempPath path("stereo.wav");
    Bytes chunks;
    testutil::AppendChunk(&chunks, "fmt ", testutil::FmtBody(1, 2, 8000, 16));
    testutil::AppendChunk(&chunks, "data", testutil::Pcm16({1, 2}));
    ASSERT_TRUE(testutil::WriteAll(path.str(), testutil::RiffWave(chunks)));
    const int16_t sample = -1234;
    {
        auto appender = WaveFile::OpenForAppending(path.str());
        ASSERT_EQ(appender->WriteMono(&sample, 1), 1);
    }
    const Bytes bytes = testutil::ReadAll(path.str());
    EXPECT_EQ(Bytes(bytes.begin() + 44, bytes.end()), testutil::Pcm16({1, 2, -1234, -1234}));
}

// ---- One stream call per block ----

TEST(WaveFileBlocks, ABlockIsOneStreamCallWhateverTheChannels) {
    testutil::HookedMemory disk;
    auto writer = WaveFile::CreateForWriting(disk.Io(), 8000, 16, 3, 1);
    const std::vector<int16_t> block = Ramp(1323, -500, 1);
    const int writesBefore = disk.writeCalls;
    ASSERT_EQ(writer->WriteMono(block.data(), 1323), 1323);
    EXPECT_EQ(disk.writeCalls - writesBefore, 1);
    writer->Close();

    testutil::HookedMemory copy(disk.bytes());
    auto reader = WaveFile::OpenForReading(copy.Io());
    ASSERT_EQ(reader->State(), WaveFileState::Reading);
    std::vector<int16_t> back(1323);
    const int readsBefore = copy.readCalls;
    ASSERT_EQ(reader->ReadMono(back.data(), 1323), 1323);
    EXPECT_EQ(copy.readCalls - readsBefore, 1);
    EXPECT_EQ(back, block);
}

// ---- Failures of the underlying file ----

TEST(WaveFileFailures, HeaderWriteFailureGivesWriteFailedWithoutStream) {
    WaveFileMemoryStream memory;
    memory.SetWriteBudget(20);
    auto file = WaveFile::CreateForWriting(memory.Io(), 8000, 16, 1, 1);
    EXPECT_EQ(file->State(), WaveFileState::WriteFailed);
    EXPECT_FALSE(file->HasStream());
}

TEST(WaveFileFailures, SampleWriteFailureClosesAndReportsMinusOne) {
    WaveFileMemoryStream memory;
    memory.SetWriteBudget(44 + 10);
    auto file = WaveFile::CreateForWriting(memory.Io(), 8000, 16, 1, 1);
    ASSERT_EQ(file->State(), WaveFileState::Writing);
    const std::vector<int16_t> block = Ramp(20, 0, 1);
    EXPECT_EQ(file->WriteMono(block.data(), 20), -1);
    EXPECT_EQ(file->State(), WaveFileState::WriteFailed);
    EXPECT_FALSE(file->HasStream());
    EXPECT_EQ(file->WriteMono(block.data(), 1), -1);
    file->Close();
    EXPECT_EQ(file->State(), WaveFileState::WriteFailed);
}

TEST(WaveFileFailures, FailedWriteStillFinishesTheHeaderForTheWholeFramesWritten) {
    testutil::HookedMemory disk;
    auto file = WaveFile::CreateForWriting(disk.Io(), 8000, 16, 1, 1);
    ASSERT_EQ(file->State(), WaveFileState::Writing);
    disk.shortWriteOnce = 7;  // three whole frames and half of one reach the disk
    const std::vector<int16_t> block = Ramp(10, 1, 1);
    EXPECT_EQ(file->WriteMono(block.data(), 10), -1);
    EXPECT_EQ(file->State(), WaveFileState::WriteFailed);
    EXPECT_FALSE(file->HasStream());
    const Bytes& bytes = disk.bytes();
    ASSERT_EQ(bytes.size(), 51u);
    EXPECT_EQ(testutil::Le32At(bytes, 40), 6u);
    EXPECT_EQ(testutil::Le32At(bytes, 4), 42u);
}

TEST(WaveFileFailures, FailedHeaderUpdateClosesWithWriteFailed) {
    testutil::HookedMemory disk;
    auto file = WaveFile::CreateForWriting(disk.Io(), 8000, 16, 1, 1);
    const int16_t s = 5;
    ASSERT_EQ(file->WriteMono(&s, 1), 1);
    disk.failSeeks = true;
    EXPECT_FALSE(file->UpdateHeader());
    EXPECT_EQ(file->State(), WaveFileState::WriteFailed);
    EXPECT_FALSE(file->HasStream());
    file->Close();
    EXPECT_EQ(file->State(), WaveFileState::WriteFailed);
}

TEST(WaveFileFailures, WritesThatWouldPassTheSizeFieldsAreRefusedAndTheFileStaysOpen) {
    // A file whose samples already reach almost 2 GiB (its length is faked).
    Bytes chunks;
    testutil::AppendChunk(&chunks, "fmt ", testutil::FmtBody(1, 1, 8000, 16));
    testutil::AppendChunk(&chunks, "data", 0x7FFFFF00u, Bytes{});
    WaveFileMemoryStream memory(testutil::RiffWave(chunks));
    memory.SetReportedLength(44 + 0x7FFFFF00LL);
    auto file = WaveFile::OpenForAppending(memory.Io());
    ASSERT_EQ(file->State(), WaveFileState::Appending);
    EXPECT_EQ(file->FrameCount(), 0x7FFFFF00 / 2);
    const std::vector<int16_t> block(200, 1);
    EXPECT_EQ(file->WriteMono(block.data(), 200), -1);
    EXPECT_EQ(file->State(), WaveFileState::Appending);
    EXPECT_EQ(file->FrameCount(), 0x7FFFFF00 / 2);
    EXPECT_EQ(file->ByteCount(), 44 + 0x7FFFFF00);
}

}  // namespace
}  // namespace melvora
