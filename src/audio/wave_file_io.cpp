#include "audio/wave_file_io.h"

#include <climits>

namespace melvora {
namespace {

FILE* Stream(void* userData) {
    return static_cast<FILE*>(userData);
}

size_t StdioRead(void* userData, void* buffer, size_t byteCount) {
    return fread(buffer, 1, byteCount, Stream(userData));
}

size_t StdioWrite(void* userData, const void* data, size_t byteCount) {
    return fwrite(data, 1, byteCount, Stream(userData));
}

// The C stream positions are `long`, 32 bits on Windows: offsets beyond that are refused
// rather than truncated.
bool StdioSeek(void* userData, int64_t offset, int origin) {
    if (offset > LONG_MAX || offset < LONG_MIN) {
        return false;
    }
    return fseek(Stream(userData), static_cast<long>(offset), origin) == 0;
}

int64_t StdioTell(void* userData) {
    return ftell(Stream(userData));
}

int64_t StdioLength(void* userData) {
    FILE* stream = Stream(userData);
    const long position = ftell(stream);
    if (position < 0 || fseek(stream, 0, SEEK_END) != 0) {
        return -1;
    }
    const long length = ftell(stream);
    if (fseek(stream, position, SEEK_SET) != 0) {
        return -1;
    }
    return length;
}

bool StdioFlush(void* userData) {
    return fflush(Stream(userData)) == 0;
}

void StdioClose(void* userData) {
    fclose(Stream(userData));
}

}  // namespace

WaveFileIo StdioWaveFileIo(FILE* stream) {
    return WaveFileIo{stream,    StdioRead,   StdioWrite, StdioSeek,
                      StdioTell, StdioLength, StdioFlush, StdioClose};
}

}  // namespace melvora
