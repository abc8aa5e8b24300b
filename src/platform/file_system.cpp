#include "platform/file_system.h"

namespace melvora {

bool CopyFileOverwriting(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty() || SamePath(from, to)) {
        return false;  // copying a file onto itself would empty it
    }
    UniqueFile in(OpenFile(from, "rb"));
    if (!in) {
        return false;
    }
    bool ok = true;
    {
        UniqueFile out(OpenFile(to, "wb"));
        if (!out) {
            return false;
        }
        char buffer[65536];
        while (ok) {
            const size_t n = std::fread(buffer, 1, sizeof(buffer), in.get());
            if (n > 0 && std::fwrite(buffer, 1, n, out.get()) != n) {
                ok = false;
            }
            if (n < sizeof(buffer)) {
                ok = ok && !std::ferror(in.get());
                break;
            }
        }
        ok = (std::fflush(out.get()) == 0) && ok;
        ok = (std::fclose(out.release()) == 0) && ok;
    }
    if (!ok) {
        DeleteFileAt(to);
    }
    return ok;
}

}  // namespace melvora
