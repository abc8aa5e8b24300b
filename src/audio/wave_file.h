#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "audio/wave_file_io.h"

namespace melvora {

// What a WaveFile last did. Callers compare the state after creating the object: writer
// Writing, appender Appending, reader Reading; any other value means the object holds no
// stream and should be discarded.
enum class WaveFileState : int32_t {
    NotOpened = 0,
    Reading = 1,
    Writing = 2,
    Appending = 3,
    CannotOpen = 4,              // the file could not be opened
    NotRiff = 5,                 // the first chunk is not "RIFF"
    NotWave = 6,                 // the form type is not "WAVE", or nothing follows the RIFF header
    NoFormatChunk = 7,           // no "fmt " chunk before the end of the file
    UnsupportedFormat = 8,       // tag other than 1, 6, 7; PCM bits other than 8, 16; sizes too big
    CompandedNot8Bit = 9,        // tag 6 or 7 with bits other than 8
    NoDataChunk = 10,            // no "data" chunk after the "fmt " chunk
    ChunkTooLong = 11,           // a chunk claims more bytes than the file has left
    ReadFailed = 12,             // a read or a skip failed (also: a file beyond 2 GiB)
    WriteFailed = 13,            // a write or a header update failed; the stream is closed
    SeekFailed = 14,             // a seek failed during reading; the stream is closed
    Closed = 15,                 // final
    UnsupportedSampleRate = 16,  // an existing file's rate lies outside 1000..384000 Hz
};

// RIFF/WAVE reader, writer and appender. The caller works in signed 16-bit samples; the file
// holds 8- or 16-bit PCM, or 8-bit G.711 mu-law or A-law, with any number of channels.
// Failures never throw: every operation leaves a WaveFileState.
//
// Reading finds "fmt " and then "data" by walking the chunks by their declared sizes (a zero
// pad byte after an odd-sized chunk is skipped); the file's real length, not the RIFF size
// field, bounds the walk, and a data chunk claiming more than the file holds keeps the whole
// frames that are there. Files beyond 2 GiB - 1 bytes are refused (the fields are 32-bit).
//
// Paths are UTF-8 (on Windows they are opened with the wide API).
//
// Threads: one thread at a time, except that one thread may Seek while another reads; each
// operation runs under the object's own lock, so a read uses the position it finds when it
// starts.
class WaveFile {
  public:
    static constexpr uint16_t kFormatPcm = 1;
    static constexpr uint16_t kFormatALaw = 6;
    static constexpr uint16_t kFormatMuLaw = 7;
    static constexpr int32_t kHeaderBytes = 44;
    static constexpr uint32_t kDefaultSampleRateHz = 16000;
    // Rates an existing file may have (after a rate of 0 has become the default).
    static constexpr uint32_t kMinSampleRateHz = 1000;
    static constexpr uint32_t kMaxSampleRateHz = 384000;

    // An object that was never opened (state NotOpened).
    WaveFile();
    // Closes first (see Close).
    virtual ~WaveFile();
    WaveFile(const WaveFile&) = delete;
    WaveFile& operator=(const WaveFile&) = delete;

    // A new file with the 44-byte header: state Writing on success. Zero channels become 1,
    // rate 0 becomes 16000, bits 0 the format's natural size (16 PCM, 8 G.711). The file is
    // not created when the format is refused (UnsupportedFormat, CompandedNot8Bit).
    [[nodiscard]] static std::unique_ptr<WaveFile> CreateForWriting(const std::string& path,
                                                                    uint32_t sampleRateHz,
                                                                    uint16_t bitsPerSample,
                                                                    uint16_t channels,
                                                                    uint16_t formatTag);
    // An existing file, positioned after its last whole frame so writes extend the samples:
    // state Appending. Chunks after the samples are kept and moved behind the new samples at
    // every header update.
    [[nodiscard]] static std::unique_ptr<WaveFile> OpenForAppending(const std::string& path);
    // An existing file, positioned at its first sample: state Reading.
    [[nodiscard]] static std::unique_ptr<WaveFile> OpenForReading(const std::string& path);

    // The same three over caller-supplied callbacks (memory buffers, tests, fuzzing). The
    // object calls io.close when it lets go of the source.
    [[nodiscard]] static std::unique_ptr<WaveFile> CreateForWriting(const WaveFileIo& io,
                                                                    uint32_t sampleRateHz,
                                                                    uint16_t bitsPerSample,
                                                                    uint16_t channels,
                                                                    uint16_t formatTag);
    [[nodiscard]] static std::unique_ptr<WaveFile> OpenForAppending(const WaveFileIo& io);
    [[nodiscard]] static std::unique_ptr<WaveFile> OpenForReading(const WaveFileIo& io);

