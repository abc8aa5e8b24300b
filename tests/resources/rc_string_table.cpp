#include "resources/rc_string_table.h"

#include "platform/text_encoding.h"
#include "resources/rc_script.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace melvora {

RcStringTable ParseRcStringTable(const std::string& script, const std::map<std::string, int>& ids) {
    // A name, "+ 1000" for the Turkish partner, a quoted text ("" for a quote, the C escapes
    // \n \t \r \\ \"), a comment.
    static const std::regex entry(
        R"re(\s*([A-Za-z_]\w*)(\s*\+\s*1000)?\s+"((?:[^"\\]|\\[ntr\\"]|"")*)"\s*(//.*)?)re");
    static const std::regex ignored(R"(\s*(//.*|#.*|STRINGTABLE\s*)?)");
    static const std::regex beginOrEnd(R"(\s*(BEGIN|END))");
    RcStringTable table;
    std::istringstream in(script);
    bool inTable = false;
    std::smatch m;
    int lineNo = 0;
    for (std::string line; std::getline(in, line);) {
        const std::string where = "line " + std::to_string(++lineNo) + ": ";
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (std::regex_match(line, ignored)) {
            continue;
        } else if (std::regex_match(line, beginOrEnd)) {
            inTable = line.find("BEGIN") != std::string::npos;
        } else if (!inTable || !std::regex_match(line, m, entry)) {
            table.errors.push_back(where + "cannot read entry");
        } else {
            std::string bytes;
            const std::string quoted = m[3];
            for (size_t i = 0; i < quoted.size(); ++i) {
                char c = quoted[i];
                if (c == '"') {
                    ++i;  // "" is a quote
                } else if (c == '\\') {
                    c = quoted[++i];
                    c = c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
                }
                bytes.push_back(c);
            }
            const auto id = ids.find(m[1]);
            if (id == ids.end()) {
                table.errors.push_back(where + "unknown id name " + m[1].str());
            } else if (!IsValidUtf8(bytes)) {
                table.errors.push_back(where + "bad UTF-8");
            } else {
                table.entries.push_back(
                    {id->second + (m[2].matched ? 1000 : 0), Utf8ToWide(bytes), lineNo});
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
        ReadStringsRc(std::string(MELVORA_SOURCE_DIR) + "/resources");
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
