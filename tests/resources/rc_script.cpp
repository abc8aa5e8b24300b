#include "resources/rc_script.h"

#include <regex>
#include <sstream>

namespace melvora {

namespace {

std::string StripComments(const std::string& text) {
    // Line comments and block comments; quotes are kept as they are (no id hides in a string).
    static const std::regex comments(R"(//[^\n]*|/\*[\s\S]*?\*/)");
    return std::regex_replace(text, comments, "");
}

}  // namespace

std::map<std::string, int> ParseIdDefines(const std::string& header) {
    std::map<std::string, int> ids;
    static const std::regex define(R"(^\s*#define\s+([A-Z_][A-Z0-9_]*)\s+(\d+)\s*$)");
    std::istringstream in(StripComments(header));
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_match(line, m, define)) {
            ids[m[1]] = std::stoi(m[2]);
        }
    }
    return ids;
}

RcStringTable ReadStringsRc(const std::string& resourcesDir) {
    return ParseRcStringTable(ReadFileText(resourcesDir + "/strings.rc"),
                              ParseIdDefines(ReadFileText(resourcesDir + "/string_ids.h")));
}

void ParseRcScript(const std::string& script, RcScript* into) {
    static const std::regex dialog(R"(^(\w+)\s+DIALOGEX?\b.*)");
    static const std::regex menu(R"(^(\w+)\s+MENU\b.*)");
    static const std::regex bitmap(R"(^(\w+)\s+BITMAP\s+".*)");
    static const std::regex icon(R"(^(\w+)\s+ICON\s+".*)");
    // LTEXT "text", id, ...   CONTROL "text", id, "class", ...   GROUPBOX, PUSHBUTTON ...
    static const std::regex control(R"(^[A-Z]+\s+"[^"]*"\s*,\s*(\w+)\s*,.*)");
    // LISTBOX id, ...   EDITTEXT id, ...   (no text)
    static const std::regex textless(R"(^(?:LISTBOX|EDITTEXT|COMBOBOX)\s+(\w+)\s*,.*)");
    static const std::regex item(R"(^MENUITEM\s+"[^"]*"\s*,\s*(\w+).*)");
    static const std::regex outerSpace(R"(^\s+|\s+$)");
    std::istringstream in(StripComments(script));
    std::string raw;
    std::string currentDialog;
    std::string currentMenu;
    std::smatch m;
    while (std::getline(in, raw)) {
        const std::string line = std::regex_replace(raw, outerSpace, "");
        if (std::regex_match(line, m, dialog)) {
            currentDialog = m[1];
            currentMenu.clear();
            into->dialogs[currentDialog];
        } else if (std::regex_match(line, m, menu)) {
            currentMenu = m[1];
            currentDialog.clear();
            into->menus[currentMenu];
        } else if (std::regex_match(line, m, bitmap)) {
            into->bitmaps.insert(m[1]);
        } else if (std::regex_match(line, m, icon)) {
            into->icons.insert(m[1]);
        } else if (line == "STRINGTABLE") {
            currentDialog.clear();
            currentMenu.clear();
        } else if (!currentMenu.empty() && std::regex_match(line, m, item)) {
            into->menus[currentMenu].insert(m[1]);
        } else if (!currentDialog.empty() &&
                   (std::regex_match(line, m, control) || std::regex_match(line, m, textless))) {
            into->dialogs[currentDialog].insert(m[1]);
        }
    }
}

std::set<std::string> IdNamesUsed(const std::string& source) {
    static const std::regex name(R"(\b(?:IDD|IDC|IDS|IDR|IDB|IDI|ID)_[A-Z0-9_]+\b)");
    std::set<std::string> names;
    const std::string text = StripComments(source);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), name);
         it != std::sregex_iterator(); ++it) {
        names.insert(it->str());
    }
    return names;
}

std::set<std::string> CaseLabelsOf(const std::string& source, const std::string& function) {
    std::set<std::string> labels;
    const size_t start = source.find("\n" + function + "(");
    if (start == std::string::npos) {
        return labels;
    }
    const size_t end = source.find("\n}\n", start);
    const std::string body = StripComments(source.substr(start, end - start));
    static const std::regex label(R"(\bcase\s+(\w+)\s*:)");
    for (auto it = std::sregex_iterator(body.begin(), body.end(), label);
         it != std::sregex_iterator(); ++it) {
        labels.insert((*it)[1]);
    }
    return labels;
}

}  // namespace melvora
