#pragma once

#include <cstdint>
#include <vector>

#include "audio/wave_file_io.h"

namespace melvora {

// A growable in-memory file for WaveFile: the fuzzer parses from it, and tests use it to
// fake what a disk cannot easily do (failing writes, huge lengths). Writes past the end
// grow the buffer, filling any gap with zero bytes, as a C stream does.
class WaveFileMemoryStream {
  public:
    WaveFileMemoryStream() = default;
    explicit WaveFileMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    // Callbacks bound to this object; it must outlive the WaveFile that uses them.
    WaveFileIo Io();

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    int64_t Position() const { return position_; }

    // Test hooks: writes fail once this many more bytes have been written (-1: never);
    // the reported length is replaced by `length` (-1: the real one).
    void SetWriteBudget(int64_t byteCount) { writeBudget_ = byteCount; }
    void SetReportedLength(int64_t length) { reportedLength_ = length; }

  private:
    static size_t Read(void* self, void* buffer, size_t byteCount);
    static size_t Write(void* self, const void* data, size_t byteCount);
    static bool Seek(void* self, int64_t offset, int origin);
    static int64_t Tell(void* self);
    static int64_t Length(void* self);

    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
    int64_t writeBudget_ = -1;
    int64_t reportedLength_ = -1;
};

}  // namespace melvora
