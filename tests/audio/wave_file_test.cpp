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

using namespace testutil;

const Bytes kFmt16 = Chunk("fmt ", FmtBody(1, 1, 8000, 16));
const Bytes kData4 = Chunk("data", Pcm16({1, 2, 3, 4}));

// A file with this fmt body (cut to `size` when given), then kData4.
Bytes WithFmt(Bytes body, size_t size = 0) {
    body.resize(size != 0 ? size : body.size());
    return RiffWave(Join({Chunk("fmt ", body), kData4}));
}

// ---- Writing ----

// Zero channels, rate and bits take their defaults; calls outside the writing state are
// refused; a file closed without samples still is a whole header (the header with samples is
// checked byte for byte in the sox tests).
TEST(WaveFileWriting, DefaultsFillZeroFieldsAndAnEmptyFileIsTheHeaderAlone) {
    WaveFileMemoryStream disk, mulawDisk;
    auto writer = WaveFile::CreateForWriting(disk.Io(), 0, 0, 0, 1);
    ASSERT_EQ(writer->State(), WaveFileState::Writing);
    EXPECT_EQ(writer->Channels(), 1);
    EXPECT_EQ(writer->SampleRateHz(), 16000u);
    EXPECT_EQ(writer->BitsPerSample(), 16);
    EXPECT_EQ(writer->BlockAlign(), 2);
    EXPECT_EQ(writer->AverageBytesPerSecond(), 32000u);
    EXPECT_EQ(writer->DataStart(), 44);
    const int16_t s = 1;
    int16_t back[4];
    EXPECT_EQ(writer->ReadMono(back, 4), -1);
    EXPECT_FALSE(writer->Seek(0));
    EXPECT_EQ(writer->WriteMono(nullptr, 4), -1);
    EXPECT_EQ(writer->WriteMono(&s, -1), -1);
    EXPECT_EQ(writer->WriteMono(&s, 0), 0);
    writer->Close();
    EXPECT_EQ(writer->State(), WaveFileState::Closed);
    EXPECT_FALSE(writer->HasStream());
    EXPECT_EQ(disk.Bytes(),
              RiffWave(Join({Chunk("fmt ", FmtBody(1, 1, 16000, 16)), Chunk("data", {})})));
    auto mulaw = WaveFile::CreateForWriting(mulawDisk.Io(), 8000, 0, 2, 7);
    EXPECT_EQ(mulaw->BitsPerSample(), 8);
    EXPECT_EQ(mulaw->BlockAlign(), 2);
    EXPECT_EQ(mulaw->AverageBytesPerSecond(), 16000u);
}

TEST(WaveFileWriting, RefusedFormatsGiveTheirStateAndLeaveNoFile) {
    struct Refused {
        uint16_t tag, bits, channels;
        uint32_t rate;
        WaveFileState state;
    };
    const Refused cases[] = {
        {3, 32, 1, 8000, WaveFileState::UnsupportedFormat},
        {1, 24, 1, 8000, WaveFileState::UnsupportedFormat},
        {7, 16, 1, 8000, WaveFileState::CompandedNot8Bit},
        {1, 16, 65535, 8000, WaveFileState::UnsupportedFormat},  // frame size passes 16 bits
    };
    TempPath path("refused.wav");
    for (const Refused& r : cases) {
        SCOPED_TRACE(::testing::Message() << "tag " << r.tag << ", " << r.bits << " bits, "
                                          << r.channels << " ch, " << r.rate << " Hz");
        auto file = WaveFile::CreateForWriting(path.str(), r.rate, r.bits, r.channels, r.tag);
        EXPECT_EQ(file->State(), r.state);
        EXPECT_FALSE(file->HasStream());
        EXPECT_EQ(fopen(path.str().c_str(), "rb"), nullptr);
        const int16_t s = 0;
        EXPECT_EQ(file->WriteMono(&s, 1), -1);
    }
    auto elsewhere =
        WaveFile::CreateForWriting(::testing::TempDir() + "no/such/folder/x.wav", 8000, 16, 1, 1);
    EXPECT_EQ(elsewhere->State(), WaveFileState::CannotOpen);
    EXPECT_FALSE(elsewhere->HasStream());
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
    EXPECT_EQ(ReadAll(path.str()),
              RiffWave(Join({kFmt16, Chunk("data", Join({Pcm16(take1), Pcm16(take2)}))})));
}

