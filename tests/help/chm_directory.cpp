#include "help/chm_directory.h"

namespace melvora {

namespace {

uint32_t Le32(const std::vector<uint8_t>& d, size_t at) {
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}

uint64_t Le64(const std::vector<uint8_t>& d, size_t at) {
    return Le32(d, at) | (static_cast<uint64_t>(Le32(d, at + 4)) << 32);
}

// The directory's variable-length integers: 7 bits per byte, most significant first, the
// high bit set on every byte but the last.
bool ReadEncInt(const std::vector<uint8_t>& d, size_t* at, size_t end, uint64_t* value) {
    *value = 0;
    for (int n = 0; n < 10; ++n) {
        if (*at >= end) {
            return false;
        }
        const uint8_t b = d[(*at)++];
        *value = (*value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool ReadChmDirectory(const std::vector<uint8_t>& file, std::map<std::string, ChmEntry>* out) {
    out->clear();
    if (file.size() < 0x58 || file[0] != 'I' || file[1] != 'T' || file[2] != 'S' ||
        file[3] != 'F') {
        return false;
    }
    const uint64_t dirOffset = Le64(file, 0x48);
    const uint64_t dirLength = Le64(file, 0x50);
    if (dirOffset > file.size() || dirLength > file.size() - dirOffset || dirLength < 0x54) {
        return false;
    }
    const size_t dir = static_cast<size_t>(dirOffset);
    if (file[dir] != 'I' || file[dir + 1] != 'T' || file[dir + 2] != 'S' || file[dir + 3] != 'P') {
        return false;
    }
    const uint32_t headerLength = Le32(file, dir + 0x08);
    const uint32_t chunkSize = Le32(file, dir + 0x10);
    const uint32_t firstListing = Le32(file, dir + 0x20);
    const uint32_t chunkCount = Le32(file, dir + 0x2C);
    if (headerLength < 0x54 || chunkSize < 0x20 || chunkCount == 0 ||
        headerLength + static_cast<uint64_t>(chunkSize) * chunkCount > dirLength) {
        return false;
    }
    uint32_t chunk = firstListing;
    uint32_t visited = 0;
    while (chunk != 0xFFFFFFFFu) {
        if (chunk >= chunkCount || ++visited > chunkCount) {
            return false;  // outside the directory, or a loop
        }
        const size_t start = dir + headerLength + static_cast<size_t>(chunk) * chunkSize;
        if (file[start] != 'P' || file[start + 1] != 'M' || file[start + 2] != 'G' ||
            file[start + 3] != 'L') {
            return false;
        }
        const uint32_t freeSpace = Le32(file, start + 4);
        if (freeSpace > chunkSize - 0x14) {
            return false;
        }
        const size_t end = start + chunkSize - freeSpace;
        size_t at = start + 0x14;
        while (at < end) {
            uint64_t nameLength = 0;
            if (!ReadEncInt(file, &at, end, &nameLength) || nameLength > end - at) {
                return false;
            }
            std::string name(file.begin() + at, file.begin() + at + nameLength);
            at += nameLength;
            ChmEntry e;
            if (!ReadEncInt(file, &at, end, &e.section) || !ReadEncInt(file, &at, end, &e.offset) ||
                !ReadEncInt(file, &at, end, &e.length)) {
                return false;
            }
            (*out)[name] = e;
        }
        chunk = Le32(file, start + 0x10);
    }
    return !out->empty();
}

}  // namespace melvora
