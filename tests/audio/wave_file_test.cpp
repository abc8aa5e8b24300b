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

// ---- Writing ----

// Closing a file without samples still leaves a whole header (the header with samples is
// checked byte for byte in the sox tests).
TEST(WaveFileWriting, EmptyFileIsTheHeaderAlone) {
    TempPath path("mono.wav");
    auto file = WaveFile::CreateForWriting(path.str(), 44100, 16, 1, 1);
    ASSERT_EQ(file->State(), WaveFileState::Writing);
    EXPECT_EQ(file->DataStart(), 44);
    file->Close();
    EXPECT_EQ(file->State(), WaveFileState::Closed);
    EXPECT_FALSE(file->HasStream());
    EXPECT_EQ(ReadAll(path.str()),
              RiffWave(Join({Chunk("fmt ", FmtBody(1, 1, 44100, 16)), Chunk("data", {})})));
}

TEST(WaveFileWriting, DefaultsFillZeroChannelsRateAndBits) {
    WaveFileMemoryStream pcmDisk, mulawDisk;
    auto pcm = WaveFile::CreateForWriting(pcmDisk.Io(), 0, 0, 0, 1);
    ASSERT_EQ(pcm->State(), WaveFileState::Writing);
    EXPECT_EQ(pcm->Channels(), 1);
    EXPECT_EQ(pcm->SampleRateHz(), 16000u);
    EXPECT_EQ(pcm->BitsPerSample(), 16);
    EXPECT_EQ(pcm->BlockAlign(), 2);
    EXPECT_EQ(pcm->AverageBytesPerSecond(), 32000u);
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
        {0, 16, 1, 8000, WaveFileState::UnsupportedFormat},
        {1, 24, 1, 8000, WaveFileState::UnsupportedFormat},
        {1, 12, 1, 8000, WaveFileState::UnsupportedFormat},
        {7, 16, 1, 8000, WaveFileState::CompandedNot8Bit},
        {6, 4, 1, 8000, WaveFileState::CompandedNot8Bit},
        {1, 16, 65535, 8000, WaveFileState::UnsupportedFormat},     // frame size passes 16 bits
        {1, 16, 8, 0xFFFFFFFFu, WaveFileState::UnsupportedFormat},  // byte rate passes 2^32
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
              RiffWave(Join({Chunk("fmt ", FmtBody(1, 1, 8000, 16)),
                             Chunk("data", Join({Pcm16(take1), Pcm16(take2)}))})));
}

// ---- Reading ----

TEST(WaveFileReading, OperationsOutsideTheirStatesAreRefused) {
    WaveFileMemoryStream file(RiffWave(
        Join({Chunk("fmt ", FmtBody(1, 1, 8000, 16)), Chunk("data", Pcm16({0, 1, 2, 3}))})));
    auto reader = WaveFile::OpenForReading(file.Io());
    const int16_t s = 1;
    int16_t back[4];
    EXPECT_EQ(reader->WriteMono(&s, 1), -1);
    EXPECT_FALSE(reader->UpdateHeader());
    EXPECT_EQ(reader->ReadMono(back, 0), 0);
    reader->Close();
    EXPECT_EQ(reader->State(), WaveFileState::Closed);
    EXPECT_EQ(reader->ReadMono(back, 4), -1);
    EXPECT_FALSE(reader->Seek(0));
    reader->Close();
    EXPECT_EQ(reader->State(), WaveFileState::Closed);

    WaveFileMemoryStream disk;
    auto writer = WaveFile::CreateForWriting(disk.Io(), 8000, 16, 1, 1);
    EXPECT_EQ(writer->ReadMono(back, 4), -1);
    EXPECT_FALSE(writer->Seek(0));
    EXPECT_EQ(writer->WriteMono(nullptr, 4), -1);
    EXPECT_EQ(writer->WriteMono(&s, -1), -1);
    EXPECT_EQ(writer->WriteMono(&s, 0), 0);
}

TEST(WaveFileSeek, ReadingResumesAtTheFrameAskedForAndStopsAtTheEnd) {
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
}

// The window thread may seek the replay reader while the worker reads it: every block read
// must be a run of consecutive frames of the file, starting where some seek or the previous
// read left it.
TEST(WaveFileSeek, SeeksFromAnotherThreadNeverTearABlock) {
    TempPath path("race.wav");
    const int frames = 20000;
    ASSERT_TRUE(WriteAll(path.str(), RiffWave(Join({Chunk("fmt ", FmtBody(1, 1, 8000, 16)),
                                                    Chunk("data", Pcm16(Ramp(frames, 0, 1)))}))));
    auto reader = WaveFile::OpenForReading(path.str());
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
    ASSERT_TRUE(WriteAll(path.str(), RiffWave(Join({Chunk("fmt ", FmtBody(1, 1, 8000, 16)),
                                                    Chunk("data", 1000000, Pcm16({11, 12, 13})),
                                                    {0x7F}}))));  // half a frame
    const std::vector<int16_t> more = {14, 15};
    {
        auto appender = WaveFile::OpenForAppending(path.str());
        ASSERT_EQ(appender->State(), WaveFileState::Appending);
        EXPECT_EQ(appender->FrameCount(), 3);
        ASSERT_EQ(appender->WriteMono(more.data(), 2), 2);
    }
    EXPECT_EQ(ReadAll(path.str()), RiffWave(Join({Chunk("fmt ", FmtBody(1, 1, 8000, 16)),
                                                  Chunk("data", Pcm16({11, 12, 13, 14, 15}))})));
}

// ---- Failures of the underlying file ----

// A failed sample write closes the file, yet its header covers the whole frames written.
TEST(WaveFileFailures, FailedSampleWriteClosesAndStillFinishesTheHeader) {
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
}

// The header cannot be written at the start, or updated later: the file closes.
TEST(WaveFileFailures, FailedHeaderWriteClosesWithWriteFailed) {
    WaveFileMemoryStream full;
    full.SetWriteBudget(20);
    auto first = WaveFile::CreateForWriting(full.Io(), 8000, 16, 1, 1);
    EXPECT_EQ(first->State(), WaveFileState::WriteFailed);
    EXPECT_FALSE(first->HasStream());
    HookedMemory disk;
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
    WaveFileMemoryStream memory(
        RiffWave(Join({Chunk("fmt ", FmtBody(1, 1, 8000, 16)), Chunk("data", 0x7FFFFF00u, {})})));
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
