// Feeds arbitrary bytes to the WAV reader and appender in memory. Beyond the sanitizers'
// checks it traps when the object breaks its own promises: a failed open that keeps a stream,
// a frame count that the file cannot hold, reads that do not add up to the frame count, or an
// appended file that no longer reads back as the old samples plus the new ones.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/wave_file.h"
#include "audio/wave_file_memory_stream.h"

namespace {

using melvora::WaveFile;
using melvora::WaveFileMemoryStream;
using melvora::WaveFileState;

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void CheckFormatInvariants(const WaveFile& file, size_t size) {
    Check(file.Channels() >= 1);
    Check(file.BitsPerSample() == 8 || file.BitsPerSample() == 16);
    Check(file.BlockAlign() == file.BitsPerSample() * file.Channels() / 8);
    Check(file.FrameCount() >= 0);
    Check(file.DataStart() >= 12 + 8 + 8);
    Check(static_cast<uint64_t>(file.DataStart()) +
              static_cast<uint64_t>(file.FrameCount()) * file.BlockAlign() <=
          size);
}

void FuzzReading(const std::vector<uint8_t>& bytes) {
    WaveFileMemoryStream memory(bytes);
    auto file = WaveFile::OpenForReading(memory.Io());
    if (file->State() != WaveFileState::Reading) {
        Check(!file->HasStream());
        return;
    }
    CheckFormatInvariants(*file, bytes.size());
    const int32_t frames = file->FrameCount();
    int16_t mono[97];
    int64_t total = 0;
    int32_t got;
    while ((got = file->ReadMono(mono, 97)) > 0) {
        Check(got <= 97);
        total += got;
    }
    Check(got == 0);
    Check(total == frames);

    const uint16_t channels = file->Channels();
    std::vector<int16_t> work(static_cast<size_t>(channels) * 8);
    std::vector<int16_t*> pointers;
    for (uint16_t c = 0; c < channels; ++c) {
        pointers.push_back(work.data() + static_cast<size_t>(c) * 8);
    }
    Check(file->Seek(frames) == false);
    if (frames > 0) {
        Check(file->Seek(frames / 2));
        const int32_t items = file->ReadChannels(pointers.data(), 8);
        const int32_t left = frames - frames / 2;
        Check(items == (left < 8 ? left : 8) * channels);
    }
    file->Close();
    Check(file->State() == WaveFileState::Closed);
}

void FuzzAppending(const std::vector<uint8_t>& bytes) {
    WaveFileMemoryStream memory(bytes);
    std::vector<int16_t> before;
    {
        WaveFileMemoryStream copy(bytes);
        auto reader = WaveFile::OpenForReading(copy.Io());
        if (reader->State() == WaveFileState::Reading) {
            before.resize(static_cast<size_t>(reader->FrameCount()));
            if (!before.empty()) {
                Check(reader->ReadMono(before.data(), reader->FrameCount()) ==
                      reader->FrameCount());
            }
        }
    }
    auto file = WaveFile::OpenForAppending(memory.Io());
    if (file->State() != WaveFileState::Appending) {
        Check(!file->HasStream());
        Check(memory.Bytes() == bytes);  // a refused file is left as it was
        return;
    }
    CheckFormatInvariants(*file, bytes.size());
    const int32_t oldFrames = file->FrameCount();
    Check(static_cast<size_t>(oldFrames) == before.size());
    const int16_t added[5] = {0, 1000, -1000, 32767, -32768};
    Check(file->WriteMono(added, 5) == 5);
    file->Close();
    Check(file->State() == WaveFileState::Closed);

    WaveFileMemoryStream result(memory.Bytes());
    auto reader = WaveFile::OpenForReading(result.Io());
    Check(reader->State() == WaveFileState::Reading);
    Check(reader->FrameCount() == oldFrames + 5);
    const std::vector<uint8_t>& written = memory.Bytes();
    const uint64_t riffSize = written[4] | (written[5] << 8) | (written[6] << 16) |
                              (static_cast<uint64_t>(written[7]) << 24);
    Check(riffSize + 8 <= written.size());  // the RIFF chunk covers no bytes beyond the file
    std::vector<int16_t> after(static_cast<size_t>(oldFrames) + 5);
    Check(reader->ReadMono(after.data(), oldFrames + 5) == oldFrames + 5);
    for (size_t i = 0; i < before.size(); ++i) {
        Check(after[i] == before[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    FuzzReading(bytes);
    FuzzAppending(bytes);
    return 0;
}
