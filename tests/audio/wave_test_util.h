#pragma once

// Helpers for the WAV tests: crafting RIFF bytes by hand, and temporary files.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio/wave_file_io.h"
#include "audio/wave_file_memory_stream.h"

namespace melvora {
namespace testutil {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes* out, const char* text) {
    out->insert(out->end(), text, text + 4);
}
inline void Append16(Bytes* out, uint16_t v) {
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}
inline void Append32(Bytes* out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out->push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}
inline uint32_t Le32At(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
inline uint16_t Le16At(const Bytes& b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

// One chunk: id, declared size (may lie), then the body bytes as given.
inline void AppendChunk(Bytes* out, const char* id, uint32_t declaredSize, const Bytes& body) {
    Append(out, id);
    Append32(out, declaredSize);
    out->insert(out->end(), body.begin(), body.end());
}
inline void AppendChunk(Bytes* out, const char* id, const Bytes& body) {
    AppendChunk(out, id, static_cast<uint32_t>(body.size()), body);
}

// A fmt chunk body with the six fields (16 bytes).
inline Bytes FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t averageBytes,
                     uint16_t blockAlign, uint16_t bits) {
    Bytes b;
    Append16(&b, tag);
    Append16(&b, channels);
    Append32(&b, rate);
    Append32(&b, averageBytes);
    Append16(&b, blockAlign);
    Append16(&b, bits);
    return b;
}

// A consistent fmt body.
inline Bytes FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    return FmtBody(tag, channels, rate, rate * channels * bits / 8,
                   static_cast<uint16_t>(channels * bits / 8), bits);
}

// "RIFF" <size> "WAVE" followed by `chunks`; the RIFF size is the true one.
inline Bytes RiffWave(const Bytes& chunks) {
    Bytes out;
    Append(&out, "RIFF");
    Append32(&out, static_cast<uint32_t>(chunks.size() + 4));
    Append(&out, "WAVE");
    out.insert(out.end(), chunks.begin(), chunks.end());
    return out;
}

// 16-bit little-endian sample bytes.
inline Bytes Pcm16(const std::vector<int16_t>& samples) {
    Bytes b;
    for (int16_t s : samples) {
        Append16(&b, static_cast<uint16_t>(s));
    }
    return b;
}

// A simple 16-bit mono file holding `samples`.
inline Bytes Mono16File(const std::vector<int16_t>& samples, uint32_t rate = 8000) {
    Bytes chunks;
    AppendChunk(&chunks, "fmt ", FmtBody(1, 1, rate, 16));
    AppendChunk(&chunks, "data", Pcm16(samples));
    return RiffWave(chunks);
}

// A fresh path in the test temp folder, removed at destruction.
class TempPath {
  public:
    explicit TempPath(const std::string& name) {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string unique = std::string(info->test_suite_name()) + "_" + info->name() + "_" + name;
        for (char& c : unique) {
            if (c == '/') {
                c = '_';
            }
        }
        path_ = ::testing::TempDir() + "melvora_" + unique;
        std::remove(path_.c_str());
    }
    ~TempPath() { std::remove(path_.c_str()); }
    const std::string& str() const { return path_; }

  private:
    std::string path_;
};

inline Bytes ReadAll(const std::string& path) {
    Bytes out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        return out;
    }
    uint8_t buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) {
        out.insert(out.end(), buffer, buffer + n);
    }
    fclose(f);
    return out;
}

inline bool WriteAll(const std::string& path, const Bytes& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

// A memory file whose seeks and writes can be made to fail on demand.
class HookedMemory {
  public:
    explicit HookedMemory(Bytes bytes = {}) : memory_(std::move(bytes)), inner_(memory_.Io()) {}
    HookedMemory(const HookedMemory&) = delete;
    HookedMemory& operator=(const HookedMemory&) = delete;

    bool failSeeks = false;
    // When not 0, the next write longer than 4 bytes stores only this many bytes.
    size_t shortWriteOnce = 0;
    int readCalls = 0;
    int writeCalls = 0;

    const Bytes& bytes() const { return memory_.Bytes(); }

    WaveFileIo Io() {
        WaveFileIo io = inner_;
        io.userData = this;
        io.read = [](void* u, void* b, size_t n) {
            ++Self(u)->readCalls;
            return Self(u)->Inner().read(Self(u)->Inner().userData, b, n);
        };
        io.write = [](void* u, const void* d, size_t n) -> size_t {
            HookedMemory* self = Self(u);
            ++self->writeCalls;
            if (self->shortWriteOnce != 0 && n > 4) {
                n = self->shortWriteOnce;
                self->shortWriteOnce = 0;
            }
            return self->Inner().write(self->Inner().userData, d, n);
        };
        io.seek = [](void* u, int64_t offset, int origin) {
            HookedMemory* self = Self(u);
            return !self->failSeeks && self->Inner().seek(self->Inner().userData, offset, origin);
        };
        io.tell = [](void* u) { return Self(u)->Inner().tell(Self(u)->Inner().userData); };
        io.length = [](void* u) { return Self(u)->Inner().length(Self(u)->Inner().userData); };
        return io;
    }

  private:
    static HookedMemory* Self(void* u) { return static_cast<HookedMemory*>(u); }
    const WaveFileIo& Inner() const { return inner_; }

    WaveFileMemoryStream memory_;
    WaveFileIo inner_;
};

}  // namespace testutil
}  // namespace melvora
