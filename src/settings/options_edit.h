#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/app_options.h"

namespace melvora {

class MidiInputDevices;
class SettingsListener;

// What the options dialog does to the options record, without the window. Language,
// analysis view (with its history length), PC keyboard layout and MIDI volume apply at once
// and are undone by Cancel; the check boxes are taken by OK, which saves options.dat; Set
// switches the MIDI input and saves the file as it would be after Cancel, so a choice that
// Cancel undoes never reaches the disk.
class OptionsEdit {
  public:
    // Writes the record to options.dat (AppOptions::Save in the program).
    using Saver = std::function<bool(const AppOptions&)>;

    // The check boxes of the dialog.
    struct Checks {
        bool docking = false;
        bool noteLetters = false;
        bool playAlong = false;
        bool alwaysContinue = false;
        bool autoAdvance = false;
        bool useVoiceActivityDetection = false;
        bool keepRecordings = false;
    };

    // Remembers the settings Cancel restores. `devices` may be null (no keyboard).
    OptionsEdit(AppOptions& options, SettingsListener& listener, MidiInputDevices* devices,
                Saver saver);

    // Results kept for the animation by view: 1 for the stars, 5 for the circles, 10 for
    // the 3D views (5 for values outside 0..5).
    static int HistoryLengthForView(int view);

    // Combo selections (indexes as the combos list them).
    void ChooseLanguage(int index);
    void ChooseAnalysisView(int index);
    void ChooseKeyboardLayout(int index);  // layout = index + 1
    void ChooseMidiVolume(int index);
    void ChooseMidiInput(int index);

    int LanguageIndex() const { return options_.UiLanguage(); }
    int AnalysisViewIndex() const { return options_.analysisView; }
    int KeyboardLayoutIndex() const { return options_.pcKeyboardLayout == 1 ? 0 : 1; }
    int MidiVolumeIndex() const;

    // MIDI input combo: the device names, or none (the dialog shows "MIDI not available..")
    // with no devices; the item to select (-1 none) and whether Set is enabled.
    const std::vector<std::string>& MidiInputItems() const { return midiItems_; }
    int MidiInputSelection() const { return midiSelection_; }
    bool SetEnabled() const { return setEnabled_; }
    // Set: switches to the chosen device. Returns true when it opened.
    bool SetMidiInput();

    Checks InitialChecks() const;
    // OK: takes the check boxes and the live choices, saves options.dat.
    void Ok(const Checks& checks);
    // Cancel, Close, Esc: restores the live choices as they were at the start.
    void Cancel();

  private:
    // The record as Cancel would leave it.
    AppOptions CommittedRecord() const;

    AppOptions& options_;
    SettingsListener& listener_;
    MidiInputDevices* devices_;
    Saver saver_;
    int startLanguage_;
    int startView_;
    int startHistoryLength_;
    int startLayout_;
    int startVolume_;
    std::vector<std::string> midiItems_;
    int midiSelection_ = -1;
    bool setEnabled_ = false;
    // A failed switch emptied the keyboard's list: Set stays disabled.
    bool setBroken_ = false;
};

}  // namespace melvora
