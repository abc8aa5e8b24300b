#include "settings/options_edit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "settings/midi_input_devices.h"
#include "settings/settings_listener.h"

namespace melvora {
namespace {

using Change = SettingsChange;

// Starts from the default options; the keyboard's devices are `names`, `selected` open.
struct Rig : SettingsListener, MidiInputDevices {
    explicit Rig(std::vector<std::string> deviceNames = {}, int selectedDevice = -1)
        : names(std::move(deviceNames)), selected(selectedDevice) {}
    void SettingsChanged(SettingsChange change) override { changes.push_back(change); }
    std::vector<std::string> DeviceNames() const override { return names; }
    int SelectedDevice() const override { return selected; }
    bool SelectDevice(int index) override {
        if (!opens) {
            return false;
        }
        selected = index;
        std::snprintf(options.midiInputName, AppOptions::kTextFieldBytes, "%s",
                      names[index].c_str());
        return true;
    }
    // Chooses English, view 5, layout 1 and volume 0, with out-of-range ones (ignored) first.
    void ChooseAll() {
        edit.ChooseLanguage(2);
        edit.ChooseAnalysisView(6);
        edit.ChooseLanguage(0);
        edit.ChooseAnalysisView(5);
        edit.ChooseKeyboardLayout(0);
        edit.ChooseMidiVolume(0);
    }
    std::vector<std::string> names;
    int selected;
    bool opens = true;
    AppOptions options;
    std::vector<Change> changes;
    std::vector<AppOptions::FileImage> saved;
    OptionsEdit edit{options, *this, this, [this](const AppOptions& o) {
                         saved.push_back(o.ToFileImage());
                         return true;
                     }};
};

// Live choices apply at once and Cancel undoes them; Set keeps the new device whatever closes
// the dialog, and must not carry a choice that Cancel will undo into options.dat; OK takes the
// check boxes and saves all.
TEST(OptionsEditTest, LiveChoicesSetCancelAndOk) {
    const int history[] = {1, 1, 5, 5, 10, 10};
    for (int view = 0; view < 6; ++view) {
        EXPECT_EQ(OptionsEdit::HistoryLengthForView(view), history[view]) << view;
    }
    Rig rig({"In A", "In B"}, 0);
    rig.ChooseAll();
    AppOptions expected;
    expected.language = expected.midiVolume = 0;
    expected.analysisView = 5;
    expected.resultHistoryLength = 10;
    expected.pcKeyboardLayout = 1;
    EXPECT_EQ(rig.options.ToFileImage(), expected.ToFileImage());
    EXPECT_EQ(rig.changes, (std::vector<Change>{Change::Language, Change::AnalysisView,
                                                Change::KeyboardLayout, Change::MidiVolume}));
    rig.changes.clear();
    rig.edit.ChooseMidiInput(1);
    ASSERT_TRUE(rig.edit.SetMidiInput());
    EXPECT_FALSE(rig.edit.SetEnabled());
    AppOptions onDisk;
    std::snprintf(onDisk.midiInputName, AppOptions::kTextFieldBytes, "In B");
    rig.edit.Cancel();
    EXPECT_EQ(rig.options.ToFileImage(), onDisk.ToFileImage());
    EXPECT_EQ(rig.changes, (std::vector<Change>{Change::Language, Change::KeyboardLayout,
                                                Change::AnalysisView, Change::MidiVolume}));

    rig.ChooseAll();
    rig.changes.clear();
    OptionsEdit::Checks checks;
    checks.noteLetters = checks.autoAdvance = true;
    rig.edit.Ok(checks);
    expected.docking = expected.snapping = expected.alwaysContinue = expected.keepRecordings = 0;
    expected.noteLetters = expected.autoAdvance = 1;
    std::snprintf(expected.midiInputName, AppOptions::kTextFieldBytes, "In B");
    EXPECT_EQ(rig.options.ToFileImage(), expected.ToFileImage());
    EXPECT_EQ(rig.saved,
              (std::vector<AppOptions::FileImage>{onDisk.ToFileImage(), expected.ToFileImage()}));
    EXPECT_EQ(rig.changes,
              (std::vector<Change>{Change::Docking, Change::NoteLetters, Change::PlayAlong}));
}

// The list shows the keyboard's device; Set is offered for another one. A failed switch
// empties the keyboard's list: Set is not offered again.
TEST(OptionsEditTest, MidiInputListAndFailedSet) {
    struct Case {
        std::vector<std::string> devices;
        int keyboardSelection, shown, choose;
        bool setEnabled;
    };
    const Case cases[] = {{{}, -1, -1, 0, false},
                          {{"Only"}, 0, 0, 0, false},
                          {{"A", "B", "C"}, 2, 2, 0, true},
                          {{"A", "B"}, -1, -1, 1, true}};
    for (const Case& c : cases) {
        Rig rig(c.devices, c.keyboardSelection);
        EXPECT_EQ(rig.edit.MidiInputSelection(), c.shown) << c.devices.size();
        rig.edit.ChooseMidiInput(c.choose);
        EXPECT_EQ(rig.edit.SetEnabled(), c.setEnabled) << c.devices.size();
    }
    Rig failing({"A", "B"}, 0);
    failing.opens = false;
    failing.edit.ChooseMidiInput(1);
    EXPECT_FALSE(failing.edit.SetMidiInput());
    failing.edit.ChooseMidiInput(1);
    EXPECT_FALSE(failing.edit.SetEnabled());
    EXPECT_TRUE(failing.saved.empty());
}

}  // namespace
}  // namespace melvora
