#pragma once

// Helpers for the WAV tests: crafting RIFF bytes by hand, and temporary files.

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/temp_folder.h"
#include "audio/g711.h"
#include "audio/wave_file.h"
#include "audio/wave_file_memory_stream.h"

namespace melvora {
namespace testutil {

using Bytes = std::vector<uint8_t>;

inline Bytes Text(const char* text) {
    return Bytes(text, text + strlen(text));
}
inline Bytes Le(uint32_t v, int byteCount) {
    Bytes out;
    for (int i = 0; i < byteCount; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    return out;
}
inline uint32_t Le32At(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// One chunk: id, declared size (may lie), then the body bytes as given.
inline Bytes Chunk(const char* id, uint32_t declaredSize, const Bytes& body) {
    return Join({Text(id), Le(declaredSize, 4), body});
}
inline Bytes Chunk(const char* id, const Bytes& body) {
    return Chunk(id, static_cast<uint32_t>(body.size()), body);
}

// A fmt chunk body with the six fields (16 bytes).
inline Bytes FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t averageBytes,
                     uint16_t blockAlign, uint16_t bits) {
    return Join({Le(tag, 2), Le(channels, 2), Le(rate, 4), Le(averageBytes, 4), Le(blockAlign, 2),
                 Le(bits, 2)});
}
// A consistent fmt body.
inline Bytes FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    return FmtBody(tag, channels, rate, rate * channels * bits / 8,
                   static_cast<uint16_t>(channels * bits / 8), bits);
}

// "RIFF" <true size> "WAVE" followed by `chunks`.
inline Bytes RiffWave(const Bytes& chunks) {
    return Join(
        {Text("RIFF"), Le(static_cast<uint32_t>(chunks.size() + 4), 4), Text("WAVE"), chunks});
}

inline Bytes Pcm16(const std::vector<int16_t>& samples) {
    Bytes b;
    for (int16_t s : samples) {
        b.push_back(static_cast<uint8_t>(s));
        b.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
    }
    return b;
}

inline std::vector<int16_t> Ramp(int count, int start, int step) {
    std::vector<int16_t> out(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        out[static_cast<size_t>(i)] = static_cast<int16_t>(start + i * step);
    }
    return out;
}

// What the file format keeps of a sample: exact for 16 bits, the high byte for 8-bit PCM,
// the codec's own rounding for G.711.
inline int16_t Stored(int16_t s, uint16_t tag, uint16_t bits) {
    if (tag == WaveFile::kFormatMuLaw) {
        return MuLawToLinear(LinearToMuLaw(s));
    }
    if (tag == WaveFile::kFormatALaw) {
        return ALawToLinear(LinearToALaw(s));
    }
    return bits == 8 ? static_cast<int16_t>((((s + 32768) >> 8) - 128) * 256) : s;
}

// A fresh path in a folder of its own, removed with the folder at destruction.
class TempPath {
  public:
    explicit TempPath(const std::string& name) : path_(dir_.path() + name) {}
    const std::string& str() const { return path_; }

  private:
    testing_support::TempProgramDirectory dir_;
    std::string path_;
};

using testing_support::ReadAll;
using testing_support::WriteAll;

// A memory file whose seeks and writes can be made to fail on demand. Its callbacks keep the
// memory stream's own user data (this object), so only the hooked two are replaced.
class HookedMemory : public WaveFileMemoryStream {
  public:
    using WaveFileMemoryStream::WaveFileMemoryStream;

    bool failSeeks = false;
    // When not 0, the next write longer than 4 bytes stores only this many bytes.
    size_t shortWriteOnce = 0;

    WaveFileIo Io() {
        WaveFileIo io = inner_ = WaveFileMemoryStream::Io();
        io.write = [](void* u, const void* d, size_t n) -> size_t {
            HookedMemory* self = Self(u);
            if (self->shortWriteOnce != 0 && n > 4) {
                n = std::exchange(self->shortWriteOnce, 0);
            }
            return self->inner_.write(u, d, n);
        };
        io.seek = [](void* u, int64_t offset, int origin) {
            return !Self(u)->failSeeks && Self(u)->inner_.seek(u, offset, origin);
        };
        return io;
    }

  private:
    static HookedMemory* Self(void* u) {
        return static_cast<HookedMemory*>(static_cast<WaveFileMemoryStream*>(u));
    }

    WaveFileIo inner_;
};

}  // namespace testutil
}  // namespace melvora
