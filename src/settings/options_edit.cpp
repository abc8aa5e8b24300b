#include "settings/options_edit.h"

#include <utility>

#include "settings/midi_input_devices.h"
#include "settings/settings_listener.h"

namespace melvora {

OptionsEdit::OptionsEdit(AppOptions& options, SettingsListener& listener, MidiInputDevices* devices,
                         Saver saver)
    : options_(options),
      listener_(listener),
      devices_(devices),
      saver_(std::move(saver)),
      startLanguage_(options.language),
      startView_(options.analysisView),
      startHistoryLength_(options.resultHistoryLength),
      startLayout_(options.pcKeyboardLayout),
      startVolume_(options.midiVolume) {
    if (devices_ != nullptr) {
        midiItems_ = devices_->DeviceNames();
        if (midiItems_.size() == 1) {
            midiSelection_ = 0;
        } else if (midiItems_.size() > 1) {
            const int selected = devices_->SelectedDevice();
            midiSelection_ =
                selected >= 0 && selected < static_cast<int>(midiItems_.size()) ? selected : -1;
        }
    }
}

int OptionsEdit::HistoryLengthForView(int view) {
    switch (view) {
        case 0:
        case 1:
            return 1;
        case 4:
        case 5:
            return 10;
        default:
            return 5;
    }
}

int OptionsEdit::MidiVolumeIndex() const {
    return options_.midiVolume >= 0 && options_.midiVolume <= 2 ? options_.midiVolume : 1;
}

void OptionsEdit::ChooseLanguage(int index) {
    if (index != 0 && index != 1) {
        return;
    }
    options_.language = index;
    listener_.SettingsChanged(SettingsChange::Language);
}

void OptionsEdit::ChooseAnalysisView(int index) {
    if (index < 0 || index > 5) {
        return;
    }
    options_.analysisView = index;
    options_.resultHistoryLength = HistoryLengthForView(index);
    listener_.SettingsChanged(SettingsChange::AnalysisView);
}

void OptionsEdit::ChooseKeyboardLayout(int index) {
    if (index != 0 && index != 1) {
        return;
    }
    options_.pcKeyboardLayout = index + 1;
    listener_.SettingsChanged(SettingsChange::KeyboardLayout);
}

void OptionsEdit::ChooseMidiVolume(int index) {
    if (index < 0 || index > 2) {
        return;
    }
    options_.midiVolume = index;
    listener_.SettingsChanged(SettingsChange::MidiVolume);
}

void OptionsEdit::ChooseMidiInput(int index) {
    midiSelection_ = index;
    if (devices_ == nullptr || midiItems_.empty() || setBroken_) {
        setEnabled_ = false;
        return;
    }
    setEnabled_ = index >= 0 && index < static_cast<int>(midiItems_.size()) &&
                  index != devices_->SelectedDevice();
}

bool OptionsEdit::SetMidiInput() {
    if (!setEnabled_ || devices_ == nullptr) {
        return false;
    }
    setEnabled_ = false;
    if (!devices_->SelectDevice(midiSelection_)) {
        setBroken_ = true;
        return false;
    }
    // The device is kept whatever closes the dialog, but choices Cancel may still undo
    // must not reach the file with it.
    saver_(CommittedRecord());
    return true;
}

AppOptions OptionsEdit::CommittedRecord() const {
    AppOptions record = options_;
    record.language = startLanguage_;
    record.analysisView = startView_;
    record.resultHistoryLength = startHistoryLength_;
    record.pcKeyboardLayout = startLayout_;
    record.midiVolume = startVolume_;
    return record;
}

OptionsEdit::Checks OptionsEdit::InitialChecks() const {
    Checks checks;
    checks.docking = options_.docking != 0;
    checks.noteLetters = options_.noteLetters != 0;
    checks.playAlong = options_.playAlong != 0;
    checks.alwaysContinue = options_.alwaysContinue != 0;
    checks.autoAdvance = options_.autoAdvance != 0;
    checks.useVoiceActivityDetection = options_.useVoiceActivityDetection != 0;
    checks.keepRecordings = options_.keepRecordings != 0;
    return checks;
}

void OptionsEdit::Ok(const Checks& checks) {
    const Checks before = InitialChecks();
    const uint8_t docking = checks.docking ? 1 : 0;
    options_.docking = docking;
    options_.snapping = docking;
    options_.noteLetters = checks.noteLetters ? 1 : 0;
    options_.playAlong = checks.playAlong ? 1 : 0;
    options_.alwaysContinue = checks.alwaysContinue ? 1 : 0;
    options_.autoAdvance = checks.autoAdvance ? 1 : 0;
    options_.useVoiceActivityDetection = checks.useVoiceActivityDetection ? 1 : 0;
    options_.keepRecordings = checks.keepRecordings ? 1 : 0;
    options_.resultHistoryLength = HistoryLengthForView(options_.analysisView);
    if (checks.docking != before.docking) {
        listener_.SettingsChanged(SettingsChange::Docking);
    }
    if (checks.noteLetters != before.noteLetters) {
        listener_.SettingsChanged(SettingsChange::NoteLetters);
    }
    // The keyboard silences its notes and shows the switch whether or not it changed.
    listener_.SettingsChanged(SettingsChange::PlayAlong);
    saver_(options_);
}

void OptionsEdit::Cancel() {
    if (options_.language != startLanguage_) {
        options_.language = startLanguage_;
        listener_.SettingsChanged(SettingsChange::Language);
    }
    if (options_.pcKeyboardLayout != startLayout_) {
        options_.pcKeyboardLayout = startLayout_;
        listener_.SettingsChanged(SettingsChange::KeyboardLayout);
    }
    if (options_.analysisView != startView_ ||
        options_.resultHistoryLength != startHistoryLength_) {
        options_.analysisView = startView_;
        options_.resultHistoryLength = startHistoryLength_;
        listener_.SettingsChanged(SettingsChange::AnalysisView);
    }
    if (options_.midiVolume != startVolume_) {
        options_.midiVolume = startVolume_;
        listener_.SettingsChanged(SettingsChange::MidiVolume);
    }
}

}  // namespace melvora
