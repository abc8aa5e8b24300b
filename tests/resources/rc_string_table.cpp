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

}  // namespace melvora
