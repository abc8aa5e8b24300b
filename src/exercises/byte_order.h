#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Little-endian fields and zero-terminated strings of the exercise formats, read from and
// written to byte buffers whatever the host's byte order.
namespace melvora {
namespace exercise_bytes {

inline uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(ReadU32(p));
}

inline float ReadF32(const uint8_t* p) {
    const uint32_t bits = ReadU32(p);
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

inline void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

inline void AppendI32(std::vector<uint8_t>& out, int32_t value) {
    AppendU32(out, static_cast<uint32_t>(value));
}

inline void AppendF32(std::vector<uint8_t>& out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    AppendU32(out, bits);
}

inline void AppendString(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

// The zero-terminated string that starts at `offset` and ends before `limit`. Returns false
// (and leaves `text` alone) when no zero byte comes before `limit`; on success `*next` is the
// offset just after the zero byte.
inline bool ReadString(const uint8_t* data, size_t offset, size_t limit, std::string* text,
                       size_t* next) {
    if (offset >= limit) {
        return false;
    }
    const void* zero = std::memchr(data + offset, 0, limit - offset);
    if (zero == nullptr) {
        return false;
    }
    const size_t length = static_cast<size_t>(static_cast<const uint8_t*>(zero) - (data + offset));
    text->assign(reinterpret_cast<const char*>(data + offset), length);
    *next = offset + length + 1;
    return true;
}

}  // namespace exercise_bytes
}  // namespace melvora