// ---- Reading ----

TEST(WaveFileReading, SeekResumesAtTheFrameAskedForAndReadingStopsAtTheEnd) {
    std::vector<int16_t> interleaved;
    for (int i = 0; i < 50; ++i) {
        interleaved.push_back(static_cast<int16_t>(i));
        interleaved.push_back(static_cast<int16_t>(1000 + i));
    }
    WaveFileMemoryStream file(RiffWave(
        Join({Chunk("fmt ", FmtBody(1, 2, 8000, 16)), Chunk("data", Pcm16(interleaved))})));
    auto reader = WaveFile::OpenForReading(file.Io());
    int16_t left[3], right[3];
    int16_t* both[2] = {left, right};
    ASSERT_TRUE(reader->Seek(17));
    ASSERT_EQ(reader->ReadChannels(both, 3), 6);
    EXPECT_EQ(left[0], 17);
    EXPECT_EQ(right[2], 1019);
    // Frame count or beyond is refused and the position stays.
    EXPECT_FALSE(reader->Seek(50));
    EXPECT_FALSE(reader->Seek(51));
    EXPECT_FALSE(reader->Seek(-1));
    ASSERT_EQ(reader->ReadChannels(both, 1), 2);
    EXPECT_EQ(left[0], 20);
    ASSERT_TRUE(reader->Seek(48));
    left[2] = 0x5555;
    EXPECT_EQ(reader->ReadChannels(both, 3), 4);
    EXPECT_EQ(right[1], 1049);
    EXPECT_EQ(left[2], 0x5555) << "wrote past the frames read";
    EXPECT_EQ(reader->ReadChannels(both, 3), 0);
    EXPECT_EQ(reader->State(), WaveFileState::Reading);
    ASSERT_TRUE(reader->Seek(0));
    EXPECT_EQ(reader->ReadChannels(both, 1), 2);
    EXPECT_EQ(left[0], 0);
    // Calls outside the reading state are refused.
    const int16_t s = 1;
    EXPECT_EQ(reader->WriteMono(&s, 1), -1);
    EXPECT_FALSE(reader->UpdateHeader());
    EXPECT_EQ(reader->ReadMono(left, 0), 0);
    reader->Close();
    EXPECT_EQ(reader->State(), WaveFileState::Closed);
    EXPECT_EQ(reader->ReadMono(left, 3), -1);
    EXPECT_FALSE(reader->Seek(0));
    reader->Close();
    EXPECT_EQ(reader->State(), WaveFileState::Closed);
}

// The window thread may seek the replay reader while the worker reads it: every block read
// must be a run of consecutive frames of the file, starting where some seek or the previous
// read left it.
TEST(WaveFileReading, SeeksFromAnotherThreadNeverTearABlock) {
    const int frames = 20000;
    WaveFileMemoryStream file(RiffWave(Join({kFmt16, Chunk("data", Pcm16(Ramp(frames, 0, 1)))})));
    auto reader = WaveFile::OpenForReading(file.Io());
    ASSERT_EQ(reader->State(), WaveFileState::Reading);
    std::atomic<bool> stop{false};
    std::thread seeker([&] {
        int frame = 0;
        while (!stop.load()) {
            frame = (frame + 7919) % frames;
            EXPECT_TRUE(reader->Seek(frame));
            std::this_thread::yield();
        }
    });
    int torn = 0;
    std::vector<int16_t> block(257);
    for (int round = 0; round < 3000; ++round) {
        const int got = reader->ReadMono(block.data(), 257);
        ASSERT_GE(got, 0);
        if (got == 0) {
            ASSERT_TRUE(reader->Seek(0));
            continue;
        }
        for (int i = 1; i < got; ++i) {
            torn += block[i] != block[i - 1] + 1;
        }
    }
    stop = true;
    seeker.join();
    EXPECT_EQ(torn, 0);
}

