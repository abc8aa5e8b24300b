#include <gtest/gtest.h>

#include <filesystem>

#include "resources/rc_script.h"
#include "resources/rc_string_table.h"

namespace melvora {
namespace {

const std::string kSource = std::string(MELVORA_SOURCE_DIR) + "/";

// Names of the system headers that share the id prefixes.
const std::set<std::string> kSystemNames = {"IDC_ARROW", "IDC_HAND", "IDC_IBEAM", "IDC_WAIT",
                                            "IDI_APPLICATION"};
// Controls of the message box, whose template is built in memory.
const std::set<std::string> kRunTimeControls = {"IDC_MESSAGE_BUTTON_1", "IDC_MESSAGE_BUTTON_2",
                                                "IDC_MESSAGE_BUTTON_3"};
// Commands the code inserts into a menu at run time (the keyboard window builds its Device,
// layout and MIDI volume menus in code).
const std::set<std::string> kRunTimeCommands = {
    "ID_EXERCISES",         "ID_INSTRUMENT_FIRST",   "ID_INSTRUMENT_FLUTE",
    "ID_INSTRUMENT_LEAD_1", "ID_LAYOUT_SINGLE_ROW",  "ID_LAYOUT_DOUBLE_ROW",
    "ID_MIDI_VOLUME_LOW",   "ID_MIDI_VOLUME_MEDIUM", "ID_MIDI_VOLUME_HIGH"};

struct Resources {
    std::map<std::string, int> ids;  // both headers
    RcScript script;
    std::set<int> strings;
    std::set<std::string> usedInCode;
};

const Resources& Load() {
    static const Resources r = [] {
        Resources out;
        for (const char* header : {"resources/resource_ids.h", "resources/string_ids.h"}) {
            const std::map<std::string, int> ids = ParseIdDefines(ReadFileText(kSource + header));
            out.ids.insert(ids.begin(), ids.end());
        }
        for (const auto& entry : std::filesystem::directory_iterator(kSource + "resources")) {
            if (entry.path().extension() == ".rc") {
                ParseRcScript(ReadFileText(entry.path().string()), &out.script);
            }
        }
        for (const RcString& s : ReadStringsRc(kSource + "resources").entries) {
            out.strings.insert(s.id);
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(kSource + "src")) {
            const auto ext = entry.path().extension();
            if (ext == ".cpp" || ext == ".h") {
                const std::set<std::string> names =
                    IdNamesUsed(ReadFileText(entry.path().string()));
                out.usedInCode.insert(names.begin(), names.end());
            }
        }
        return out;
    }();
    return r;
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// A name or number of a resource script, as the number it stands for (-1 if unknown).
int ValueOf(const std::string& token) {
    if (!token.empty() && std::isdigit(static_cast<unsigned char>(token[0]))) {
        return std::stoi(token);
    }
    const auto it = Load().ids.find(token);
    return it == Load().ids.end() ? -1 : it->second;
}

bool HasValue(const std::set<std::string>& tokens, int value) {
    for (const std::string& t : tokens) {
        if (ValueOf(t) == value) {
            return true;
        }
    }
    return false;
}

TEST(ResourceIds, EveryIdTheCodeUsesExistsInTheResources) {
    const Resources& r = Load();
    std::set<std::string> controls;
    for (const auto& [dialog, ids] : r.script.dialogs) {
        controls.insert(ids.begin(), ids.end());
    }
    std::set<std::string> commands;
    for (const auto& [menu, items] : r.script.menus) {
        commands.insert(items.begin(), items.end());
    }
    ASSERT_GT(r.usedInCode.size(), 50u);  // the sources and headers were found and read
    ASSERT_GT(r.ids.size(), 100u);
    for (const std::string& name : r.usedInCode) {
        if (kSystemNames.count(name) != 0) {
            continue;
        }
        const int value = ValueOf(name);
        ASSERT_NE(value, -1) << name << " is used in src/ but not defined in the id headers";
        if (StartsWith(name, "IDD_")) {
            EXPECT_TRUE(r.script.dialogs.count(name) != 0) << "no dialog " << name;
        } else if (StartsWith(name, "IDC_")) {
            EXPECT_TRUE(controls.count(name) != 0 || kRunTimeControls.count(name) != 0)
                << "no dialog has control " << name;
        } else if (StartsWith(name, "IDR_")) {
            EXPECT_TRUE(r.script.menus.count(name) != 0) << "no menu " << name;
        } else if (StartsWith(name, "IDB_")) {
            EXPECT_TRUE(HasValue(r.script.bitmaps, value)) << "no bitmap " << name;
        } else if (StartsWith(name, "IDI_")) {
            EXPECT_TRUE(HasValue(r.script.icons, value)) << "no icon " << name;
        } else if (StartsWith(name, "IDS_")) {
            // English n and Turkish n + 1000.
            EXPECT_TRUE(r.strings.count(value) != 0) << "no English string " << name;
            EXPECT_TRUE(r.strings.count(value + 1000) != 0) << "no Turkish string " << name;
        } else {
            EXPECT_TRUE(commands.count(name) != 0 || kRunTimeCommands.count(name) != 0)
                << "no menu item " << name;
        }
    }
    for (const std::string& name : kRunTimeCommands) {
        EXPECT_EQ(commands.count(name), 0u) << name << " is in a menu now: leave the list";
    }
}

// The main controls window dispatches menu commands in CControlsDlg::OnCommand (one case per
// command) and the View commands through the floating-window table; the exercise window's
// menu is dispatched in CExerciseDlg::OnCommand.
TEST(ResourceIds, EveryMenuCommandHasAHandler) {
    const Resources& r = Load();
    std::set<std::string> handled = CaseLabelsOf(
        ReadFileText(kSource + "src/app/win32/controls_dlg.cpp"), "void CControlsDlg::OnCommand");
    ASSERT_FALSE(handled.empty()) << "command switch not found";
    for (const std::string& name :
         IdNamesUsed(ReadFileText(kSource + "src/app/floating_window.cpp"))) {
        if (StartsWith(name, "ID_VIEW_")) {
            handled.insert(name);
        }
    }
    const std::set<std::string> exerciseHandled =
        CaseLabelsOf(ReadFileText(kSource + "src/exercises/win32/exercise_dlg.cpp"),
                     "void CExerciseDlg::OnCommand");
    ASSERT_FALSE(exerciseHandled.empty()) << "exercise command switch not found";
    for (const auto& [menu, items] : r.script.menus) {
        const std::set<std::string>& by = menu == "IDR_EXERCISE_MENU" ? exerciseHandled : handled;
        for (const std::string& item : items) {
            EXPECT_TRUE(by.count(item) != 0) << item << " of " << menu << " has no handler";
        }
    }
}

}  // namespace
}  // namespace melvora
