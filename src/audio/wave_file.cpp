#include "audio/wave_file.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#include "audio/g711.h"
#include "platform/file_system.h"

namespace melvora {
namespace {

// The 32-bit signed byte and frame fields bound every file this class touches.
constexpr int64_t kMaxFileBytes = INT32_MAX;

void PutLe16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint16_t GetLe16(const uint8_t* in) {
    return static_cast<uint16_t>(in[0] | (in[1] << 8));
}

uint32_t GetLe32(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
           (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
}

bool IdIs(const uint8_t* id, const char* expected) {
    return memcmp(id, expected, 4) == 0;
}

}  // namespace

WaveFile::WaveFile() = default;

WaveFile::~WaveFile() {
    std::lock_guard<std::mutex> lock(mutex_);
    CloseLocked();
    // A failed close leaves the stream closed already; anything else still open is let go.
    ReleaseStream();
}

std::unique_ptr<WaveFile> WaveFile::CreateForWriting(const std::string& path, uint32_t sampleRateHz,
                                                     uint16_t bitsPerSample, uint16_t channels,
                                                     uint16_t formatTag) {
    auto file = std::make_unique<WaveFile>();
    file->formatTag_ = formatTag;
    file->channels_ = channels;
    file->sampleRateHz_ = sampleRateHz;
    file->bitsPerSample_ = bitsPerSample;
    // Refuse the format before touching the disk, so no empty file is left behind.
    const WaveFileState validity = file->ValidateFormat();
    if (validity != WaveFileState::Writing) {
        file->state_ = validity;
        return file;
    }
    FILE* stream = OpenFile(path, "wb");
    if (!stream) {
        file->state_ = WaveFileState::CannotOpen;
        return file;
    }
    file->Create(StdioWaveFileIo(stream), sampleRateHz, bitsPerSample, channels, formatTag);
    return file;
}

std::unique_ptr<WaveFile> WaveFile::CreateForWriting(const WaveFileIo& io, uint32_t sampleRateHz,
                                                     uint16_t bitsPerSample, uint16_t channels,
                                                     uint16_t formatTag) {
    auto file = std::make_unique<WaveFile>();
    file->Create(io, sampleRateHz, bitsPerSample, channels, formatTag);
    return file;
}

std::unique_ptr<WaveFile> WaveFile::OpenForAppending(const std::string& path) {
    return OpenPath(path, OpenMode::Appending);
}

std::unique_ptr<WaveFile> WaveFile::OpenForReading(const std::string& path) {
    return OpenPath(path, OpenMode::Reading);
}

std::unique_ptr<WaveFile> WaveFile::OpenForAppending(const WaveFileIo& io) {
    auto file = std::make_unique<WaveFile>();
    file->Open(io, OpenMode::Appending);
    return file;
}

std::unique_ptr<WaveFile> WaveFile::OpenForReading(const WaveFileIo& io) {
    auto file = std::make_unique<WaveFile>();
    file->Open(io, OpenMode::Reading);
    return file;
}

std::unique_ptr<WaveFile> WaveFile::OpenPath(const std::string& path, OpenMode mode) {
    auto file = std::make_unique<WaveFile>();
    FILE* stream = OpenFile(path, mode == OpenMode::Reading ? "rb" : "r+b");
    if (!stream) {
        file->state_ = WaveFileState::CannotOpen;
        return file;
    }
    if (mode == OpenMode::Reading) {
        // Reads come a block (a few kilobytes) at a time; the C library's default buffer
        // would turn each into a system call, which costs the analyser more than decoding.
        // The buffer is the file's own (some C libraries ignore the size of one they make),
        // and it outlives the stream: the stream is closed before the members go.
        file->streamBuffer_.reset(new (std::nothrow) char[kStreamBufferBytes]);
        if (file->streamBuffer_) {
            std::setvbuf(stream, file->streamBuffer_.get(), _IOFBF, kStreamBufferBytes);
        }
    }
    file->Open(StdioWaveFileIo(stream), mode);
    return file;
}

void WaveFile::Open(const WaveFileIo& io, OpenMode mode) {
    std::lock_guard<std::mutex> lock(mutex_);
    io_ = io;
    hasStream_ = true;
    if (!io.IsUsable() || (mode == OpenMode::Appending && !io.write)) {
        Fail(WaveFileState::CannotOpen);
        return;
    }
    const WaveFileState result = Parse(mode);
    if (result == WaveFileState::Reading || result == WaveFileState::Appending) {
        state_ = result;
    } else {
        Fail(result);
    }
}

void WaveFile::Create(const WaveFileIo& io, uint32_t sampleRateHz, uint16_t bitsPerSample,
                      uint16_t channels, uint16_t formatTag) {
    std::lock_guard<std::mutex> lock(mutex_);
    io_ = io;
    hasStream_ = true;
    formatTag_ = formatTag;
    channels_ = channels;
    sampleRateHz_ = sampleRateHz;
    bitsPerSample_ = bitsPerSample;
    averageBytesPerSecond_ = 0;
    blockAlign_ = 0;
    if (!io.IsUsable() || !io.write) {
        Fail(WaveFileState::CannotOpen);
        return;
    }
    const WaveFileState validity = ValidateFormat();
    if (validity != WaveFileState::Writing) {
        Fail(validity);
        return;
    }
    uint8_t header[kHeaderBytes];
    memcpy(header, "RIFF", 4);
    PutLe32(header + 4, 0);
    memcpy(header + 8, "WAVE", 4);
    memcpy(header + 12, "fmt ", 4);
    PutLe32(header + 16, 16);
    PutLe16(header + 20, formatTag_);
    PutLe16(header + 22, channels_);
    PutLe32(header + 24, sampleRateHz_);
    PutLe32(header + 28, averageBytesPerSecond_);
    PutLe16(header + 32, blockAlign_);
    PutLe16(header + 34, bitsPerSample_);
    memcpy(header + 36, "data", 4);
    PutLe32(header + 40, 0);
    if (io_.write(io_.userData, header, sizeof(header)) != sizeof(header)) {
        Fail(WaveFileState::WriteFailed);
        return;
    }
    byteCount_ = kHeaderBytes;
    frameCount_ = 0;
    riffSizePosition_ = 4;
    dataSizePosition_ = 40;
    dataStart_ = kHeaderBytes;
    state_ = WaveFileState::Writing;
}

// Returns Writing when the format is usable (fields completed and made consistent), else the
// failure state.
WaveFileState WaveFile::ValidateFormat() {
    if (formatTag_ != kFormatPcm && formatTag_ != kFormatALaw && formatTag_ != kFormatMuLaw) {
        return WaveFileState::UnsupportedFormat;
    }
    if (channels_ == 0) {
        channels_ = 1;
    }
    if (sampleRateHz_ == 0) {
        sampleRateHz_ = kDefaultSampleRateHz;
    }
    if (bitsPerSample_ != 0) {
        if (formatTag_ == kFormatPcm) {
            if (bitsPerSample_ != 8 && bitsPerSample_ != 16) {
                return WaveFileState::UnsupportedFormat;
            }
        } else if (bitsPerSample_ != 8) {
            return WaveFileState::CompandedNot8Bit;
        }
    } else {
        bitsPerSample_ = formatTag_ == kFormatPcm ? 16 : 8;
    }
    // Many channels at a high rate overflow the 16-bit block align or the 32-bit byte rate;
    // such a header cannot describe its own data.
    const uint64_t blockAlign = static_cast<uint64_t>(bitsPerSample_) * channels_ / 8;
    const uint64_t averageBytes =
        static_cast<uint64_t>(bitsPerSample_) * channels_ * sampleRateHz_ / 8;
    if (blockAlign > UINT16_MAX || averageBytes > UINT32_MAX) {
        return WaveFileState::UnsupportedFormat;
    }
    if (averageBytesPerSecond_ == 0) {
        averageBytesPerSecond_ = static_cast<uint32_t>(averageBytes);
    }
    if (blockAlign_ == 0) {
        blockAlign_ = static_cast<uint16_t>(blockAlign);
    }
    if (averageBytesPerSecond_ != averageBytes || blockAlign_ != blockAlign) {
        averageBytesPerSecond_ = static_cast<uint32_t>(averageBytes);
        blockAlign_ = static_cast<uint16_t>(blockAlign);
    }
    return WaveFileState::Writing;
}

WaveFileState WaveFile::Parse(OpenMode mode) {
    void* const user = io_.userData;
    auto readExact = [&](void* buffer, size_t byteCount) {
        return io_.read(user, buffer, byteCount) == byteCount;
    };

    uint8_t chunk[8];
    if (!readExact(chunk, 8)) {
        return WaveFileState::ReadFailed;
    }
    if (!IdIs(chunk, "RIFF")) {
        return WaveFileState::NotRiff;
    }
    // The length comes from the file itself: the RIFF size field is often wrong in files
    // that were cut short or written by a program that died.
    const int64_t fileLength = io_.length(user);
    const int64_t afterHeader = io_.tell(user);
    if (fileLength < 0 || fileLength > kMaxFileBytes || afterHeader != 8) {
        return WaveFileState::ReadFailed;
    }
    riffSizePosition_ = static_cast<int32_t>(afterHeader - 4);
    if (fileLength == 8) {
        return WaveFileState::NotWave;
    }
    uint8_t form[4];
    if (!readExact(form, 4)) {
        return WaveFileState::ReadFailed;
    }
    if (!IdIs(form, "WAVE")) {
        return WaveFileState::NotWave;
    }
    int64_t remaining = fileLength - 12;
    // RIFF pads a chunk of odd size with one zero byte. Writers that forget the pad put the
    // next chunk id there instead, and ids never start with a zero byte, so the byte itself
    // tells which kind of file this is.
    auto skipPadByte = [&](uint32_t size) {
        if ((size & 1) == 0 || remaining <= 0) {
            return true;
        }
        uint8_t pad;
        if (!readExact(&pad, 1)) {
            return false;
        }
        if (pad == 0) {
            remaining -= 1;
            return true;
        }
        return io_.seek(user, -1, SEEK_CUR);
    };

    // Every pass consumes at least the 8 header bytes of `remaining`, so both searches end.
    bool haveFormat = false;
    while (remaining > 0) {
        if (!readExact(chunk, 8)) {
            return WaveFileState::ReadFailed;
        }
        remaining -= 8;
        const uint32_t size = GetLe32(chunk + 4);
        if (remaining < static_cast<int64_t>(size)) {
            return WaveFileState::ChunkTooLong;
        }
        if (IdIs(chunk, "fmt ")) {
            // Fields are taken in file order while the chunk still holds their whole width;
            // a 14-byte chunk (no bits field) leaves the bits to validation.
            uint8_t fields[16] = {};
            const size_t fieldBytes = size < sizeof(fields) ? size : sizeof(fields);
            if (!readExact(fields, fieldBytes)) {
                return WaveFileState::ReadFailed;
            }
            formatTag_ = fieldBytes >= 2 ? GetLe16(fields) : 0;
            channels_ = fieldBytes >= 4 ? GetLe16(fields + 2) : 0;
            sampleRateHz_ = fieldBytes >= 8 ? GetLe32(fields + 4) : 0;
            averageBytesPerSecond_ = fieldBytes >= 12 ? GetLe32(fields + 8) : 0;
            blockAlign_ = fieldBytes >= 14 ? GetLe16(fields + 12) : 0;
            bitsPerSample_ = fieldBytes >= 16 ? GetLe16(fields + 14) : 0;
            if (size > fieldBytes &&
                !io_.seek(user, static_cast<int64_t>(size - fieldBytes), SEEK_CUR)) {
                return WaveFileState::ReadFailed;
            }
            remaining -= size;
            if (!skipPadByte(size)) {
                return WaveFileState::ReadFailed;
            }
            const WaveFileState validity = ValidateFormat();
            if (validity != WaveFileState::Writing) {
                return validity;
            }
            // A damaged rate field would make the analysis build frames of millions of
            // samples; no sound card records outside this range.
            if (sampleRateHz_ < kMinSampleRateHz || sampleRateHz_ > kMaxSampleRateHz) {
                return WaveFileState::UnsupportedSampleRate;
            }
            haveFormat = true;
            break;
        }
        // Anything else, a "data" chunk before "fmt " included, is skipped by its size.
        if (!io_.seek(user, size, SEEK_CUR)) {
            return WaveFileState::ReadFailed;
        }
        remaining -= size;
        if (!skipPadByte(size)) {
            return WaveFileState::ReadFailed;
        }
    }
    if (!haveFormat) {
        return WaveFileState::NoFormatChunk;
    }

    while (remaining > 0) {
        if (!readExact(chunk, 8)) {
            return WaveFileState::ReadFailed;
        }
        remaining -= 8;
        const uint32_t size = GetLe32(chunk + 4);
        if (IdIs(chunk, "data")) {
            // A data chunk that claims more than the file holds (a recording cut short) keeps
            // the whole frames that are there.
            int64_t available = remaining < static_cast<int64_t>(size) ? remaining : size;
            if (available < 0) {
                available = 0;
            }
            frameCount_ = static_cast<int32_t>(available / blockAlign_);
            const int64_t position = io_.tell(user);
            if (position < 4 || position > kMaxFileBytes) {
                return WaveFileState::ReadFailed;
            }
            dataSizePosition_ = static_cast<int32_t>(position - 4);
            dataStart_ = static_cast<int32_t>(position);
            if (mode == OpenMode::Reading) {
                byteCount_ = static_cast<int32_t>(fileLength);
                return WaveFileState::Reading;
            }
            if (available < remaining) {
                const WaveFileState kept = LoadTrailingBytes(position + available, fileLength);
                if (kept != WaveFileState::Appending) {
                    return kept;
                }
            }
            // New samples go right after the last whole frame; a partial frame at the end is
            // overwritten so the data stays aligned.
            if (!io_.seek(user, DataEnd(), SEEK_SET)) {
                return WaveFileState::ReadFailed;
            }
            byteCount_ = static_cast<int32_t>(DataEnd() + TrailingExtent());
            return WaveFileState::Appending;
        }
        if (remaining < static_cast<int64_t>(size)) {
            return WaveFileState::NoDataChunk;
        }
        if (!io_.seek(user, size, SEEK_CUR)) {
            return WaveFileState::ReadFailed;
        }
        remaining -= size;
        if (!skipPadByte(size)) {
            return WaveFileState::ReadFailed;
        }
    }
    return WaveFileState::NoDataChunk;
}

// Keeps the chunks that follow the data chunk of a file opened for appending, so that
// recording onto its end does not overwrite them.
WaveFileState WaveFile::LoadTrailingBytes(int64_t trailingStart, int64_t fileLength) {
    int64_t count = fileLength - trailingStart;
    if (count <= 0) {
        return WaveFileState::Appending;
    }
    trailing_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(count)]);
    if (!trailing_ || !io_.seek(io_.userData, trailingStart, SEEK_SET) ||
        io_.read(io_.userData, trailing_.get(), static_cast<size_t>(count)) !=
            static_cast<size_t>(count)) {
        trailing_.reset();
        return WaveFileState::ReadFailed;
    }
    // An odd-sized data chunk is followed by a zero pad byte; chunk ids never start with 0.
    // The pad is dropped here and written again when the new sample bytes are odd.
    size_t skip = 0;
    if (((trailingStart - dataStart_) & 1) != 0 && trailing_[0] == 0) {
        skip = 1;
    }
    trailingBytes_ = static_cast<size_t>(count) - skip;
    if (skip != 0) {
        memmove(trailing_.get(), trailing_.get() + 1, trailingBytes_);
    }
    if (trailingBytes_ == 0) {
        trailing_.reset();
    }
    return WaveFileState::Appending;
}

