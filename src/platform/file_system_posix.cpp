// The POSIX calls behind the UTF-8 file functions: the path bytes are the file name.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_system.h"

namespace melvora {

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

bool MoveFileTo(const std::string& from, const std::string& to) {
    // rename() would replace `to` silently; Windows refuses, and so does this.
    if (PathExists(to)) {
        return false;
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool DeleteFileAt(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

bool PathExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

bool MakeDirectory(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) {
        return true;
    }
    struct stat info = {};
    return errno == EEXIST && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    while (const dirent* entry = readdir(dir)) {
        struct stat info = {};
        const std::string name = entry->d_name;
        if (stat((prefix + name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            names.push_back(name);
        }
    }
    closedir(dir);
    return names;
}

bool SamePath(const std::string& a, const std::string& b) {
    return a == b;
}

}  // namespace melvora
