#include "settings/options_edit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "settings/midi_input_devices.h"
#include "settings/settings_listener.h"

namespace melvora {
namespace {

using Change = SettingsChange;

struct FakeDevices : MidiInputDevices {
    std::vector<std::string> DeviceNames() const override { return names; }
    int SelectedDevice() const override { return selected; }
    bool SelectDevice(int index) override {
        if (!opens) {
            names.clear();
            return false;
        }
        selected = index;
        std::snprintf(options->midiInputName, AppOptions::kTextFieldBytes, "%s",
                      names[index].c_str());
        return true;
    }
    std::vector<std::string> names;
    int selected = -1;
    bool opens = true;
    AppOptions* options = nullptr;
};

// English, Star, single row, low volume, all flags off: every choice below differs.
struct Rig : SettingsListener {
    explicit Rig(std::vector<std::string> names = {}, int selected = -1) {
        options.language = options.analysisView = options.midiVolume = 0;
        options.resultHistoryLength = options.pcKeyboardLayout = 1;
        options.docking = options.snapping = options.alwaysContinue = options.keepRecordings = 0;
        start = chosen = options;
        chosen.language = 1;
        chosen.analysisView = 5;
        chosen.resultHistoryLength = 10;
        chosen.pcKeyboardLayout = chosen.midiVolume = 2;
        devices.names = std::move(names);
        devices.selected = selected;
        devices.options = &options;
        edit = std::make_unique<OptionsEdit>(options, *this, &devices, [this](const AppOptions& o) {
            saved.push_back(o.ToFileImage());
            return true;
        });
    }
    void SettingsChanged(SettingsChange change) override { changes.push_back(change); }
    // Makes the choices of `chosen`, with out-of-range ones (ignored) first.
    void ChooseAll() {
        edit->ChooseLanguage(2);
        edit->ChooseAnalysisView(6);
        edit->ChooseLanguage(1);
        edit->ChooseAnalysisView(5);
        edit->ChooseKeyboardLayout(1);
        edit->ChooseMidiVolume(2);
    }
    AppOptions options, start, chosen;
    FakeDevices devices;
    std::vector<Change> changes;
    std::vector<AppOptions::FileImage> saved;
    std::unique_ptr<OptionsEdit> edit;
};

TEST(OptionsEditTest, LiveChoicesApplyAtOnceAndCancelUndoesThem) {
    const int history[] = {1, 1, 5, 5, 10, 10};
    for (int view = 0; view < 6; ++view) {
        EXPECT_EQ(OptionsEdit::HistoryLengthForView(view), history[view]) << view;
    }
    Rig rig;
    rig.ChooseAll();
    EXPECT_EQ(rig.options.ToFileImage(), rig.chosen.ToFileImage());
    EXPECT_EQ(rig.changes, (std::vector<Change>{Change::Language, Change::AnalysisView,
                                                Change::KeyboardLayout, Change::MidiVolume}));
    rig.changes.clear();
    rig.edit->Cancel();
    EXPECT_EQ(rig.options.ToFileImage(), rig.start.ToFileImage());
    EXPECT_EQ(rig.changes, (std::vector<Change>{Change::Language, Change::KeyboardLayout,
                                                Change::AnalysisView, Change::MidiVolume}));
    EXPECT_TRUE(rig.saved.empty());
}

TEST(OptionsEditTest, OkTakesTheChecksAndSavesEverything) {
    Rig rig;
    rig.ChooseAll();
    OptionsEdit::Checks checks;
    checks.docking = checks.noteLetters = checks.autoAdvance = checks.keepRecordings = true;
    rig.edit->Ok(checks);
    AppOptions& expected = rig.chosen;
    expected.docking = expected.snapping = expected.noteLetters = 1;
    expected.autoAdvance = expected.keepRecordings = 1;
    EXPECT_EQ(rig.saved, std::vector<AppOptions::FileImage>{expected.ToFileImage()});
    EXPECT_EQ(rig.options.ToFileImage(), expected.ToFileImage());
    EXPECT_EQ(rig.changes.back(), Change::PlayAlong);
}

// The list shows the keyboard's device; Set is offered for another one. Set keeps the new
// device whatever closes the dialog, and must not carry a choice that Cancel will undo into
// options.dat.
TEST(OptionsEditTest, MidiInputListAndSet) {
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
        EXPECT_EQ(rig.edit->MidiInputSelection(), c.shown) << c.devices.size();
        rig.edit->ChooseMidiInput(c.choose);
        EXPECT_EQ(rig.edit->SetEnabled(), c.setEnabled) << c.devices.size();
    }
    Rig rig({"In A", "In B"}, 0);
    rig.ChooseAll();
    rig.edit->ChooseMidiInput(1);
    ASSERT_TRUE(rig.edit->SetMidiInput());
    EXPECT_FALSE(rig.edit->SetEnabled());
    AppOptions onDisk = rig.start;
    std::snprintf(onDisk.midiInputName, AppOptions::kTextFieldBytes, "In B");
    EXPECT_EQ(rig.saved, std::vector<AppOptions::FileImage>{onDisk.ToFileImage()});
    rig.edit->Cancel();
    EXPECT_EQ(rig.options.ToFileImage(), onDisk.ToFileImage());
    // A failed switch empties the keyboard's list; Set is not offered again.
    Rig failing({"A", "B"}, 0);
    failing.devices.opens = false;
    failing.edit->ChooseMidiInput(1);
    EXPECT_FALSE(failing.edit->SetMidiInput());
    failing.edit->ChooseMidiInput(0);
    failing.edit->ChooseMidiInput(1);
    EXPECT_FALSE(failing.edit->SetEnabled());
    EXPECT_TRUE(failing.saved.empty());
}

}  // namespace
}  // namespace melvora
