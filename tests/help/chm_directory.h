#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace melvora {

// One file of a compiled help file as its directory lists it.
struct ChmEntry {
    uint64_t section = 0;  // 0 uncompressed, 1 compressed
    uint64_t offset = 0;
    uint64_t length = 0;
};

// Reads the directory of a CHM file (ITSF header, ITSP directory, PMGL listing chunks):
// the path of every stored file, such as "/en/ana.htm". False on anything malformed.
bool ReadChmDirectory(const std::vector<uint8_t>& file, std::map<std::string, ChmEntry>* out);

}  // namespace melvora
