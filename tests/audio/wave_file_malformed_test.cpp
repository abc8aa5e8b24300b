#include "audio/wave_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "audio/wave_test_util.h"

namespace melvora {
namespace {

using testutil::AppendChunk;
using testutil::Bytes;
using testutil::FmtBody;
using testutil::RiffWave;
using testutil::TempPath;

Bytes Text(const char* text) {
    return Bytes(text, text + strlen(text));
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

Bytes Chunk(const char* id, uint32_t declared, const Bytes& body) {
    Bytes out;
    AppendChunk(&out, id, declared, body);
    return out;
}
Bytes Chunk(const char* id, const Bytes& body) {
    return Chunk(id, static_cast<uint32_t>(body.size()), body);
}

const Bytes kFmt16 = Chunk("fmt ", FmtBody(1, 1, 8000, 16));
const Bytes kData4 = Chunk("data", testutil::Pcm16({1, 2, 3, 4}));

struct BadFile {
    const char* name;
    Bytes bytes;
    WaveFileState state;
};

void PrintTo(const BadFile& b, std::ostream* os) {
    *os << b.name;
}

// Every failure state that a file's bytes can cause, each from its own crafted file.
std::vector<BadFile> BadFiles() {
    Bytes riffSizeOnly = Text("RIFF");
    testutil::Append32(&riffSizeOnly, 0);
    Bytes riffHugeSize = Text("RIFF");
    testutil::Append32(&riffHugeSize, 0xFFFFFFFFu);
    return {
        {"Empty", {}, WaveFileState::ReadFailed},
        {"OnlyRiff", Text("RIFF"), WaveFileState::ReadFailed},
        {"RiffHeaderOnly", riffSizeOnly, WaveFileState::NotWave},
        {"RiffHeaderOnlyClaiming4GiB", riffHugeSize, WaveFileState::NotWave},
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
        {"FloatTag3", RiffWave(Join({Chunk("fmt ", FmtBody(3, 1, 8000, 32)), kData4})),
         WaveFileState::UnsupportedFormat},
        {"ExtensibleTag", RiffWave(Join({Chunk("fmt ", FmtBody(0xFFFE, 2, 8000, 16)), kData4})),
         WaveFileState::UnsupportedFormat},
        {"Pcm24Bit", RiffWave(Join({Chunk("fmt ", FmtBody(1, 1, 8000, 24)), kData4})),
         WaveFileState::UnsupportedFormat},
        {"EmptyFmtChunk", RiffWave(Join({Chunk("fmt ", {}), kData4})),
         WaveFileState::UnsupportedFormat},
        {"BlockAlignOverflow",
         RiffWave(Join({Chunk("fmt ", FmtBody(1, 65535, 8000, 0, 0, 16)), kData4})),
         WaveFileState::UnsupportedFormat},
        {"ByteRateOverflow",
         RiffWave(Join({Chunk("fmt ", FmtBody(1, 4, 0xFFFFFFF0u, 0, 0, 16)), kData4})),
         WaveFileState::UnsupportedFormat},
        {"MuLaw16Bit", RiffWave(Join({Chunk("fmt ", FmtBody(7, 1, 8000, 16)), kData4})),
         WaveFileState::CompandedNot8Bit},
        {"ALaw4Bit", RiffWave(Join({Chunk("fmt ", FmtBody(6, 1, 8000, 4)), kData4})),
         WaveFileState::CompandedNot8Bit},
        {"FmtOnly", RiffWave(kFmt16), WaveFileState::NoDataChunk},
        {"DataBeforeFmt", RiffWave(Join({kData4, kFmt16})), WaveFileState::NoDataChunk},
        {"ChunkAfterFmtTooLong", RiffWave(Join({kFmt16, Chunk("LIST", 1000, Text("INFO"))})),
         WaveFileState::NoDataChunk},
        {"ChunkAfterFmtNear4GiB",
         RiffWave(Join({kFmt16, Chunk("LIST", 0xFFFFFFFFu, Text("INFO")), kData4})),
         WaveFileState::NoDataChunk},
        {"DataHeaderCutShort", RiffWave(Join({kFmt16, Text("data")})), WaveFileState::ReadFailed},
    };
}

class WaveFileBadFiles : public ::testing::TestWithParam<BadFile> {};

TEST_P(WaveFileBadFiles, ReaderGetsTheStateAndHoldsNoStream) {
    TempPath path("bad.wav");
    ASSERT_TRUE(testutil::WriteAll(path.str(), GetParam().bytes));
    auto file = WaveFile::OpenForReading(path.str());
    EXPECT_EQ(file->State(), GetParam().state);
    EXPECT_FALSE(file->HasStream());
    int16_t samples[4];
    EXPECT_EQ(file->ReadMono(samples, 4), -1);
    EXPECT_FALSE(file->Seek(0));
}

TEST_P(WaveFileBadFiles, AppenderGetsTheStateAndLeavesTheFileAlone) {
    TempPath path("bad.wav");
    ASSERT_TRUE(testutil::WriteAll(path.str(), GetParam().bytes));
    {
        auto file = WaveFile::OpenForAppending(path.str());
        EXPECT_EQ(file->State(), GetParam().state);
        EXPECT_FALSE(file->HasStream());
        const int16_t s = 7;
        EXPECT_EQ(file->WriteMono(&s, 1), -1);
        EXPECT_FALSE(file->UpdateHeader());
    }
    EXPECT_EQ(testutil::ReadAll(path.str()), GetParam().bytes);
}

TEST_P(WaveFileBadFiles, MemoryParserAgreesWithTheFileParser) {
    WaveFileMemoryStream memory(GetParam().bytes);
    auto file = WaveFile::OpenForReading(memory.Io());
    EXPECT_EQ(file->State(), GetParam().state);
}

INSTANTIATE_TEST_SUITE_P(States, WaveFileBadFiles, ::testing::ValuesIn(BadFiles()),
                         [](const ::testing::TestParamInfo<BadFile>& p) {
                             return std::string(p.param.name);
                         });

TEST(WaveFileOpen, MissingFileCannotBeOpened) {
    const std::string missing = ::testing::TempDir() + "melvora_no_such_file.wav";
    EXPECT_EQ(WaveFile::OpenForReading(missing)->State(), WaveFileState::CannotOpen);
    EXPECT_EQ(WaveFile::OpenForAppending(missing)->State(), WaveFileState::CannotOpen);
    EXPECT_EQ(fopen(missing.c_str(), "rb"), nullptr) << "appending must not create the file";
}

// ---- Files that open after repair ----

struct Opened {
    std::unique_ptr<WaveFile> file;
    std::vector<int16_t> samples;  // everything ReadMono gives
};

Opened OpenBytes(const Bytes& bytes) {
    Opened result;
    TempPath path("odd.wav");
    if (!testutil::WriteAll(path.str(), bytes)) {
        ADD_FAILURE() << "cannot write " << path.str();
        return result;
    }
    result.file = WaveFile::OpenForReading(path.str());
    if (result.file->State() == WaveFileState::Reading) {
        int16_t block[16];
        int32_t got;
        while ((got = result.file->ReadMono(block, 16)) > 0) {
            result.samples.insert(result.samples.end(), block, block + got);
        }
    }
    return result;
}

TEST(WaveFileRepairs, ZeroChannelsReadAsMono) {
    Opened o = OpenBytes(RiffWave(Join({Chunk("fmt ", FmtBody(1, 0, 8000, 0, 0, 16)), kData4})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.file->Channels(), 1);
    EXPECT_EQ(o.file->BlockAlign(), 2);
    EXPECT_EQ(o.samples, (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(WaveFileRepairs, BlockAlignZeroIsComputedFromTheOtherFields) {
    Opened o =
        OpenBytes(RiffWave(Join({Chunk("fmt ", FmtBody(1, 2, 8000, 32000, 0, 16)), kData4})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.file->BlockAlign(), 4);
    EXPECT_EQ(o.file->FrameCount(), 2);
}

TEST(WaveFileRepairs, InconsistentByteRateAndBlockAlignAreBothRecomputed) {
    Opened o =
        OpenBytes(RiffWave(Join({Chunk("fmt ", FmtBody(1, 1, 8000, 12345, 7, 16)), kData4})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.file->AverageBytesPerSecond(), 16000u);
    EXPECT_EQ(o.file->BlockAlign(), 2);
    EXPECT_EQ(o.samples.size(), 4u);
}

TEST(WaveFileRepairs, ZeroRateBecomes16000) {
    Opened o = OpenBytes(RiffWave(Join({Chunk("fmt ", FmtBody(1, 1, 0, 0, 0, 16)), kData4})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.file->SampleRateHz(), 16000u);
    EXPECT_EQ(o.file->AverageBytesPerSecond(), 32000u);
}

TEST(WaveFileRepairs, EighteenByteFmtChunkSkipsTheExtraSizeField) {
    Bytes body = FmtBody(1, 1, 8000, 16);
    testutil::Append16(&body, 0);
    Opened o = OpenBytes(RiffWave(Join({Chunk("fmt ", body), kData4})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.file->DataStart(), 12 + 8 + 18 + 8);
    EXPECT_EQ(o.samples, (std::vector<int16_t>{1, 2, 3, 4}));
}

struct ShortFmtCase {
    uint16_t tag;
    uint16_t bits;
};

void PrintTo(const ShortFmtCase& c, std::ostream* os) {
    *os << "tag " << c.tag;
}

class WaveFileShortFmt : public ::testing::TestWithParam<ShortFmtCase> {};

TEST_P(WaveFileShortFmt, FourteenByteFmtTakesTheFormatsNaturalBits) {
    Bytes body = FmtBody(GetParam().tag, 1, 8000, 0, 0, 0);
    body.resize(14);
    Opened o = OpenBytes(RiffWave(Join({Chunk("fmt ", body), kData4})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.file->BitsPerSample(), GetParam().bits);
    EXPECT_EQ(o.file->FrameCount(), 8 / (GetParam().bits / 8));
}

INSTANTIATE_TEST_SUITE_P(Tags, WaveFileShortFmt,
                         ::testing::Values(ShortFmtCase{1, 16}, ShortFmtCase{6, 8},
                                           ShortFmtCase{7, 8}));

TEST(WaveFileRepairs, FifteenByteFmtSkipsTheHalfField) {
    Bytes body = FmtBody(1, 1, 8000, 16);
    body.resize(15);
    Opened o = OpenBytes(RiffWave(Join({Chunk("fmt ", body), kData4})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.file->BitsPerSample(), 16);
    EXPECT_EQ(o.file->DataStart(), 12 + 8 + 15 + 8);
    EXPECT_EQ(o.samples, (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(WaveFileRepairs, DataClaimingMoreThanTheFileIsCutToWholeFrames) {
    Bytes body = testutil::Pcm16({1, 2, 3});
    body.push_back(0x44);
    Opened o = OpenBytes(RiffWave(Join({kFmt16, Chunk("data", 1000, body)})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.file->FrameCount(), 3);
    EXPECT_EQ(o.samples, (std::vector<int16_t>{1, 2, 3}));
}

TEST(WaveFileRepairs, DataClaiming4GiBIsCutToTheFile) {
    Opened o =
        OpenBytes(RiffWave(Join({kFmt16, Chunk("data", 0xFFFFFFFFu, testutil::Pcm16({9, 8}))})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.file->FrameCount(), 2);
    EXPECT_EQ(o.samples, (std::vector<int16_t>{9, 8}));
}

TEST(WaveFileRepairs, WrongRiffSizeIsIgnoredInFavourOfTheFileLength) {
    Bytes bytes = RiffWave(Join({kFmt16, kData4}));
    bytes[4] = bytes[5] = bytes[6] = bytes[7] = 0;
    Opened o = OpenBytes(bytes);
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.file->ByteCount(), static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(o.samples.size(), 4u);
}

TEST(WaveFileRepairs, DataBeforeFmtIsSkippedAndALaterDataChunkIsUsed) {
    Opened o = OpenBytes(RiffWave(
        Join({Chunk("data", testutil::Pcm16({7})), kFmt16, Chunk("fact", Bytes(4, 0)), kData4})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.samples, (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(WaveFileRepairs, EmptyDataChunkReadsNothing) {
    Opened o = OpenBytes(RiffWave(Join({kFmt16, Chunk("data", {})})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.file->FrameCount(), 0);
    EXPECT_TRUE(o.samples.empty());
    EXPECT_FALSE(o.file->Seek(0));
}

// Odd-sized chunks: RIFF wants a zero pad byte after them, some writers leave it out.
// Both kinds of file open.
TEST(WaveFileOddChunks, PaddedOddChunkBeforeFmtIsSkippedWithItsPad) {
    Bytes list = Chunk("LIST", Text("INFOx"));
    list.push_back(0);
    Opened o = OpenBytes(RiffWave(Join({list, kFmt16, kData4})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.samples, (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(WaveFileOddChunks, UnpaddedOddChunkBeforeFmtStillOpens) {
    Opened o = OpenBytes(RiffWave(Join({Chunk("LIST", Text("INFOx")), kFmt16, kData4})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.samples, (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(WaveFileOddChunks, PaddedOddChunkBetweenFmtAndDataIsSkippedWithItsPad) {
    Bytes junk = Chunk("junk", Bytes{1, 2, 3});
    junk.push_back(0);
    Opened o = OpenBytes(RiffWave(Join({kFmt16, junk, kData4})));
    ASSERT_EQ(o.file->State(), WaveFileState::Reading);
    EXPECT_EQ(o.file->DataStart(), 12 + 24 + 12 + 8);
    EXPECT_EQ(o.samples, (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(WaveFileOddChunks, OddChunkEndingTheFileNeedsNoPad) {
    Opened o = OpenBytes(RiffWave(Join({kFmt16, Chunk("LIST", Text("INFOx"))})));
    EXPECT_EQ(o.file->State(), WaveFileState::NoDataChunk);
}

// ---- Failures of the stream itself ----

TEST(WaveFileStreamFailures, FileBeyond2GiBIsRefusedAsAReadFailure) {
    WaveFileMemoryStream memory(RiffWave(Join({kFmt16, kData4})));
    memory.SetReportedLength(0x80000000LL);
    EXPECT_EQ(WaveFile::OpenForReading(memory.Io())->State(), WaveFileState::ReadFailed);
}

TEST(WaveFileStreamFailures, FailedSkipIsAReadFailure) {
    testutil::HookedMemory disk(RiffWave(Join({Chunk("LIST", Text("INFO")), kFmt16, kData4})));
    disk.failSeeks = true;
    auto file = WaveFile::OpenForReading(disk.Io());
    EXPECT_EQ(file->State(), WaveFileState::ReadFailed);
    EXPECT_FALSE(file->HasStream());
}

TEST(WaveFileStreamFailures, FailedSeekWhileReadingClosesWithSeekFailed) {
    testutil::HookedMemory disk(RiffWave(Join({kFmt16, kData4})));
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

TEST(WaveFileStreamFailures, IncompleteCallbacksCannotOpen) {
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
