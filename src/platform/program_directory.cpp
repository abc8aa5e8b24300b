#include "platform/program_directory.h"

#include <mutex>

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

}  // namespace

// In program_directory_win.cpp or program_directory_posix.cpp.
std::string SystemProgramPath();

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