// ---- Appending ----

// Chunks that follow the samples (metadata written by editors) survive recording onto the
// file: they are moved behind the new samples, with a pad byte after odd-sized data.
TEST(WaveFileAppending, ChunksAfterTheDataAreKeptBehindTheNewSamples) {
    TempPath path("tail.wav");
    const Bytes fmt = Chunk("fmt ", FmtBody(1, 1, 8000, 8));
    const Bytes list = Chunk("LIST", Join({Text("INFOINAM"), Le(2, 4), Text("x"), {0}}));
    ASSERT_TRUE(
        WriteAll(path.str(), RiffWave(Join({fmt, Chunk("data", {0x81, 0x82, 0x83}), {0}, list}))));
    {
        // A reader stops at the end of the samples, not in the list.
        auto reader = WaveFile::OpenForReading(path.str());
        ASSERT_EQ(reader->FrameCount(), 3);
        int16_t back[4];
        EXPECT_EQ(reader->ReadMono(back, 4), 3);
        EXPECT_EQ(reader->ReadMono(back, 4), 0);
    }
    const std::vector<int16_t> more = {0x0400, 0x0500};
    {
        auto appender = WaveFile::OpenForAppending(path.str());
        ASSERT_EQ(appender->State(), WaveFileState::Appending);
        ASSERT_EQ(appender->WriteMono(more.data(), 2), 2);
        ASSERT_TRUE(appender->UpdateHeader());
        ASSERT_EQ(appender->WriteMono(more.data(), 1), 1);
    }
    EXPECT_EQ(ReadAll(path.str()),
              RiffWave(Join({fmt, Chunk("data", {0x81, 0x82, 0x83, 0x84, 0x85, 0x84}), list})));
    {
        auto appender = WaveFile::OpenForAppending(path.str());
        ASSERT_EQ(appender->WriteMono(more.data(), 1), 1);
    }
    EXPECT_EQ(ReadAll(path.str()),
              RiffWave(Join(
                  {fmt, Chunk("data", {0x81, 0x82, 0x83, 0x84, 0x85, 0x84, 0x84}), {0}, list})));
}

// A recording cut short (data chunk claiming more than the file holds) is extended right
// after its last whole frame, not after the bytes it only claimed.
TEST(WaveFileAppending, CutShortFileIsExtendedAfterItsLastWholeFrame) {
    TempPath path("cut.wav");
    ASSERT_TRUE(WriteAll(path.str(), RiffWave(Join({kFmt16,
                                                    Chunk("data", 1000000, Pcm16({11, 12, 13})),
                                                    {0x7F}}))));  // half a frame
    const std::vector<int16_t> more = {14, 15};
    {
        auto appender = WaveFile::OpenForAppending(path.str());
        ASSERT_EQ(appender->State(), WaveFileState::Appending);
        EXPECT_EQ(appender->FrameCount(), 3);
        ASSERT_EQ(appender->WriteMono(more.data(), 2), 2);
    }
    EXPECT_EQ(ReadAll(path.str()),
              RiffWave(Join({kFmt16, Chunk("data", Pcm16({11, 12, 13, 14, 15}))})));
}

// ---- Failures of the underlying file ----

