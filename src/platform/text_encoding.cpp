#include "platform/text_encoding.h"

#include <cstdint>

namespace melvora {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at text[i]; returns its length in bytes (at least 1) and the
// code point, or kReplacement with length 1 when the sequence is not valid.
size_t DecodeOne(const std::string& text, size_t i, uint32_t* code) {
    const auto lead = static_cast<unsigned char>(text[i]);
    *code = kReplacement;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    }
    size_t extra = 0;
    uint32_t value = 0;
    uint32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        return 1;
    }
    if (text.size() - i <= extra) {
        return 1;  // cut short
    }
    for (size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 1;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 1;  // overlong forms and surrogates could smuggle other characters through
    }
    *code = value;
    return extra + 1;
}

void AppendUtf8(uint32_t code, std::string* out) {
    if (code < 0x80) {
        out->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code >> 6)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (code >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (code >> 18)));
        out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// Windows-1254 bytes 0x80..0x9F and the six Turkish letters where it departs from Latin-1.
constexpr uint16_t kHigh1254[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x008E, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178,  // 98
};

uint32_t From1254(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kHigh1254[byte - 0x80];
    }
    switch (byte) {
        case 0xD0:
            return 0x011E;  // Ğ
        case 0xDD:
            return 0x0130;  // İ
        case 0xDE:
            return 0x015E;  // Ş
        case 0xF0:
            return 0x011F;  // ğ
        case 0xFD:
            return 0x0131;  // ı
        case 0xFE:
            return 0x015F;  // ş
        default:
            return byte;
    }
}

}  // namespace

std::wstring Utf8ToWide(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        uint32_t code = 0;
        i += DecodeOne(text, i, &code);
        if (sizeof(wchar_t) == 2 && code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(code));
        }
    }
    return out;
}

std::string WideToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        auto code = static_cast<uint32_t>(text[i]);
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() &&
            static_cast<uint32_t>(text[i + 1]) >= 0xDC00 &&
            static_cast<uint32_t>(text[i + 1]) <= 0xDFFF) {
            code =
                0x10000 + ((code - 0xD800) << 10) + (static_cast<uint32_t>(text[i + 1]) - 0xDC00);
            ++i;
        } else if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            code = kReplacement;
        }
        AppendUtf8(code, &out);
    }
    return out;
}

bool IsValidUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        uint32_t code = 0;
        const size_t length = DecodeOne(text, i, &code);
        if (code == kReplacement && length == 1) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string Windows1254ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        AppendUtf8(From1254(static_cast<unsigned char>(c)), &out);
    }
    return out;
}

std::string StoredTextToUtf8(const std::string& bytes) {
    return IsValidUtf8(bytes) ? bytes : Windows1254ToUtf8(bytes);
}

}  // namespace melvora
