#pragma once

#include <windows.h>

#include <memory>

#include "app/win32/floating_frame_dlg.h"
#include "music/win32/keyboard.h"
#include "platform/midi_in.h"
#include "ui/win32/new_deck_button.h"

namespace melvora {

class SharedMidiOutput;

// The keyboard window (template 130): the title row, the Device, PC keyboard layout and MIDI
// volume menu buttons, the play-along switch and the piano view below them.
class CKeyboardDlg : public CFloatingFrameDlg {
  public:
    CKeyboardDlg(const FloatingWindowDescriptor& description, FloatingWindowOwner& owner,
                 SharedMidiOutput& output, std::unique_ptr<MidiIn> input);
    ~CKeyboardDlg() override;

    CKeyboard& Keyboard() { return keyboard_; }
    CNewDeckButton& PlayAlongSwitch() { return playAlong_; }
    void ApplyLanguage(int language) override;
    // The PC keyboard layout, play-along, note names and MIDI volume of the options take
    // effect at once.
    void SettingsChanged(SettingsChange change) override;

  protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnActivated(bool active) override;

  private:
    void Layout(int cx, int cy);
    void OnMenuButton(int buttonId);
    void OnCommand(int id);
    void TogglePlayAlong();
    HMENU BuildMenu(int buttonId) const;

    CKeyboard keyboard_;
    CNewDeckButton device_;
    CNewDeckButton layout_;
    CNewDeckButton volume_;
    CNewDeckButton playAlong_;
    CNewDeckButton spacer_;
};

}  // namespace melvora
