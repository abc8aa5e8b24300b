#include "resources/rc_string_table.h"

#include <cctype>
#include <cstring>

namespace melvora {

bool DecodeUtf8(const std::string& bytes, std::u16string* out) {
    out->clear();
    size_t i = 0;
    while (i < bytes.size()) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        uint32_t code = 0;
        int extra = 0;
        if (b0 < 0x80) {
            code = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            code = b0 & 0x1F;
            extra = 1;
        } else if ((b0 & 0xF0) == 0xE0) {
            code = b0 & 0x0F;
            extra = 2;
        } else if ((b0 & 0xF8) == 0xF0) {
            code = b0 & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= bytes.size()) {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + k]);
            if ((b & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (b & 0x3F);
        }
        // Overlong forms and surrogates are not UTF-8.
        if ((extra == 1 && code < 0x80) || (extra == 2 && code < 0x800) ||
            (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out->push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out->push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out->push_back(static_cast<char16_t>(code));
        }
        i += 1 + extra;
    }
    return true;
}

namespace {

std::string Trim(const std::string& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) {
        ++b;
    }
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) {
        --e;
    }
    return s.substr(b, e - b);
}

// Parses `"...."` starting at rest[0] == '"'; the bytes between the quotes with escapes
// resolved. False when the quote is not closed or something other than a comment follows.
bool ParseQuoted(const std::string& rest, std::string* bytes) {
    bytes->clear();
    size_t i = 1;
    while (i < rest.size()) {
        const char c = rest[i];
        if (c == '"') {
            if (i + 1 < rest.size() && rest[i + 1] == '"') {
                bytes->push_back('"');
                i += 2;
                continue;
            }
            const std::string tail = Trim(rest.substr(i + 1));
            return tail.empty() || tail.rfind("//", 0) == 0;
        }
        if (c == '\\' && i + 1 < rest.size()) {
            const char e = rest[i + 1];
            switch (e) {
                case 'n':
                    bytes->push_back('\n');
                    break;
                case 't':
                    bytes->push_back('\t');
                    break;
                case 'r':
                    bytes->push_back('\r');
                    break;
                case '\\':
                    bytes->push_back('\\');
                    break;
                case '"':
                    bytes->push_back('"');
                    break;
                default:
                    return false;
            }
            i += 2;
            continue;
        }
        bytes->push_back(c);
        ++i;
    }
    return false;
}

}  // namespace

RcStringTable ParseRcStringTable(const std::string& script) {
    RcStringTable table;
    bool inTable = false;
    bool sawTableKeyword = false;
    int lineNo = 0;
    size_t pos = 0;
    while (pos <= script.size()) {
        size_t end = script.find('\n', pos);
        if (end == std::string::npos) {
            end = script.size();
        }
        std::string line = script.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string t = Trim(line);
        if (t.empty() || t.rfind("//", 0) == 0) {
            if (end == script.size()) {
                break;
            }
            continue;
        }
        if (t == "#pragma code_page(65001)" && !sawTableKeyword) {
            table.hasUtf8CodePage = true;
        } else if (t == "STRINGTABLE") {
            sawTableKeyword = true;
        } else if (t == "BEGIN" && sawTableKeyword && !inTable) {
            inTable = true;
        } else if (t == "END" && inTable) {
            inTable = false;
            sawTableKeyword = false;
        } else if (inTable) {
            size_t digits = 0;
            while (digits < t.size() && std::isdigit(static_cast<unsigned char>(t[digits]))) {
                ++digits;
            }
            const std::string rest = Trim(t.substr(digits));
            std::string bytes;
            RcString entry;
            entry.line = lineNo;
            if (digits == 0 || digits > 5 || rest.empty() || rest[0] != '"' ||
                !ParseQuoted(rest, &bytes)) {
                table.errors.push_back("line " + std::to_string(lineNo) + ": cannot read entry");
            } else if (!DecodeUtf8(bytes, &entry.text)) {
                table.errors.push_back("line " + std::to_string(lineNo) + ": bad UTF-8");
            } else {
                entry.id = std::stoi(t.substr(0, digits));
                table.entries.push_back(entry);
            }
        } else if (t[0] != '#') {
            table.errors.push_back("line " + std::to_string(lineNo) + ": unexpected text");
        }
        if (end == script.size()) {
            break;
        }
    }
    if (inTable) {
        table.errors.push_back("STRINGTABLE without END");
    }
    return table;
}

std::vector<std::string> PrintfConversions(const std::u16string& text) {
    std::vector<std::string> result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'%') {
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == u'%') {
            ++i;
            continue;
        }
        std::string conversion = "%";
        size_t k = i + 1;
        // flags, width, precision, length, then the conversion letter
        while (k < text.size() && text[k] < 128 &&
               std::strchr("-+ #0123456789.hlLqjzt", static_cast<char>(text[k])) != nullptr) {
            conversion.push_back(static_cast<char>(text[k]));
            ++k;
        }
        if (k < text.size() && text[k] < 128 && std::isalpha(static_cast<int>(text[k]))) {
            conversion.push_back(static_cast<char>(text[k]));
            i = k;
        } else {
            i = k - 1;
        }
        result.push_back(conversion);
    }
    return result;
}

namespace {

uint32_t Le32(const std::vector<uint8_t>& d, size_t at) {
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}

uint16_t Le16(const std::vector<uint8_t>& d, size_t at) {
    return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}

// A type or name field: 0xFFFF followed by an ordinal, or a zero-terminated UTF-16 name.
bool ReadNameOrOrdinal(const std::vector<uint8_t>& d, size_t* at, size_t end, int* ordinal) {
    if (*at + 2 > end) {
        return false;
    }
    if (Le16(d, *at) == 0xFFFF) {
        if (*at + 4 > end) {
            return false;
        }
        *ordinal = Le16(d, *at + 2);
        *at += 4;
        return true;
    }
    *ordinal = -1;
    while (*at + 2 <= end) {
        const uint16_t c = Le16(d, *at);
        *at += 2;
        if (c == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool ReadResStrings(const std::vector<uint8_t>& res, std::map<int, std::u16string>* out) {
    out->clear();
    size_t at = 0;
    while (at + 8 <= res.size()) {
        const uint32_t dataSize = Le32(res, at);
        const uint32_t headerSize = Le32(res, at + 4);
        if (headerSize < 8 || headerSize > res.size() - at ||
            dataSize > res.size() - at - headerSize) {
            return false;
        }
        const size_t headerEnd = at + headerSize;
        size_t p = at + 8;
        int type = 0;
        int name = 0;
        if (!ReadNameOrOrdinal(res, &p, headerEnd, &type) ||
            !ReadNameOrOrdinal(res, &p, headerEnd, &name)) {
            return false;
        }
        const size_t dataAt = headerEnd;
        if (type == 6 && name > 0) {  // RT_STRING: block of 16 counted strings
            size_t q = dataAt;
            const size_t dataEnd = dataAt + dataSize;
            for (int k = 0; k < 16; ++k) {
                if (q + 2 > dataEnd) {
                    return false;
                }
                const uint16_t len = Le16(res, q);
                q += 2;
                if (q + 2u * len > dataEnd) {
                    return false;
                }
                if (len > 0) {
                    std::u16string s;
                    for (uint16_t c = 0; c < len; ++c) {
                        s.push_back(static_cast<char16_t>(Le16(res, q + 2u * c)));
                    }
                    (*out)[(name - 1) * 16 + k] = s;
                }
                q += 2u * len;
            }
        }
        at = dataAt + ((dataSize + 3u) & ~3u);
    }
    return true;
}

}  // namespace melvora
