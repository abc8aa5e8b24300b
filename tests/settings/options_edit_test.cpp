#include "settings/options_edit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "settings/midi_input_devices.h"
#include "settings/settings_listener.h"

namespace melvora {
namespace {

using Change = SettingsChange;

struct RecordingListener : SettingsListener {
    void SettingsChanged(SettingsChange change) override { changes.push_back(change); }
    std::vector<Change> changes;
};

struct FakeDevices : MidiInputDevices {
    std::vector<std::string> DeviceNames() const override { return names; }
    int SelectedDevice() const override { return selected; }
    bool SelectDevice(int index) override {
        if (!opens) {
            names.clear();
            return false;
        }
        selected = index;
        std::snprintf(options->midiInputName, sizeof(options->midiInputName), "%s",
                      names[index].c_str());
        return true;
    }
    std::vector<std::string> names;
    int selected = -1;
    bool opens = true;
    AppOptions* options = nullptr;
};

// English, Star, single row, low volume, everything off: every choice below differs.
AppOptions StartRecord() {
    AppOptions o;
    o.language = 0;
    o.analysisView = 0;
    o.resultHistoryLength = 1;
    o.pcKeyboardLayout = 1;
    o.midiVolume = 0;
    o.docking = o.snapping = 0;
    o.noteLetters = o.playAlong = 0;
    o.alwaysContinue = o.autoAdvance = o.useVoiceActivityDetection = o.keepRecordings = 0;
    return o;
}

struct Rig {
    AppOptions options = StartRecord();
    RecordingListener listener;
    FakeDevices devices;
    std::vector<AppOptions::FileImage> saved;
    OptionsEdit edit{options, listener, &devices, [this](const AppOptions& o) {
                         saved.push_back(o.ToFileImage());
                         return true;
                     }};
    void ChooseAll() {
        edit.ChooseLanguage(1);
        edit.ChooseAnalysisView(5);
        edit.ChooseKeyboardLayout(1);
        edit.ChooseMidiVolume(2);
    }
};

TEST(OptionsEditTest, HistoryLengthByView) {
    const int expected[] = {1, 1, 5, 5, 10, 10};
    for (int view = 0; view < 6; ++view) {
        EXPECT_EQ(OptionsEdit::HistoryLengthForView(view), expected[view]) << view;
    }
    EXPECT_EQ(OptionsEdit::HistoryLengthForView(9), 5);
}

TEST(OptionsEditTest, LiveChoicesApplyAtOnceAndTellTheWindows) {
    Rig rig;
    rig.ChooseAll();
    EXPECT_EQ(rig.options.language, 1);
    EXPECT_EQ(rig.options.analysisView, 5);
    EXPECT_EQ(rig.options.resultHistoryLength, 10);
    EXPECT_EQ(rig.options.pcKeyboardLayout, 2);
    EXPECT_EQ(rig.options.midiVolume, 2);
    EXPECT_EQ(rig.listener.changes,
              (std::vector<Change>{Change::Language, Change::AnalysisView, Change::KeyboardLayout,
                                   Change::MidiVolume}));
    EXPECT_TRUE(rig.saved.empty());
}

TEST(OptionsEditTest, OutOfRangeChoicesChangeNothing) {
    Rig rig;
    rig.edit.ChooseLanguage(2);
    rig.edit.ChooseAnalysisView(6);
    rig.edit.ChooseAnalysisView(-1);
    rig.edit.ChooseKeyboardLayout(2);
    rig.edit.ChooseMidiVolume(3);
    EXPECT_EQ(rig.options.ToFileImage(), StartRecord().ToFileImage());
    EXPECT_TRUE(rig.listener.changes.empty());
}

TEST(OptionsEditTest, CancelRestoresLiveChoicesAndSavesNothing) {
    Rig rig;
    rig.ChooseAll();
    rig.listener.changes.clear();
    rig.edit.Cancel();
    EXPECT_EQ(rig.options.ToFileImage(), StartRecord().ToFileImage());
    EXPECT_EQ(rig.listener.changes,
              (std::vector<Change>{Change::Language, Change::KeyboardLayout, Change::AnalysisView,
                                   Change::MidiVolume}));
    EXPECT_TRUE(rig.saved.empty());
}

TEST(OptionsEditTest, OkTakesChecksAndSavesEverything) {
    OptionsEdit::Checks allOn;
    allOn.docking = allOn.noteLetters = allOn.playAlong = allOn.alwaysContinue = true;
    allOn.autoAdvance = allOn.useVoiceActivityDetection = allOn.keepRecordings = true;
    OptionsEdit::Checks someOn;
    someOn.noteLetters = someOn.keepRecordings = true;
    for (const OptionsEdit::Checks& checks : {allOn, someOn, OptionsEdit::Checks{}}) {
        Rig rig;
        rig.ChooseAll();
        rig.edit.Ok(checks);
        ASSERT_EQ(rig.saved.size(), 1u);
        AppOptions fromFile;
        ASSERT_TRUE(fromFile.FromFileImage(rig.saved[0].data(), rig.saved[0].size()));
        EXPECT_EQ(fromFile.language, 1);
        EXPECT_EQ(fromFile.analysisView, 5);
        EXPECT_EQ(fromFile.resultHistoryLength, 10);
        EXPECT_EQ(fromFile.pcKeyboardLayout, 2);
        EXPECT_EQ(fromFile.midiVolume, 2);
        EXPECT_EQ(fromFile.docking, checks.docking ? 1 : 0);
        EXPECT_EQ(fromFile.snapping, checks.docking ? 1 : 0);
        EXPECT_EQ(fromFile.noteLetters, checks.noteLetters ? 1 : 0);
        EXPECT_EQ(fromFile.playAlong, checks.playAlong ? 1 : 0);
        EXPECT_EQ(fromFile.alwaysContinue, checks.alwaysContinue ? 1 : 0);
        EXPECT_EQ(fromFile.autoAdvance, checks.autoAdvance ? 1 : 0);
        EXPECT_EQ(fromFile.useVoiceActivityDetection, checks.useVoiceActivityDetection ? 1 : 0);
        EXPECT_EQ(fromFile.keepRecordings, checks.keepRecordings ? 1 : 0);
        EXPECT_EQ(rig.saved[0], rig.options.ToFileImage());
        EXPECT_EQ(rig.listener.changes.back(), Change::PlayAlong);
    }
}

TEST(OptionsEditTest, SetStoresTheDeviceButNotCancellableChoices) {
    Rig rig;
    rig.devices.names = {"In A", "In B"};
    rig.devices.selected = 0;
    rig.devices.options = &rig.options;
    OptionsEdit edit(rig.options, rig.listener, &rig.devices, [&rig](const AppOptions& o) {
        rig.saved.push_back(o.ToFileImage());
        return true;
    });
    EXPECT_EQ(edit.MidiInputSelection(), 0);
    edit.ChooseLanguage(1);
    edit.ChooseAnalysisView(3);
    edit.ChooseKeyboardLayout(1);
    edit.ChooseMidiInput(1);
    ASSERT_TRUE(edit.SetEnabled());
    ASSERT_TRUE(edit.SetMidiInput());
    EXPECT_FALSE(edit.SetEnabled());
    ASSERT_EQ(rig.saved.size(), 1u);
    AppOptions onDisk;
    ASSERT_TRUE(onDisk.FromFileImage(rig.saved[0].data(), rig.saved[0].size()));
    EXPECT_STREQ(onDisk.midiInputName, "In B");
    EXPECT_EQ(onDisk.language, 0);
    EXPECT_EQ(onDisk.analysisView, 0);
    EXPECT_EQ(onDisk.resultHistoryLength, 1);
    EXPECT_EQ(onDisk.pcKeyboardLayout, 1);
    // In memory the live choices stand until Cancel; the device stays after it.
    EXPECT_EQ(rig.options.language, 1);
    edit.Cancel();
    EXPECT_EQ(rig.options.language, 0);
    EXPECT_STREQ(rig.options.midiInputName, "In B");
}

TEST(OptionsEditTest, MidiInputChoicesAndSetButton) {
    struct Case {
        const char* name;
        std::vector<std::string> devices;
        int keyboardSelection;
        int expectedSelection;
        int choose;
        bool setEnabled;
    };
    const Case cases[] = {
        {"none", {}, -1, -1, 0, false},
        {"one device", {"Only"}, 0, 0, 0, false},
        {"several, keyboard's choice", {"A", "B", "C"}, 2, 2, 2, false},
        {"several, another chosen", {"A", "B", "C"}, 2, 2, 0, true},
        {"several, none selected", {"A", "B"}, -1, -1, 1, true},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.devices.names = c.devices;
        rig.devices.selected = c.keyboardSelection;
        OptionsEdit edit(rig.options, rig.listener, &rig.devices, nullptr);
        EXPECT_EQ(edit.MidiInputItems(), c.devices) << c.name;
        EXPECT_EQ(edit.MidiInputSelection(), c.expectedSelection) << c.name;
        EXPECT_FALSE(edit.SetEnabled()) << c.name;
        edit.ChooseMidiInput(c.choose);
        EXPECT_EQ(edit.SetEnabled(), c.setEnabled) << c.name;
    }
}

TEST(OptionsEditTest, FailedSetKeepsSetDisabled) {
    Rig rig;
    rig.devices.names = {"A", "B"};
    rig.devices.selected = 0;
    rig.devices.opens = false;
    OptionsEdit edit(rig.options, rig.listener, &rig.devices, [&rig](const AppOptions& o) {
        rig.saved.push_back(o.ToFileImage());
        return true;
    });
    edit.ChooseMidiInput(1);
    EXPECT_FALSE(edit.SetMidiInput());
    EXPECT_TRUE(rig.saved.empty());
    edit.ChooseMidiInput(0);
    edit.ChooseMidiInput(1);
    EXPECT_FALSE(edit.SetEnabled());
}

TEST(OptionsEditTest, NoKeyboardMeansNoMidiInput) {
    AppOptions options = StartRecord();
    RecordingListener listener;
    OptionsEdit edit(options, listener, nullptr, nullptr);
    EXPECT_TRUE(edit.MidiInputItems().empty());
    edit.ChooseMidiInput(0);
    EXPECT_FALSE(edit.SetEnabled());
    EXPECT_FALSE(edit.SetMidiInput());
}

}  // namespace
}  // namespace melvora
