#include <unistd.h>

#include <string>

namespace melvora {

std::string SystemProgramPath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return std::string();
    }
    return std::string(path, static_cast<size_t>(length));
}

}  // namespace melvora