    // Writes frameCount mono samples; with several channels every channel gets the block.
    // Returns the frames written, or -1 (not Writing/Appending, a write failed, or the file
    // would pass 2 GiB - 1 bytes; in the last case nothing is written and the state stays).
    [[nodiscard]] int32_t WriteMono(const int16_t* samples, int32_t frameCount);
    // Writes framesPerChannel frames from one array per channel (channelSamples[c]).
    // Returns the items written (samples over all channels), or -1 as for WriteMono.
    [[nodiscard]] int32_t WriteChannels(const int16_t* const* channelSamples,
                                        int32_t framesPerChannel);

    // Reads up to framesWanted frames into samples; several channels are mixed to their mean
    // (truncated toward zero). Returns the frames read, 0 at the end of the data, -1 when not
    // Reading.
    [[nodiscard]] int32_t ReadMono(int16_t* samples, int32_t framesWanted);
    // Reads up to framesWanted frames into one array per channel. Returns the items read
    // (samples over all channels), 0 at the end of the data, -1 when not Reading.
    [[nodiscard]] int32_t ReadChannels(int16_t* const* channelSamples, int32_t framesWanted);

    // Positions the reader at `frame` (0 <= frame < FrameCount(), Reading only); false and no
    // change otherwise. A failing seek closes the stream (SeekFailed).
    [[nodiscard]] bool Seek(int32_t frame);

    // Writes the RIFF and data sizes so the file on disk is complete, then returns to where
    // the next sample goes. Writing/Appending only. Failure: WriteFailed, stream closed.
    [[nodiscard]] bool UpdateHeader();

    // Reading: closes. Writing/Appending: updates the header and closes (on a failed update
    // the state is WriteFailed). State Closed. Other states: nothing.
    void Close();

    WaveFileState State() const;
    bool HasStream() const;
    // Writer: bytes written, header included. Reader and appender: the file's length at open
    // (plus bytes appended).
    int32_t ByteCount() const;
    // Frames in the data chunk (one sample per channel each); grows with every write.
    int32_t FrameCount() const;
    uint16_t FormatTag() const;
    uint16_t Channels() const;
    uint32_t SampleRateHz() const;
    uint32_t AverageBytesPerSecond() const;
    uint16_t BlockAlign() const;  // bytes per frame
    uint16_t BitsPerSample() const;
    int32_t RiffSizePosition() const;
    int32_t DataSizePosition() const;
    int32_t DataStart() const;  // file offset of the first sample byte

  private:
    enum class OpenMode { Reading, Appending };
    static constexpr size_t kStreamBufferBytes = 64 * 1024;

    static std::unique_ptr<WaveFile> OpenPath(const std::string& path, OpenMode mode);
    void Open(const WaveFileIo& io, OpenMode mode);
    void Create(const WaveFileIo& io, uint32_t sampleRateHz, uint16_t bitsPerSample,
                uint16_t channels, uint16_t formatTag);
    WaveFileState Parse(OpenMode mode);
    WaveFileState LoadTrailingBytes(int64_t dataEnd, int64_t fileLength);
    WaveFileState ValidateFormat();
    [[nodiscard]] int32_t WriteChannelsLocked(const int16_t* const* channelSamples,
                                              int32_t framesPerChannel);
    [[nodiscard]] int32_t ReadChannelsLocked(int16_t* const* channelSamples, int32_t framesWanted);
    [[nodiscard]] bool UpdateHeaderLocked();
    void CloseLocked();
    void ReleaseStream();
    void Fail(WaveFileState state);
    int64_t DataBytes() const;
    int64_t DataEnd() const { return static_cast<int64_t>(dataStart_) + DataBytes(); }
    int64_t TrailingExtent() const;

    mutable std::mutex mutex_;
    std::unique_ptr<char[]> streamBuffer_;   // the reading stream's buffer
    std::unique_ptr<uint8_t[]> readBuffer_;  // kept between reads
    size_t readBufferBytes_ = 0;
    WaveFileState state_ = WaveFileState::NotOpened;
    WaveFileIo io_;
    bool hasStream_ = false;
    int32_t byteCount_ = 0;
    int32_t frameCount_ = 0;
    uint16_t formatTag_ = 0;
    uint16_t channels_ = 0;
    uint32_t sampleRateHz_ = 0;
    uint32_t averageBytesPerSecond_ = 0;
    uint16_t blockAlign_ = 0;
    uint16_t bitsPerSample_ = 0;
    int32_t riffSizePosition_ = 0;
    int32_t dataSizePosition_ = 0;
    int32_t dataStart_ = 0;
    // Chunks that followed the samples in an appended file, rewritten after them at every
    // header update (with a pad byte when the sample bytes are odd).
    std::unique_ptr<uint8_t[]> trailing_;
    size_t trailingBytes_ = 0;
};

}  // namespace melvora
