#include "help/chm_directory.h"

#include "resources/rc_string_table.h"

namespace melvora {

namespace {

bool Tag(const std::vector<uint8_t>& d, size_t at, const char* tag) {
    return d[at] == tag[0] && d[at + 1] == tag[1] && d[at + 2] == tag[2] && d[at + 3] == tag[3];
}

// The directory's variable-length integers: 7 bits per byte, most significant first, the
// high bit set on every byte but the last.
bool ReadEncInt(const std::vector<uint8_t>& d, size_t* at, size_t end, uint64_t* value) {
    *value = 0;
    for (int n = 0; n < 10 && *at < end; ++n) {
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
    if (file.size() < 0x58 || !Tag(file, 0, "ITSF")) {
        return false;
    }
    const uint64_t dirOffset = LittleEndian(file, 0x48, 8);
    const uint64_t dirLength = LittleEndian(file, 0x50, 8);
    if (dirOffset > file.size() || dirLength > file.size() - dirOffset || dirLength < 0x54 ||
        !Tag(file, dirOffset, "ITSP")) {
        return false;
    }
    const size_t dir = static_cast<size_t>(dirOffset);
    const uint64_t headerLength = LittleEndian(file, dir + 0x08, 4);
    const uint64_t chunkSize = LittleEndian(file, dir + 0x10, 4);
    const uint64_t chunkCount = LittleEndian(file, dir + 0x2C, 4);
    if (headerLength < 0x54 || chunkSize < 0x20 || chunkCount == 0 ||
        headerLength + chunkSize * chunkCount > dirLength) {
        return false;
    }
    uint64_t visited = 0;
    for (uint64_t chunk = LittleEndian(file, dir + 0x20, 4); chunk != 0xFFFFFFFFu;) {
        if (chunk >= chunkCount || ++visited > chunkCount) {
            return false;  // outside the directory, or a loop
        }
        const size_t start = dir + headerLength + chunk * chunkSize;
        const uint64_t freeSpace = LittleEndian(file, start + 4, 4);
        if (!Tag(file, start, "PMGL") || freeSpace > chunkSize - 0x14) {
            return false;
        }
        const size_t end = start + chunkSize - freeSpace;
        for (size_t at = start + 0x14; at < end;) {
            uint64_t nameLength = 0;
            if (!ReadEncInt(file, &at, end, &nameLength) || nameLength > end - at) {
                return false;
            }
            const std::string name(file.begin() + at, file.begin() + at + nameLength);
            at += nameLength;
            ChmEntry& e = (*out)[name];
            if (!ReadEncInt(file, &at, end, &e.section) || !ReadEncInt(file, &at, end, &e.offset) ||
                !ReadEncInt(file, &at, end, &e.length)) {
                return false;
            }
        }
        chunk = LittleEndian(file, start + 0x10, 4);
    }
    return !out->empty();
}

}  // namespace melvora
