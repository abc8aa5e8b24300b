#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace melvora {

// The byte source and sink under a WaveFile, in the manner of dr_wav's read/seek callbacks:
// the program runs it on a C stream, the fuzzer and the tests on a memory buffer, and the
// same parser reads both. Every callback gets `userData` back.
struct WaveFileIo {
    void* userData = nullptr;
    // Reads up to byteCount bytes at the current position; returns the bytes read.
    size_t (*read)(void* userData, void* buffer, size_t byteCount) = nullptr;
    // Writes byteCount bytes at the current position; returns the bytes written. May be null
    // for a read-only source (writes then fail).
    size_t (*write)(void* userData, const void* data, size_t byteCount) = nullptr;
    // Moves the position; origin is SEEK_SET, SEEK_CUR or SEEK_END. True on success.
    bool (*seek)(void* userData, int64_t offset, int origin) = nullptr;
    // The current position in bytes, or -1.
    int64_t (*tell)(void* userData) = nullptr;
    // The length of the whole file in bytes, or -1. Leaves the position where it was.
    int64_t (*length)(void* userData) = nullptr;
    // Pushes written bytes to the file, so others see a complete file. True on success.
    // May be null.
    bool (*flush)(void* userData) = nullptr;
    // Releases the source; called once when the WaveFile lets go of it. May be null.
    void (*close)(void* userData) = nullptr;

    bool IsUsable() const { return read && seek && tell && length; }
};

// Callbacks over a C stream; closing the WaveFile closes the stream with fclose.
WaveFileIo StdioWaveFileIo(FILE* stream);

}  // namespace melvora
