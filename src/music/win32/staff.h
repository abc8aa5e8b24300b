#pragma once

#include <windows.h>

#include <GL/gl.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/result_listener.h"
#include "music/staff_geometry.h"
#include "music/win32/note_mouse_view.h"

namespace melvora {

class CKeyboard;
class MidiSender;

// The staff (C4 to B4): marks the sung pitch with a bar at its exact place between the notes
// and its name, green when in tune; colours the sung semitone's note; and plays a note
// clicked with the mouse on the shared MIDI output, lighting its key on the keyboard.
//
// Threads: OnResultPublished runs on the audio worker and only posts the pitch to this
// window (kPitchMessage); everything else runs on the window thread.
class CStaff : public CNoteMouseView, public ResultListener {
  public:
    // wParam: the pitch's float bits.
    static constexpr UINT kPitchMessage = WM_APP + 42;

    explicit CStaff(MidiSender& output);
    ~CStaff() override;

    void SetKeyboard(CKeyboard* keyboard) { keyboard_ = keyboard; }

    // The pitch to mark (0: none).
    void SetPitch(float pitchHz);
    void ClearPitch() { SetPitch(0.0f); }
    // Semitones 0..11 only; `tellKeyboard` mirrors the change on the keyboard's key.
    void HighlightNote(int semitone, bool pressed, bool tellKeyboard);
    void ReleaseNote(int semitone, bool tellKeyboard);

    // ResultListener: the worker posts, the window thread clears.
    void OnResultPublished(const ResultRecord& record) override;
    void OnResultsReset() override { ClearPitch(); }

    float Pitch() const { return pitchHz_; }
    int SungSemitone() const { return sungSemitone_; }
    bool IsHighlighted(int semitone) const;
    int HoveredNote() const { return mouse_.Hovered(); }
    // A client point (y down) on the note head of `semitone`; the marker's centre x for
    // `semitones` above C4; a pixel of the picture on the screen, read back from OpenGL.
    POINT NotePoint(int semitone) const;
    int MarkerX(float semitones) const;
    bool ReadPixel(int x, int y, float rgba[4]);

  protected:
    void OnGLCreate(HDC dc) override;
    void OnGLSize(int cx, int cy) override;
    void OnGLPaint() override;
    void OnGLDestroy() override;
    std::wstring RegionToolTipText() const override;
    int ItemAt(int x, int y) override;
    LRESULT OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // NoteMouseHost
    void Highlight(int item, bool pressed) override;
    void Unhighlight(int item) override;
    void NoteOn(int item) override;
    void NoteOff(int item) override;
    void AllNotesOff() override;

    enum Texture { kClef, kClefHalo, kNote, kNoteHalo, kNoteMask, kSharp, kSharpHalo, kSharpMask };
    void LoadTexture(UINT bitmapId, GLuint texture);
    void DrawColumns(Texture sharp, Texture note, bool picking, bool halo) const;
    int Pick(int x, int yFromBottom);
    void PaintPicture();
    void PaintPicking();

    MidiSender& output_;
    CKeyboard* keyboard_ = nullptr;
    std::atomic<HWND> target_{nullptr};
    bool picking_ = false;  // the next frame draws the picking colours
    std::vector<uint8_t> frame_;
    float pitchHz_ = 0.0f;
    int sungSemitone_ = -1;
    float noteColours_[StaffGeometry::kNotes][4];
    bool notePressed_[StaffGeometry::kNotes] = {};
    GLuint textures_[8] = {};
};

}  // namespace melvora