int64_t WaveFile::DataBytes() const {
    return static_cast<int64_t>(bitsPerSample_) * channels_ * frameCount_ / 8;
}

int64_t WaveFile::TrailingExtent() const {
    if (trailingBytes_ == 0) {
        return 0;
    }
    return static_cast<int64_t>(trailingBytes_) + (DataBytes() & 1);
}

int32_t WaveFile::WriteMono(const int16_t* samples, int32_t frameCount) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != WaveFileState::Writing && state_ != WaveFileState::Appending) {
        return -1;
    }
    if (!samples || frameCount < 0) {
        return -1;
    }
    std::unique_ptr<const int16_t*[]> channelSamples(new (std::nothrow) const int16_t*[channels_]);
    if (!channelSamples) {
        return -1;
    }
    for (uint16_t c = 0; c < channels_; ++c) {
        channelSamples[c] = samples;
    }
    const int32_t items = WriteChannelsLocked(channelSamples.get(), frameCount);
    return items < 0 ? -1 : items / channels_;
}

int32_t WaveFile::WriteChannels(const int16_t* const* channelSamples, int32_t framesPerChannel) {
    std::lock_guard<std::mutex> lock(mutex_);
    return WriteChannelsLocked(channelSamples, framesPerChannel);
}

int32_t WaveFile::WriteChannelsLocked(const int16_t* const* channelSamples,
                                      int32_t framesPerChannel) {
    if (state_ != WaveFileState::Writing && state_ != WaveFileState::Appending) {
        return -1;
    }
    if (!channelSamples || framesPerChannel < 0) {
        return -1;
    }
    for (uint16_t c = 0; c < channels_; ++c) {
        if (!channelSamples[c]) {
            return -1;
        }
    }
    if (framesPerChannel == 0) {
        return 0;
    }
    const int64_t items = static_cast<int64_t>(framesPerChannel) * channels_;
    const int64_t bytes = static_cast<int64_t>(framesPerChannel) * blockAlign_;
    // The header's 32-bit fields must still describe the file after the write.
    if (items > INT32_MAX ||
        DataEnd() + bytes + static_cast<int64_t>(trailingBytes_) + 1 > kMaxFileBytes ||
        static_cast<int64_t>(frameCount_) + framesPerChannel > INT32_MAX) {
        return -1;
    }
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[static_cast<size_t>(bytes)]);
    if (!buffer) {
        return -1;
    }
    uint8_t* out = buffer.get();
    for (int64_t i = 0; i < items; ++i) {
        const int16_t sample = channelSamples[i % channels_][i / channels_];
        if (bitsPerSample_ == 16) {
            PutLe16(out, static_cast<uint16_t>(sample));
            out += 2;
        } else if (formatTag_ == kFormatMuLaw) {
            *out++ = LinearToMuLaw(sample);
        } else if (formatTag_ == kFormatALaw) {
            *out++ = LinearToALaw(sample);
        } else {
            // 8-bit PCM is unsigned: the high byte offset by 128.
            *out++ = static_cast<uint8_t>((sample + 32768) >> 8);
        }
    }
    const size_t written = io_.write(io_.userData, buffer.get(), static_cast<size_t>(bytes));
    if (written != static_cast<size_t>(bytes)) {
        // Keep what reached the disk readable: count the whole frames that were written and
        // finish the header before giving the file up.
        const int32_t wholeFrames = static_cast<int32_t>(written / blockAlign_);
        frameCount_ += wholeFrames;
        byteCount_ = static_cast<int32_t>(DataEnd() + TrailingExtent());
        if (UpdateHeaderLocked()) {
            Fail(WaveFileState::WriteFailed);
        }
        return -1;
    }
    frameCount_ += framesPerChannel;
    // Kept chunks (and their pad byte) stay part of the file behind the samples.
    byteCount_ = static_cast<int32_t>(DataEnd() + TrailingExtent());
    return static_cast<int32_t>(items);
}

