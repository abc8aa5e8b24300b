#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace melvora {

class WaveFile;

// The file being replayed. The worker reads it while the window thread may seek it (Rewind,
// the slider) without pausing the worker, so each read and seek runs whole under one lock, and
// a read after a seek starts at the new place. The position is kept here, as frames from the
// first sample, so the time display never has to look into the stream.
class ReplayReader {
  public:
    // Opens `path` for reading; IsOpen() tells whether that worked.
    explicit ReplayReader(const std::string& path);
    ~ReplayReader();
    ReplayReader(const ReplayReader&) = delete;
    ReplayReader& operator=(const ReplayReader&) = delete;

    bool IsOpen() const;
    // Reads up to frameCount mono frames into samples: frames read, 0 at the end (or on any
    // failure: the transport treats both as the end of the file).
    int Read(int16_t* samples, int frameCount);
    // Moves to `frame` (0 <= frame < FrameCount()); false and no change otherwise.
    bool Seek(int frame);
    int PositionFrame() const;
    int FrameCount() const;
    int SampleRateHz() const;

  private:
    mutable std::mutex mutex_;
    std::unique_ptr<WaveFile> file_;
    int positionFrame_ = 0;
};

}  // namespace melvora
