#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/program_directory.h"

namespace melvora {
namespace testing_support {

// A fresh folder under the system's temporary folder that the program directory points at
// for the life of the object; removed with its contents afterwards.
class TempProgramDirectory {
  public:
    TempProgramDirectory() {
        char pattern[] = "/tmp/melvora-app-XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made != nullptr ? std::string(made) + "/" : std::string();
        SetProgramDirectoryOverride(path_);
    }
    ~TempProgramDirectory() {
        SetProgramDirectoryOverride("");
        if (!path_.empty()) {
            std::system(("rm -rf '" + path_ + "'").c_str());
        }
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

inline std::vector<unsigned char> ReadAll(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return bytes;
    }
    unsigned char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    std::fclose(f);
    return bytes;
}

inline bool WriteAll(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace testing_support
}  // namespace melvora
