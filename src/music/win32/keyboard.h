#pragma once

#include <windows.h>

#include <GL/gl.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/result_listener.h"
#include "music/midi_input_router.h"
#include "music/pc_keyboard_player.h"
#include "music/piano_keyboard.h"
#include "music/play_along.h"
#include "platform/midi_in.h"
#include "music/win32/note_mouse_view.h"
#include "settings/midi_input_devices.h"

namespace melvora {

class CStaff;
class SharedMidiOutput;

// The 88-key piano (A0 to C8) drawn with OpenGL. It plays on the shared MIDI output with the
// mouse, the PC keyboard (keys handed on by the floating windows) and a MIDI input device,
// and plays along with the singer. Highlighted keys are mirrored on the staff.
//
// Threads: everything runs on the window thread except OnResultPublished (the audio worker:
// play-along only sends notes) and the MIDI input callback (echoes at once, posts the key
// changes to this window as kKeyLightMessage).
class CKeyboard : public CNoteMouseView,
                  public ResultListener,
                  public MidiInputDevices,
                  private PcKeyboardHost {
  public:
    // wParam: KeyLight action (1 press, 2 release), lParam: slot.
    static constexpr UINT kKeyLightMessage = WM_APP + 41;

    CKeyboard(SharedMidiOutput& output, std::unique_ptr<MidiIn> input);
    ~CKeyboard() override;

    bool Create(HWND parent, const RECT& rect, UINT id);
    void SetStaff(CStaff* staff) { staff_ = staff; }

    // The operations the staff, the dialog and the options use. Slots outside the keyboard
    // are ignored. `mirror` tells the staff; `label` sets or clears the note label.
    void PressKey(int slot, int kind, bool mirror, bool label);
    void ReleaseKey(int slot, bool mirror, bool label);
    void PressKeyByMessage(uint32_t message, int kind, bool mirror, bool label);
    void AllNotesOff();
    void SetPcOctave(int octave) { pcPlayer_.SetOctave(octave); }
    void SetLayout(int32_t layoutOption) { pcPlayer_.SetLayout(layoutOption); }
    void SetMidiVolume(int32_t level);
    void SetPlayAlong(bool on) { playAlongOn_.store(on); }
    void SelectProgram(int program);
    // The note names changed (letters or solfege): the note label follows.
    void NoteNamesChanged();
    // A key message from any floating window; true when it belongs to the piano.
    bool HandleKey(UINT message, WPARAM virtualKey, LPARAM flags);
    bool PlayPcKey(bool down, int virtualKey, bool repeat);
    // Keys held down are let go (their key-ups will go to another window).
    void ReleasePcKeys() { pcPlayer_.ReleaseAll(); }
    // The window lost the keys and the mouse: held keys are let go, all notes off.
    void LetGo();

    // ResultListener (audio worker thread): the play-along step.
    void OnResultPublished(const ResultRecord& record) override;

    // MidiInputDevices (the options window's list). SelectDevice closes the device in use,
    // opens and starts device `index` and keeps its name in the options record without saving
    // the file; false (after telling the user, the list emptied) when it cannot.
    std::vector<std::string> DeviceNames() const override { return inputNames_; }
    int SelectedDevice() const override { return selectedInput_; }
    bool SelectDevice(int index) override;

    const PianoKeyboard& Keys() const { return keys_; }
    const std::string& NoteLabel() const { return noteLabel_; }
    int HoveredKey() const { return mouse_.Hovered(); }
    const PcKeyboardPlayer& PcKeys() const { return pcPlayer_; }
    int SelectedMidiInput() const { return selectedInput_; }
    // A point in client pixels on the key of `slot` (for tests and tools).
    POINT KeyPoint(int slot) const;

  protected:
    void OnGLCreate(HDC dc) override;
    void OnGLSize(int cx, int cy) override;
    void OnGLPaint() override;
    void OnGLDestroy() override;
    std::wstring RegionToolTipText() const override;
    int ItemAt(int x, int y) override;
    LRESULT OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // PcKeyboardHost
    void StartTimer(int timerId, int periodMs) override;
    void KillTimer(int timerId) override;
    void PlayKey(int slot) override;
    void StopKey(int slot) override;
    void Invalidate() override;
    // NoteMouseHost
    void Highlight(int item, bool pressed) override;
    void Unhighlight(int item) override;
    void NoteOn(int item) override;
    void NoteOff(int item) override;

    void SetUpMidiInput();
    // Opens and starts device `index`; on success its name becomes the preference, and
    // options.dat is written when `save` says so.
    bool OpenMidiInput(int index, bool save);
    void ForgetMidiInput();
    void OnKeyLight(WPARAM action, LPARAM slot);
    void ResetToolTip();
    void LoadKeyTexture(UINT bitmapId, GLuint texture);
    void DrawShape(int slot, bool textured) const;
    void DrawLabel(const std::string& text) const;
    float TextWidth(const std::string& text) const;
    void SetLabel(int slot);

    SharedMidiOutput& output_;
    std::unique_ptr<MidiIn> input_;
    PianoKeyboard keys_;
    PcKeyboardPlayer pcPlayer_;
    PlayAlong playAlong_;
    MidiInputRouter router_;
    std::atomic<HWND> target_{nullptr};  // where the MIDI thread posts
    std::atomic<bool> playAlongOn_{false};
    CStaff* staff_ = nullptr;
    int velocity_ = 88;

    std::vector<std::string> inputNames_;
    int selectedInput_ = -1;

    RECT keyboardRect_ = {0, 0, 0, 0};
    RECT labelRect_ = {0, 0, 0, 0};
    float whiteKeyWidth_ = 0.0f;
    float keyLength_ = 0.0f;
    GLuint textures_[2] = {0, 0};  // black, white
    GLuint keyboardList_ = 0;
    std::string noteLabel_;
    int labelSlot_ = -1;  // the key the note label names
};

}  // namespace melvora
