#include "platform/program_directory.h"

#include <mutex>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace melvora {
namespace {

std::mutex& OverrideMutex() {
    static std::mutex m;
    return m;
}

std::string& OverrideValue() {
    static std::string value;
    return value;
}

std::string SystemProgramPath() {
#ifdef _WIN32
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::string();
    }
    return std::string(path, length);
#else
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return std::string();
    }
    return std::string(path, static_cast<size_t>(length));
#endif
}

}  // namespace

char PathSeparator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

void SetProgramDirectoryOverride(const std::string& directory) {
    std::lock_guard<std::mutex> lock(OverrideMutex());
    OverrideValue() = directory;
    if (!directory.empty() && directory.back() != '/' && directory.back() != '\\') {
        OverrideValue() += PathSeparator();
    }
}

std::string ProgramDirectory() {
    {
        std::lock_guard<std::mutex> lock(OverrideMutex());
        if (!OverrideValue().empty()) {
            return OverrideValue();
        }
    }
    const std::string path = SystemProgramPath();
    const size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) {
        return std::string();
    }
    return path.substr(0, slash + 1);
}

}  // namespace melvora
