#include "transport/deck_files.h"

#include <cstdio>
#include <cwctype>
#include <memory>

namespace melvora {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

#ifdef _WIN32
std::wstring Utf16Path(const std::string& path) {
    return WideFromUtf8(path);
}
#endif

std::FILE* OpenPath(const std::string& path, const char* mode) {
#ifdef _WIN32
    const std::string m(mode);
    return _wfopen(Utf16Path(path).c_str(), std::wstring(m.begin(), m.end()).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace

bool SamePath(const std::string& a, const std::string& b) {
#ifdef _WIN32
    // Windows file names ignore case and accept either separator.
    const std::wstring wa = Utf16Path(a);
    const std::wstring wb = Utf16Path(b);
    if (wa.size() != wb.size()) {
        return false;
    }
    for (size_t i = 0; i < wa.size(); ++i) {
        wchar_t ca = wa[i] == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(wa[i]));
        wchar_t cb = wb[i] == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(wb[i]));
        if (ca != cb) {
            return false;
        }
    }
    return true;
#else
    return a == b;
#endif
}

bool CopyFileOverwriting(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty() || SamePath(from, to)) {
        return false;  // copying a file onto itself would empty it
    }
    FilePtr in(OpenPath(from, "rb"));
    if (!in) {
        return false;
    }
    bool ok = true;
    {
        FilePtr out(OpenPath(to, "wb"));
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

bool DeleteFileAt(const std::string& path) {
#ifdef _WIN32
    return _wremove(Utf16Path(path).c_str()) == 0;
#else
    return std::remove(path.c_str()) == 0;
#endif
}

std::wstring WideFromUtf8(const std::string& text) {
    std::wstring out;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        uint32_t code = 0xFFFD;
        size_t length = 1;
        if (c < 0x80) {
            code = c;
        } else if ((c & 0xE0) == 0xC0) {
            length = 2;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4;
        }
        if (length > 1) {
            if (i + length > n) {
                length = 1;
            } else {
                code = c & (0x7F >> length);
                for (size_t k = 1; k < length; ++k) {
                    const auto cc = static_cast<unsigned char>(text[i + k]);
                    if ((cc & 0xC0) != 0x80) {
                        code = 0xFFFD;
                        length = 1;
                        break;
                    }
                    code = (code << 6) | (cc & 0x3F);
                }
                if (code > 0x10FFFF) {
                    code = 0xFFFD;
                }
            }
        }
        if (sizeof(wchar_t) == 2 && code > 0xFFFF) {
            code -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(code));
        }
        i += length;
    }
    return out;
}

}  // namespace melvora
