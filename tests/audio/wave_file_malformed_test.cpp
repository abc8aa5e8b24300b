#include "audio/wave_file.h"

#include <gtest/gtest.h>

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

struct BadFile {
    const char* name;
    Bytes bytes;
    WaveFileState state;
};

// Every failure state that a file's bytes can cause, each from its own crafted file.
std::vector<BadFile> BadFiles() {
    const Bytes riffSizeOnly = Join({Text("RIFF"), Le(0, 4)});
    return {
        {"Empty", {}, WaveFileState::ReadFailed},
        {"OnlyRiff", Text("RIFF"), WaveFileState::ReadFailed},
        {"RiffHeaderOnly", riffSizeOnly, WaveFileState::NotWave},
        {"FormTypeCutShort", Join({riffSizeOnly, Text("WA")}), WaveFileState::ReadFailed},
        {"BigEndianRifx", Join({Text("RIFX"), Bytes(4, 0), Text("WAVE"), kFmt16, kData4}),
         WaveFileState::NotRiff},
        {"TextFile", Text("Hello, this is not a wave file at all."), WaveFileState::NotRiff},
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
        {"FmtClaimsMoreThanFile", RiffWave(Chunk("fmt ", 40, FmtBody(1, 1, 8000, 16))),
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
        {"FmtOnly", RiffWave(kFmt16), WaveFileState::NoDataChunk},
        {"DataBeforeFmt", RiffWave(Join({kData4, kFmt16})), WaveFileState::NoDataChunk},
        {"ChunkAfterFmtTooLong", RiffWave(Join({kFmt16, Chunk("LIST", 1000, Text("INFO"))})),
         WaveFileState::NoDataChunk},
        // An odd chunk ending the file needs no pad byte; the data is still missing.
        {"OddChunkEndsFileWithoutData", RiffWave(Join({kFmt16, Chunk("LIST", Text("INFOx"))})),
         WaveFileState::NoDataChunk},
        {"DataHeaderCutShort", RiffWave(Join({kFmt16, Text("data")})), WaveFileState::ReadFailed},
    };
}

class WaveFileBadFiles : public ::testing::TestWithParam<BadFile> {};

// The reader and the appender both get the state, hold no stream and leave the file alone;
// the memory stream parses to the same state.
TEST_P(WaveFileBadFiles, GiveTheirStateAndLeaveTheFileAlone) {
    const BadFile& bad = GetParam();
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

INSTANTIATE_TEST_SUITE_P(States, WaveFileBadFiles, ::testing::ValuesIn(BadFiles()),
                         [](const ::testing::TestParamInfo<BadFile>& p) {
                             return std::string(p.param.name);
                         });

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

std::vector<OddFile> OddFiles() {
    const Bytes list5 = Chunk("LIST", Text("INFOx"));
    return {
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
}

class WaveFileOddFiles : public ::testing::TestWithParam<OddFile> {};

TEST_P(WaveFileOddFiles, OpenWithRepairedFieldsAndTheirSamples) {
    const OddFile& odd = GetParam();
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

INSTANTIATE_TEST_SUITE_P(Repairs, WaveFileOddFiles, ::testing::ValuesIn(OddFiles()),
                         [](const ::testing::TestParamInfo<OddFile>& p) {
                             return std::string(p.param.name);
                         });

// ---- Failures of the stream itself ----

TEST(WaveFileStreamFailures, FileBeyond2GiBOrAFailedSkipIsAReadFailure) {
    WaveFileMemoryStream memory(RiffWave(Join({kFmt16, kData4})));
    memory.SetReportedLength(0x80000000LL);
    EXPECT_EQ(WaveFile::OpenForReading(memory.Io())->State(), WaveFileState::ReadFailed);

    HookedMemory disk(RiffWave(Join({Chunk("LIST", Text("INFO")), kFmt16, kData4})));
    disk.failSeeks = true;
    auto file = WaveFile::OpenForReading(disk.Io());
    EXPECT_EQ(file->State(), WaveFileState::ReadFailed);
    EXPECT_FALSE(file->HasStream());
}

TEST(WaveFileStreamFailures, FailedSeekWhileReadingClosesWithSeekFailed) {
    HookedMemory disk(RiffWave(Join({kFmt16, kData4})));
    auto file = WaveFile::OpenForReading(disk.Io());
    ASSERT_EQ(file->State(), WaveFileState::Reading);
    disk.failSeeks = true;
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