int32_t WaveFile::ReadMono(int16_t* samples, int32_t framesWanted) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != WaveFileState::Reading) {
        return -1;
    }
    if (!samples || framesWanted < 0) {
        return -1;
    }
    if (channels_ == 1) {
        return ReadChannelsLocked(&samples, framesWanted);
    }
    // Never more frames than the file holds, so the temporary arrays stay bounded by the
    // file's size whatever the caller asks for.
    const int32_t frames = framesWanted < frameCount_ ? framesWanted : frameCount_;
    if (frames < 1) {
        return 0;
    }
    const size_t sampleCount = static_cast<size_t>(frames) * channels_;
    std::unique_ptr<int16_t[]> work(new (std::nothrow) int16_t[sampleCount]);
    std::unique_ptr<int16_t*[]> channelSamples(new (std::nothrow) int16_t*[channels_]);
    if (!work || !channelSamples) {
        return -1;
    }
    for (uint16_t c = 0; c < channels_; ++c) {
        channelSamples[c] = work.get() + static_cast<size_t>(c) * frames;
    }
    const int32_t items = ReadChannelsLocked(channelSamples.get(), frames);
    if (items <= 0) {
        return items;
    }
    const int32_t framesRead = items / channels_;
    for (int32_t f = 0; f < framesRead; ++f) {
        double sum = 0.0;
        for (uint16_t c = 0; c < channels_; ++c) {
            sum += channelSamples[c][f];
        }
        samples[f] = static_cast<int16_t>(sum / channels_);  // truncates toward zero
    }
    return framesRead;
}