// A failed sample write closes the file, yet its header covers the whole frames written; a
// header that cannot be written at the start, or updated later, closes the file too.
TEST(WaveFileFailures, FailedWritesCloseWithWriteFailed) {
    HookedMemory disk;
    auto file = WaveFile::CreateForWriting(disk.Io(), 8000, 16, 1, 1);
    disk.shortWriteOnce = 7;  // three whole frames and half of one reach the disk
    const std::vector<int16_t> block = Ramp(10, 1, 1);
    EXPECT_EQ(file->WriteMono(block.data(), 10), -1);
    EXPECT_EQ(file->State(), WaveFileState::WriteFailed);
    EXPECT_FALSE(file->HasStream());
    ASSERT_EQ(disk.Bytes().size(), 51u);
    EXPECT_EQ(Le32At(disk.Bytes(), 40), 6u);
    EXPECT_EQ(Le32At(disk.Bytes(), 4), 42u);
    EXPECT_EQ(file->WriteMono(block.data(), 1), -1);
    file->Close();
    EXPECT_EQ(file->State(), WaveFileState::WriteFailed);

    WaveFileMemoryStream full;
    full.SetWriteBudget(20);
    EXPECT_EQ(WaveFile::CreateForWriting(full.Io(), 8000, 16, 1, 1)->State(),
              WaveFileState::WriteFailed);
    HookedMemory later;
    file = WaveFile::CreateForWriting(later.Io(), 8000, 16, 1, 1);
    ASSERT_EQ(file->WriteMono(block.data(), 1), 1);
    later.failSeeks = true;
    EXPECT_FALSE(file->UpdateHeader());
    EXPECT_EQ(file->State(), WaveFileState::WriteFailed);
    EXPECT_FALSE(file->HasStream());
    file->Close();
    EXPECT_EQ(file->State(), WaveFileState::WriteFailed);
}

