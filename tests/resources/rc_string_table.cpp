#include "resources/rc_string_table.h"

#include "platform/text_encoding.h"

#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

namespace melvora {

namespace {

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// Parses `"...."` starting at s[0] == '"'; the bytes between the quotes with escapes
// resolved. False when the quote is not closed or something other than a comment follows.
bool ParseQuoted(const std::string& s, std::string* bytes) {
    static const char kEscapes[] = "n\nt\tr\r\\\\\"\"";
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '"' && i + 1 < s.size() && s[i + 1] == '"') {
            bytes->push_back(s[++i]);
        } else if (s[i] == '"') {
            const std::string tail = Trim(s.substr(i + 1));
            return tail.empty() || tail.rfind("//", 0) == 0;
        } else if (s[i] == '\\') {
            const char* e = i + 1 < s.size() ? std::strchr(kEscapes, s[i + 1]) : nullptr;
            if (e == nullptr || s[i + 1] == 0 || (e - kEscapes) % 2 != 0) {
                return false;
            }
            bytes->push_back(e[1]);
            ++i;
        } else {
            bytes->push_back(s[i]);
        }
    }
    return false;
}

}  // namespace

RcStringTable ParseRcStringTable(const std::string& script) {
    RcStringTable table;
    std::istringstream in(script);
    std::string line;
    bool keyword = false;
    bool inTable = false;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        const std::string t = Trim(line);
        const std::string where = "line " + std::to_string(lineNo) + ": ";
        if (t.empty() || t.rfind("//", 0) == 0 || t[0] == '#') {
            continue;
        }
        if (t == "STRINGTABLE") {
            keyword = true;
        } else if (t == "BEGIN" && keyword && !inTable) {
            inTable = true;
        } else if (t == "END" && inTable) {
            inTable = keyword = false;
        } else if (!inTable) {
            table.errors.push_back(where + "unexpected text");
        } else {
            const size_t digits = std::min(t.find_first_not_of("0123456789"), t.size());
            const std::string rest = Trim(t.substr(digits));
            std::string bytes;
            RcString entry;
            entry.line = lineNo;
            if (digits == 0 || digits > 5 || rest.empty() || rest[0] != '"' ||
                !ParseQuoted(rest, &bytes)) {
                table.errors.push_back(where + "cannot read entry");
            } else if (!IsValidUtf8(bytes)) {
                table.errors.push_back(where + "bad UTF-8");
            } else {
                entry.text = Utf8ToWide(bytes);
                entry.id = std::stoi(t.substr(0, digits));
                table.entries.push_back(entry);
            }
        }
    }
    if (inTable) {
        table.errors.push_back("STRINGTABLE without END");
    }
    return table;
}

std::vector<std::string> PrintfConversions(const std::wstring& text) {
    // Flags, width, precision and length, then the conversion letter; other letters are not
    // ASCII, so they cannot pass for one.
    std::string ascii;
    for (wchar_t c : text) {
        ascii.push_back(c < 128 ? static_cast<char>(c) : '?');
    }
    const std::regex conversion("%%|%[-+ #0-9.hlLqjzt]*[A-Za-z]?");
    std::vector<std::string> result;
    for (auto it = std::sregex_iterator(ascii.begin(), ascii.end(), conversion);
         it != std::sregex_iterator(); ++it) {
        if (it->str() != "%%") {
            result.push_back(it->str());
        }
    }
    return result;
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::wstring ProgramText(int id) {
    static const RcStringTable table =
        ParseRcStringTable(ReadFileText(std::string(MELVORA_SOURCE_DIR) + "/resources/strings.rc"));
    for (const RcString& s : table.entries) {
        if (s.id == id) {
            return s.text;
        }
    }
    return std::wstring();
}

uint64_t LittleEndian(const std::vector<uint8_t>& d, size_t at, int bytes) {
    uint64_t v = 0;
    for (int k = bytes - 1; k >= 0; --k) {
        v = (v << 8) | d[at + k];
    }
    return v;
}

bool ReadResStrings(const std::vector<uint8_t>& res, std::map<int, std::wstring>* out) {
    out->clear();
    for (size_t at = 0; at + 8 <= res.size();) {
        const uint32_t dataSize = LittleEndian(res, at, 4);
        const uint32_t headerSize = LittleEndian(res, at + 4, 4);
        if (headerSize < 16 || headerSize > res.size() - at ||
            dataSize > res.size() - at - headerSize) {
            return false;
        }
        // Type and name as ordinals (0xFFFF, n); a named resource is never a string block.
        const bool strings =
            LittleEndian(res, at + 8, 4) == 0x6FFFFu && LittleEndian(res, at + 12, 2) == 0xFFFF;
        const int block = strings ? static_cast<int>(LittleEndian(res, at + 14, 2)) : 0;
        at += headerSize;
        // RT_STRING block n holds ids 16 (n - 1) to 16 n - 1 as counted UTF-16 strings.
        for (size_t q = at, k = 0; block > 0 && k < 16; ++k) {
            if (q + 2 > at + dataSize || q + 2 + 2u * LittleEndian(res, q, 2) > at + dataSize) {
                return false;
            }
            std::wstring s;
            for (uint32_t c = 0, len = LittleEndian(res, q, 2); c < len; ++c) {
                s.push_back(static_cast<wchar_t>(LittleEndian(res, q + 2 + 2 * c, 2)));
            }
            q += 2 + 2 * s.size();
            if (!s.empty()) {
                (*out)[(block - 1) * 16 + static_cast<int>(k)] = s;
            }
        }
        at += (dataSize + 3u) & ~3u;
    }
    return true;
}

}  // namespace melvora