int32_t WaveFile::ReadChannels(int16_t* const* channelSamples, int32_t framesWanted) {
    std::lock_guard<std::mutex> lock(mutex_);
    return ReadChannelsLocked(channelSamples, framesWanted);
}

int32_t WaveFile::ReadChannelsLocked(int16_t* const* channelSamples, int32_t framesWanted) {
    if (state_ != WaveFileState::Reading) {
        return -1;
    }
    if (bitsPerSample_ != 8 && bitsPerSample_ != 16) {
        return -1;
    }
    if (!channelSamples || framesWanted < 0) {
        return -1;
    }
    for (uint16_t c = 0; c < channels_; ++c) {
        if (!channelSamples[c]) {
            return -1;
        }
    }
    const int64_t position = io_.tell(io_.userData);
    if (position < 0) {
        Fail(WaveFileState::ReadFailed);
        return -1;
    }
    const int64_t offset = position - dataStart_;
    const int64_t framesLeft = offset < 0 ? 0 : frameCount_ - offset / blockAlign_;
    int64_t frames = framesWanted < framesLeft ? framesWanted : framesLeft;
    if (frames > INT32_MAX / channels_) {
        frames = INT32_MAX / channels_;  // the item count must fit the result
    }
    if (frames < 1) {
        return 0;
    }
    const size_t bytes = static_cast<size_t>(frames) * blockAlign_;
    // The byte buffer is kept between reads: a replay reads a block at a time.
    if (readBufferBytes_ < bytes) {
        readBuffer_.reset(new (std::nothrow) uint8_t[bytes]);
        readBufferBytes_ = readBuffer_ ? bytes : 0;
        if (!readBuffer_) {
            return -1;
        }
    }
    uint8_t* const buffer = readBuffer_.get();
    const size_t got = io_.read(io_.userData, buffer, bytes);
    const size_t partial = got % blockAlign_;
    if (partial != 0) {
        // A file cut short under us: step back so the next read starts on a frame.
        io_.seek(io_.userData, -static_cast<int64_t>(partial), SEEK_CUR);
    }
    // The samples stand one after the other, channel by channel within a frame: each channel
    // is decoded in one pass with its own stride, with no format test or division per sample
    // (this loop is a tenth of the analyser's time otherwise).
    const int64_t framesRead = static_cast<int64_t>(got / blockAlign_);
    const size_t sampleBytes = bitsPerSample_ / 8u;
    const size_t stride = sampleBytes * channels_;
    for (uint16_t c = 0; c < channels_; ++c) {
        const uint8_t* in = buffer + c * sampleBytes;
        int16_t* out = channelSamples[c];
        if (bitsPerSample_ == 16) {
            for (int64_t f = 0; f < framesRead; ++f, in += stride) {
                out[f] = static_cast<int16_t>(GetLe16(in));
            }
        } else if (formatTag_ == kFormatMuLaw) {
            for (int64_t f = 0; f < framesRead; ++f, in += stride) {
                out[f] = MuLawToLinear(*in);
            }
        } else if (formatTag_ == kFormatALaw) {
            for (int64_t f = 0; f < framesRead; ++f, in += stride) {
                out[f] = ALawToLinear(*in);
            }
        } else {
            for (int64_t f = 0; f < framesRead; ++f, in += stride) {
                out[f] = static_cast<int16_t>((*in - 128) * 256);
            }
        }
    }
    return static_cast<int32_t>(framesRead * channels_);
}