TEST(WaveFileFailures, WritesThatWouldPassTheSizeFieldsAreRefusedAndTheFileStaysOpen) {
    // A file whose samples already reach almost 2 GiB (its length is faked).
    WaveFileMemoryStream memory(RiffWave(Join({kFmt16, Chunk("data", 0x7FFFFF00u, {})})));
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

// ---- Malformed files ----

struct BadFile {
    const char* name;
    Bytes bytes;
    WaveFileState state;
};

// Every failure state that a file's bytes can cause, each from its own crafted file (one file
// per way through the reader). The reader and the appender both get the state, hold no stream
// and leave the file alone; the memory stream parses to the same state.
TEST(WaveFileReading, BadFilesGiveTheirStateAndLeaveTheFileAlone) {
    const Bytes riffSizeOnly = Join({Text("RIFF"), Le(0, 4)});
    const BadFile badFiles[] = {
        {"Empty", {}, WaveFileState::ReadFailed},
        {"RiffHeaderOnly", riffSizeOnly, WaveFileState::NotWave},
        {"FormTypeCutShort", Join({riffSizeOnly, Text("WA")}), WaveFileState::ReadFailed},
        {"BigEndianRifx", Join({Text("RIFX"), Bytes(4, 0), Text("WAVE"), kFmt16, kData4}),
         WaveFileState::NotRiff},
        {"NotWaveForm", Join({riffSizeOnly, Text("AVI "), kFmt16, kData4}), WaveFileState::NotWave},
        {"WaveAndNothingElse", RiffWave({}), WaveFileState::NoFormatChunk},
        {"NoFmtChunk", RiffWave(Join({Chunk("LIST", Text("INFO")), kData4})),
         WaveFileState::NoFormatChunk},
        {"ChunkHeaderCutShort", RiffWave(Text("fmt ")), WaveFileState::ReadFailed},
        {"ChunkSizeNear4GiBBeforeFmt",
         RiffWave(Join({Chunk("JUNK", 0xFFFFFFF8u, Bytes(8, 0)), kFmt16, kData4})),
         WaveFileState::ChunkTooLong},
        {"FmtSize4GiBMinus1",
         RiffWave(Join({Chunk("fmt ", 0xFFFFFFFFu, FmtBody(1, 1, 8000, 16)), kData4})),
         WaveFileState::ChunkTooLong},
        {"FloatTag3", WithFmt(FmtBody(3, 1, 8000, 32)), WaveFileState::UnsupportedFormat},
        {"Pcm24Bit", WithFmt(FmtBody(1, 1, 8000, 24)), WaveFileState::UnsupportedFormat},
        {"EmptyFmtChunk", WithFmt({}), WaveFileState::UnsupportedFormat},
        {"BlockAlignOverflow", WithFmt(FmtBody(1, 65535, 8000, 0, 0, 16)),
         WaveFileState::UnsupportedFormat},
        {"ByteRateOverflow", WithFmt(FmtBody(1, 4, 0xFFFFFFF0u, 0, 0, 16)),
         WaveFileState::UnsupportedFormat},
        // Rates that frames of the analysis could not hold, and the first ones beyond the range.
        {"RateOf587MHz", WithFmt(FmtBody(1, 1, 587246660u, 16)),
         WaveFileState::UnsupportedSampleRate},
        {"RateOf14MHzWithRecomputedByteRate", WithFmt(FmtBody(1, 1, 14825028u, 0, 0, 16)),
         WaveFileState::UnsupportedSampleRate},
        {"Rate999Hz", WithFmt(FmtBody(1, 1, 999, 16)), WaveFileState::UnsupportedSampleRate},
        {"Rate384001Hz", WithFmt(FmtBody(7, 2, 384001, 8)), WaveFileState::UnsupportedSampleRate},
        {"MuLaw16Bit", WithFmt(FmtBody(7, 1, 8000, 16)), WaveFileState::CompandedNot8Bit},
        {"DataBeforeFmt", RiffWave(Join({kData4, kFmt16})), WaveFileState::NoDataChunk},
        {"ChunkAfterFmtTooLong", RiffWave(Join({kFmt16, Chunk("LIST", 1000, Text("INFO"))})),
         WaveFileState::NoDataChunk},
        // An odd chunk ending the file needs no pad byte; the data is still missing.
        {"OddChunkEndsFileWithoutData", RiffWave(Join({kFmt16, Chunk("LIST", Text("INFOx"))})),
         WaveFileState::NoDataChunk},
        {"DataHeaderCutShort", RiffWave(Join({kFmt16, Text("data")})), WaveFileState::ReadFailed},
    };
    for (const BadFile& bad : badFiles) {
        SCOPED_TRACE(bad.name);
        TempPath path("bad.wav");
        ASSERT_TRUE(WriteAll(path.str(), bad.bytes));
        auto reader = WaveFile::OpenForReading(path.str());
        EXPECT_EQ(reader->State(), bad.state);
        EXPECT_FALSE(reader->HasStream());
        int16_t samples[4];
        EXPECT_EQ(reader->ReadMono(samples, 4), -1);
        EXPECT_FALSE(reader->Seek(0));
        {
            auto appender = WaveFile::OpenForAppending(path.str());
            EXPECT_EQ(appender->State(), bad.state);
            EXPECT_FALSE(appender->HasStream());
            const int16_t s = 7;
            EXPECT_EQ(appender->WriteMono(&s, 1), -1);
            EXPECT_FALSE(appender->UpdateHeader());
        }
        EXPECT_EQ(ReadAll(path.str()), bad.bytes);
        WaveFileMemoryStream memory(bad.bytes);
        EXPECT_EQ(WaveFile::OpenForReading(memory.Io())->State(), bad.state);
    }
}

// ---- Files that open after repair ----

struct Fields {
    uint16_t channels;
    uint32_t rateHz;
    uint16_t bits, blockAlign;
    uint32_t averageBytes;
};
const Fields kMono16 = {1, 8000, 16, 2, 16000};

struct OddFile {
    const char* name;
    Bytes bytes;
    int32_t dataStart = 44;
    Fields fields = kMono16;
    std::vector<int16_t> samples = {1, 2, 3, 4};  // everything ReadMono gives
};

// kData4's sample bytes as 8-bit codes.
std::vector<int16_t> Codes(int16_t (*expand)(uint8_t)) {
    std::vector<int16_t> out;
    for (uint8_t b : Pcm16({1, 2, 3, 4})) {
        out.push_back(expand(b));
    }
    return out;
}

TEST(WaveFileReading, OddFilesOpenWithRepairedFieldsAndTheirSamples) {
    const Bytes list5 = Chunk("LIST", Text("INFOx"));
    const OddFile oddFiles[] = {
        {"ZeroChannelsReadAsMono", WithFmt(FmtBody(1, 0, 8000, 0, 0, 16))},
        {"BlockAlignZeroIsComputed",
         WithFmt(FmtBody(1, 2, 8000, 32000, 0, 16)),
         44,
         {2, 8000, 16, 4, 32000},
         {1, 3}},
        {"BadByteRateAndBlockAlign", WithFmt(FmtBody(1, 1, 8000, 12345, 7, 16))},
        {"ZeroRateBecomes16000", WithFmt(FmtBody(1, 1, 0, 0, 0, 16)), 44, {1, 16000, 16, 2, 32000}},
        {"LowestRate1000Hz", WithFmt(FmtBody(1, 1, 1000, 16)), 44, {1, 1000, 16, 2, 2000}},
        {"HighestRate384000Hz", WithFmt(FmtBody(1, 1, 384000, 16)), 44, {1, 384000, 16, 2, 768000}},
        {"EighteenByteFmt", WithFmt(FmtBody(1, 1, 8000, 16), 18), 46},
        // Without the bits field each format takes its natural size.
        {"FourteenByteFmtPcm", WithFmt(FmtBody(1, 1, 8000, 0, 0, 0), 14), 42},
        {"FourteenByteFmtALaw",
         WithFmt(FmtBody(6, 1, 8000, 0, 0, 0), 14),
         42,
         {1, 8000, 8, 1, 8000},
         Codes(ALawToLinear)},
        {"FifteenByteFmtSkipsTheHalfField", WithFmt(FmtBody(1, 1, 8000, 16), 15), 43},
        {"DataClaimingMoreIsCutToWholeFrames",
         RiffWave(Join({kFmt16, Chunk("data", 1000, Join({Pcm16({1, 2, 3}), {0x44}}))})),
         44,
         kMono16,
         {1, 2, 3}},
        {"DataClaiming4GiBIsCutToTheFile",
         RiffWave(Join({kFmt16, Chunk("data", 0xFFFFFFFFu, Pcm16({9, 8}))})),
         44,
         kMono16,
         {9, 8}},
        {"WrongRiffSizeIsIgnored", Join({Text("RIFF"), Le(0, 4), Text("WAVE"), kFmt16, kData4})},
        {"DataBeforeFmtIsSkippedForALaterOne",
         RiffWave(Join({Chunk("data", Pcm16({7})), kFmt16, Chunk("fact", Bytes(4, 0)), kData4})),
         66},
        {"EmptyDataChunk", RiffWave(Join({kFmt16, Chunk("data", {})})), 44, kMono16, {}},
        // Odd-sized chunks: RIFF wants a zero pad byte after them, some writers leave it out.
        {"PaddedOddChunkBeforeFmt", RiffWave(Join({list5, {0}, kFmt16, kData4})), 58},
        {"UnpaddedOddChunkBeforeFmt", RiffWave(Join({list5, kFmt16, kData4})), 57},
        {"PaddedOddChunkBetweenFmtAndData",
         RiffWave(Join({kFmt16, Chunk("junk", {1, 2, 3}), {0}, kData4})), 56},
    };
    for (const OddFile& odd : oddFiles) {
        SCOPED_TRACE(odd.name);
        WaveFileMemoryStream memory(odd.bytes);
        auto file = WaveFile::OpenForReading(memory.Io());
        ASSERT_EQ(file->State(), WaveFileState::Reading);
        EXPECT_EQ(file->Channels(), odd.fields.channels);
        EXPECT_EQ(file->SampleRateHz(), odd.fields.rateHz);
        EXPECT_EQ(file->BitsPerSample(), odd.fields.bits);
        EXPECT_EQ(file->BlockAlign(), odd.fields.blockAlign);
        EXPECT_EQ(file->AverageBytesPerSecond(), odd.fields.averageBytes);
        EXPECT_EQ(file->DataStart(), odd.dataStart);
        EXPECT_EQ(file->ByteCount(), static_cast<int32_t>(odd.bytes.size()));
        EXPECT_EQ(file->FrameCount(), static_cast<int32_t>(odd.samples.size()));
        std::vector<int16_t> samples(odd.samples.size() + 16);
        ASSERT_EQ(file->ReadMono(samples.data(), static_cast<int32_t>(samples.size())),
                  static_cast<int32_t>(odd.samples.size()));
        samples.resize(odd.samples.size());
        EXPECT_EQ(samples, odd.samples);
        EXPECT_FALSE(file->Seek(file->FrameCount()));
    }
}

// ---- Failures of the stream itself ----

// A file beyond 2 GiB or a failed skip is a read failure; a failed seek while reading closes
// the file with SeekFailed.
TEST(WaveFileStreamFailures, FailedStreamCallsCloseTheFile) {
    WaveFileMemoryStream memory(RiffWave(Join({kFmt16, kData4})));
    memory.SetReportedLength(0x80000000LL);
    EXPECT_EQ(WaveFile::OpenForReading(memory.Io())->State(), WaveFileState::ReadFailed);
    HookedMemory disk(RiffWave(Join({Chunk("LIST", Text("INFO")), kFmt16, kData4})));
    disk.failSeeks = true;
    auto file = WaveFile::OpenForReading(disk.Io());
    EXPECT_EQ(file->State(), WaveFileState::ReadFailed);
    EXPECT_FALSE(file->HasStream());
    HookedMemory plain(RiffWave(Join({kFmt16, kData4})));
    file = WaveFile::OpenForReading(plain.Io());
    ASSERT_EQ(file->State(), WaveFileState::Reading);
    plain.failSeeks = true;
    EXPECT_FALSE(file->Seek(2));
    EXPECT_EQ(file->State(), WaveFileState::SeekFailed);
    EXPECT_FALSE(file->HasStream());
    int16_t samples[4];
    EXPECT_EQ(file->ReadMono(samples, 4), -1);
    file->Close();
    EXPECT_EQ(file->State(), WaveFileState::SeekFailed);
}

TEST(WaveFileStreamFailures, MissingFilesAndIncompleteCallbacksCannotOpen) {
    TempPath missing("missing.wav");
    EXPECT_EQ(WaveFile::OpenForReading(missing.str())->State(), WaveFileState::CannotOpen);
    EXPECT_EQ(WaveFile::OpenForAppending(missing.str())->State(), WaveFileState::CannotOpen);
    EXPECT_EQ(fopen(missing.str().c_str(), "rb"), nullptr) << "appending must not create the file";
    WaveFileIo io;
    EXPECT_EQ(WaveFile::OpenForReading(io)->State(), WaveFileState::CannotOpen);
    WaveFileMemoryStream memory(RiffWave(Join({kFmt16, kData4})));
    WaveFileIo readOnly = memory.Io();
    readOnly.write = nullptr;
    EXPECT_EQ(WaveFile::OpenForAppending(readOnly)->State(), WaveFileState::CannotOpen);
    EXPECT_EQ(WaveFile::CreateForWriting(readOnly, 8000, 16, 1, 1)->State(),
              WaveFileState::CannotOpen);
    EXPECT_EQ(WaveFile::OpenForReading(readOnly)->State(), WaveFileState::Reading);
}

}  // namespace
}  // namespace melvora
