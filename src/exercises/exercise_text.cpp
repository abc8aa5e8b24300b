#include "exercises/exercise_text.h"

#include <cstdint>

namespace melvora {

namespace {

// Appends code point `c` as UTF-16 or UTF-32, whichever wchar_t is.
void Append(std::wstring* out, uint32_t c) {
    if (sizeof(wchar_t) == 2 && c >= 0x10000) {
        c -= 0x10000;
        out->push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
        out->push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
    } else {
        out->push_back(static_cast<wchar_t>(c));
    }
}

bool DecodeUtf8(const std::string& text, std::wstring* out) {
    for (size_t i = 0; i < text.size();) {
        const uint8_t lead = static_cast<uint8_t>(text[i]);
        size_t length = 0;
        uint32_t c = 0;
        uint32_t minimum = 0;
        if (lead < 0x80) {
            out->push_back(static_cast<wchar_t>(lead));
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, c = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, c = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, c = lead & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            const uint8_t next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            c = c << 6 | (next & 0x3F);
        }
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            return false;
        }
        Append(out, c);
        i += length;
    }
    return true;
}

}  // namespace

std::wstring ExerciseTextToWide(const std::string& text) {
    std::wstring wide;
    if (DecodeUtf8(text, &wide)) {
        return wide;
    }
    wide.clear();
    for (char c : text) {
        wide.push_back(static_cast<wchar_t>(static_cast<uint8_t>(c)));
    }
    return wide;
}

std::wstring WideStringFormat(std::wstring format) {
    for (size_t at = format.find(L"%s"); at != std::wstring::npos;
         at = format.find(L"%s", at + 3)) {
        format.replace(at, 2, L"%ls");
    }
    return format;
}

}  // namespace melvora