bool WaveFile::Seek(int32_t frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != WaveFileState::Reading || frame < 0 || frame >= frameCount_) {
        return false;
    }
    const int64_t target = dataStart_ + static_cast<int64_t>(blockAlign_) * frame;
    if (!io_.seek(io_.userData, target, SEEK_SET)) {
        Fail(WaveFileState::SeekFailed);
        return false;
    }
    return true;
}

bool WaveFile::UpdateHeader() {
    std::lock_guard<std::mutex> lock(mutex_);
    return UpdateHeaderLocked();
}

bool WaveFile::UpdateHeaderLocked() {
    if (state_ != WaveFileState::Writing && state_ != WaveFileState::Appending) {
        return false;
    }
    void* const user = io_.userData;
    auto writeExact = [&](const void* data, size_t byteCount) {
        return io_.write(user, data, byteCount) == byteCount;
    };
    uint8_t riffSize[4];
    uint8_t dataSize[4];
    PutLe32(riffSize, static_cast<uint32_t>(byteCount_ - 8));
    PutLe32(dataSize, static_cast<uint32_t>(DataBytes()));
    bool ok = io_.seek(user, riffSizePosition_, SEEK_SET) && writeExact(riffSize, 4) &&
              io_.seek(user, dataSizePosition_, SEEK_SET) && writeExact(dataSize, 4);
    if (ok && trailingBytes_ != 0) {
        const uint8_t pad = 0;
        ok = io_.seek(user, DataEnd(), SEEK_SET) &&
             ((DataBytes() & 1) == 0 || writeExact(&pad, 1)) &&
             writeExact(trailing_.get(), trailingBytes_);
    }
    ok = ok && io_.seek(user, DataEnd(), SEEK_SET) && (!io_.flush || io_.flush(user));
    if (!ok) {
        Fail(WaveFileState::WriteFailed);
    }
    return ok;
}

