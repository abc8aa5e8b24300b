#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace melvora {

// One STRINGTABLE entry of a resource script, as the resource compiler would store it.
struct RcString {
    int id = 0;
    std::wstring text;  // after escapes and UTF-8 decoding
    int line = 0;       // 1-based line in the script
};

struct RcStringTable {
    std::vector<RcString> entries;  // in file order, duplicates kept
    std::vector<std::string> errors;
};

// Reads the STRINGTABLE blocks of a UTF-8 resource script: lines `NAME "text"` (English) or
// `NAME + 1000 "text"` (Turkish), NAME resolved through `ids`, with "" for a quote and the C
// escapes \n \t \r \\ \" inside the text, // comments elsewhere. A bare number or an
// unknown name is an error: every id is written once, in the header.
RcStringTable ParseRcStringTable(const std::string& script, const std::map<std::string, int>& ids);

// The printf conversions of a text in order ("%4d", "%02d", "%s"); "%%" is not one.
std::vector<std::string> PrintfConversions(const std::wstring& text);

// The whole file at `path` ("" when it cannot be read).
std::string ReadFileText(const std::string& path);

// The text of the program's string table (resources/strings.rc) entry `id`, "" when absent:
// a string provider for the tests.
std::wstring ProgramText(int id);

}  // namespace melvora
