#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "resources/rc_string_table.h"

namespace melvora {

// `#define NAME <number>` lines of an id header: name -> value.
std::map<std::string, int> ParseIdDefines(const std::string& header);

// resources/strings.rc of `resourcesDir` with its names resolved through string_ids.h there.
RcStringTable ReadStringsRc(const std::string& resourcesDir);

// The ids a resource script names, as written (a name from the id headers or a bare number).
struct RcScript {
    std::map<std::string, std::set<std::string>> dialogs;  // dialog -> its control ids
    std::map<std::string, std::set<std::string>> menus;    // menu -> its item commands
    std::set<std::string> bitmaps;
    std::set<std::string> icons;
};

// Reads the DIALOGEX, MENU, BITMAP and ICON statements of a resource script (not the
// STRINGTABLE, which has its own reader). Lines of several scripts can be merged by calling
// it once per script with the same `into`.
void ParseRcScript(const std::string& script, RcScript* into);

// Every identifier of the id-name shape (IDD_, IDC_, IDS_, IDR_, IDB_, IDI_, ID_ followed by
// capitals, digits and underscores) in `source`, outside comments.
std::set<std::string> IdNamesUsed(const std::string& source);

// The `case NAME:` labels inside the body of function `function` (its first definition,
// "function(" at a line start up to the next line holding only "}").
std::set<std::string> CaseLabelsOf(const std::string& source, const std::string& function);

}  // namespace melvora