void WaveFile::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    CloseLocked();
}

void WaveFile::CloseLocked() {
    if (state_ == WaveFileState::Reading) {
        ReleaseStream();
        state_ = WaveFileState::Closed;
    } else if (state_ == WaveFileState::Writing || state_ == WaveFileState::Appending) {
        if (UpdateHeaderLocked()) {
            ReleaseStream();
            state_ = WaveFileState::Closed;
        }
    }
}

void WaveFile::ReleaseStream() {
    if (hasStream_ && io_.close) {
        io_.close(io_.userData);
    }
    hasStream_ = false;
    io_ = WaveFileIo();
}

void WaveFile::Fail(WaveFileState state) {
    ReleaseStream();
    state_ = state;
}

WaveFileState WaveFile::State() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

bool WaveFile::HasStream() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return hasStream_;
}

#define MELVORA_WAVE_FIELD(type, name, member)    \
    type WaveFile::name() const {                 \
        std::lock_guard<std::mutex> lock(mutex_); \
        return member;                            \
    }
MELVORA_WAVE_FIELD(int32_t, ByteCount, byteCount_)
MELVORA_WAVE_FIELD(int32_t, FrameCount, frameCount_)
MELVORA_WAVE_FIELD(uint16_t, FormatTag, formatTag_)
MELVORA_WAVE_FIELD(uint16_t, Channels, channels_)
MELVORA_WAVE_FIELD(uint32_t, SampleRateHz, sampleRateHz_)
MELVORA_WAVE_FIELD(uint32_t, AverageBytesPerSecond, averageBytesPerSecond_)
MELVORA_WAVE_FIELD(uint16_t, BlockAlign, blockAlign_)
MELVORA_WAVE_FIELD(uint16_t, BitsPerSample, bitsPerSample_)
MELVORA_WAVE_FIELD(int32_t, RiffSizePosition, riffSizePosition_)
MELVORA_WAVE_FIELD(int32_t, DataSizePosition, dataSizePosition_)
MELVORA_WAVE_FIELD(int32_t, DataStart, dataStart_)
#undef MELVORA_WAVE_FIELD

}  // namespace melvora
