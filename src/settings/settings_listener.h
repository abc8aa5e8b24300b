#pragma once

namespace melvora {

// A setting in the options record changed. The main controls window implements this and
// hands each change to the windows that show the setting.
enum class SettingsChange {
    Language,        // every open window re-labels itself
    AnalysisView,    // analysis view style and the result history length
    KeyboardLayout,  // PC keyboard layout: the keyboard's key letters
    PlayAlong,       // play-along switch (all notes off first)
    NoteLetters,     // note names with letters or solfege
    Docking,         // docking and snapping of the floating windows
    MidiVolume,      // the keyboard's MIDI volume
};

class SettingsListener {
  public:
    virtual ~SettingsListener() = default;
    virtual void SettingsChanged(SettingsChange change) = 0;
};

}  // namespace melvora
