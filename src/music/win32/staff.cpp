#include "music/win32/staff.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include "analysis/note.h"
#include "app/app_options.h"
#include "music/midi_message.h"
#include "music/midi_sender.h"
#include "music/win32/keyboard.h"
#include "platform/win32/paint_dc.h"
#include "platform/win32/resource_strings.h"

namespace melvora {

namespace {

constexpr UINT kTextureBitmaps[8] = {332, 331, 334, 333, 335, 337, 336, 338};
constexpr float kNormal[4] = {0.0f, 0.0f, 1.0f, 1.0f};
constexpr float kHovered[4] = {0.3f, 0.5f, 1.0f, 1.0f};
constexpr float kPressed[4] = {0.4f, 0.0f, 0.6f, 1.0f};
constexpr float kSung[4] = {0.0f, 0.7f, 0.0f, 1.0f};
constexpr float kMarker[4] = {0.8f, 0.878f, 0.969f, 0.5f};
constexpr float kMarkerInTune[4] = {0.855f, 0.94f, 0.82f, 0.5f};
constexpr float kName[4] = {0.0f, 0.0f, 1.0f, 1.0f};
constexpr float kNameInTune[4] = {0.0f, 0.6f, 0.0f, 1.0f};
constexpr int kNoteVelocity = 64;

void Quad(const KeyQuad& q, bool textured) {
    glBegin(GL_QUADS);
    if (textured) {
        glTexCoord2f(0.0f, 0.0f);
    }
    glVertex2f(q.left, q.bottom);
    if (textured) {
        glTexCoord2f(1.0f, 0.0f);
    }
    glVertex2f(q.right, q.bottom);
    if (textured) {
        glTexCoord2f(1.0f, 1.0f);
    }
    glVertex2f(q.right, q.top);
    if (textured) {
        glTexCoord2f(0.0f, 1.0f);
    }
    glVertex2f(q.left, q.top);
    glEnd();
}

int MidiNote(int semitone) {
    return (StaffGeometry::kOctave + 1) * 12 + semitone;
}

}  // namespace

CStaff::CStaff(MidiSender& output) : output_(output) {
    for (auto& colour : noteColours_) {
        std::memcpy(colour, kNormal, sizeof(kNormal));
    }
}

CStaff::~CStaff() {
    target_.store(nullptr);
    DestroyWindow();
}

void CStaff::OnGLCreate(HDC dc) {
    SetLanguage(Options().UiLanguage());
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    const float envColour[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, envColour);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenTextures(8, textures_);
    for (int i = 0; i < 8; ++i) {
        LoadTexture(kTextureBitmaps[i], textures_[i]);
    }
    BuildOutlineFont(dc, L"Comic Sans MS");
    target_.store(Handle());
}

void CStaff::OnGLDestroy() {
    target_.store(nullptr);
    glDeleteTextures(8, textures_);
}

void CStaff::LoadTexture(UINT bitmapId, GLuint texture) {
    DIBSECTION dib;
    const CBitmapHandle bitmap = LoadDibSection(bitmapId, 32, &dib);
    if (bitmap) {
        const float border[4] = {1.0f, 1.0f, 1.0f, 0.0f};
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, dib.dsBm.bmWidth,
                     std::abs(dib.dsBm.bmHeight), 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                     dib.dsBm.bmBits);
    }
}

void CStaff::OnGLSize(int, int) {
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
}

// ---- State ----

void CStaff::SetPitch(float pitchHz) {
    // Every published result brings the pitch; the same pitch draws the same staff.
    if (pitchHz == pitchHz_) {
        return;
    }
    pitchHz_ = pitchHz;
    sungSemitone_ = pitchHz != 0.0f ? Note::FromFrequency(pitchHz).semitone : -1;
    if (Handle() != nullptr) {
        ::InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void CStaff::OnResultPublished(const ResultRecord& record) {
    HWND target = target_.load();
    if (target != nullptr) {
        uint32_t bits = 0;
        std::memcpy(&bits, &record.pitchHz, sizeof(bits));
        ::PostMessageW(target, kPitchMessage, static_cast<WPARAM>(bits), 0);
    }
}

bool CStaff::IsHighlighted(int semitone) const {
    return semitone >= 0 && semitone < StaffGeometry::kNotes && notePressed_[semitone];
}

void CStaff::HighlightNote(int semitone, bool pressed, bool tellKeyboard) {
    if (semitone < 0 || semitone >= StaffGeometry::kNotes) {
        return;
    }
    std::memcpy(noteColours_[semitone], pressed ? kPressed : kHovered, sizeof(kPressed));
    notePressed_[semitone] = true;
    if (tellKeyboard && keyboard_ != nullptr) {
        keyboard_->PressKeyByMessage(midi::Pack(midi::kNoteOn, MidiNote(semitone)),
                                     pressed ? PianoKeyboard::kPressed : PianoKeyboard::kHover,
                                     false, true);
    }
    if (Handle() != nullptr) {
        ::InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void CStaff::ReleaseNote(int semitone, bool tellKeyboard) {
    if (semitone < 0 || semitone >= StaffGeometry::kNotes) {
        return;
    }
    std::memcpy(noteColours_[semitone], kNormal, sizeof(kNormal));
    notePressed_[semitone] = false;
    if (tellKeyboard && keyboard_ != nullptr) {
        keyboard_->ReleaseKey(keyboard_->Keys().SlotOfMidiNote(MidiNote(semitone)), false, true);
    }
    if (Handle() != nullptr) {
        ::InvalidateRect(Handle(), nullptr, FALSE);
    }
}

// NoteMouseHost

void CStaff::Highlight(int item, bool pressed) {
    HighlightNote(item, pressed, true);
}

void CStaff::Unhighlight(int item) {
    ReleaseNote(item, true);
}

void CStaff::NoteOn(int item) {
    output_.Send(midi::NoteOn(MidiNote(item), kNoteVelocity));
}

void CStaff::NoteOff(int item) {
    output_.Send(midi::NoteOff(MidiNote(item)));
}

void CStaff::AllNotesOff() {
    output_.Send(midi::AllNotesOff());
}

// ---- Drawing ----

void CStaff::DrawColumns(Texture sharp, Texture note, bool picking, bool halo) const {
    for (int i = 0; i < StaffGeometry::kNotes; ++i) {
        float colour[4];
        if (picking) {
            StaffGeometry::PickingColour(i, colour);
        } else if (halo) {
            colour[0] = colour[1] = colour[2] = colour[3] = 1.0f;
        } else {
            std::memcpy(colour, i == sungSemitone_ ? kSung : noteColours_[i], sizeof(colour));
        }
        glColor4fv(colour);
        if (StaffGeometry::HasSharp(i)) {
            glBindTexture(GL_TEXTURE_2D, textures_[sharp]);
            Quad(StaffGeometry::SharpQuad(i), true);
        }
        glBindTexture(GL_TEXTURE_2D, textures_[note]);
        Quad(StaffGeometry::NoteQuad(i), true);
    }
}

void CStaff::OnGLPaint() {
    if (picking_) {
        PaintPicking();
    } else {
        PaintPicture();
    }
}

void CStaff::PaintPicture() {
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    for (int k = 0; k < 5; ++k) {
        Quad(StaffGeometry::StaffLine(k), false);
    }
    Quad(StaffGeometry::LedgerLine(), false);

    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, textures_[kClefHalo]);
    Quad(StaffGeometry::Clef(), true);
    DrawColumns(kSharpHalo, kNoteHalo, false, true);
    glDisable(GL_TEXTURE_2D);

    if (pitchHz_ != 0.0f) {
        const float s = StaffGeometry::MarkerSemitones(pitchHz_);
        const float tolerance = Options().tuningToleranceSemitones;
        const bool inTune = StaffGeometry::InTune(
            s, tolerance > 0.0f && tolerance < 0.5f ? tolerance
                                                    : StaffGeometry::kDefaultToleranceSemitones);
        const float centre = StaffGeometry::MarkerCentreX(s);
        glColor4fv(inTune ? kMarkerInTune : kMarker);
        Quad({centre - 0.5f * StaffGeometry::kMarkerWidth, 1.0f,
              centre + 0.5f * StaffGeometry::kMarkerWidth, 0.0f},
             false);
        const Note note = Note::FromFrequency(pitchHz_);
        const std::wstring name = Utf8ToWide(note.Name(false, Options().noteLetters != 0));
        const float letterHeight = TextLayout().LetterHeight();
        const float reference = TextLayout().Width(L"Sol#7");
        if (letterHeight > 0.0f && reference > 0.0f) {
            const float scaleX = 0.09f / reference;
            const float scaleY = 0.175f / letterHeight;
            glColor4fv(inTune ? kNameInTune : kName);
            glPushMatrix();
            glTranslatef(centre - 0.5f * scaleX * TextLayout().Width(name),
                         StaffGeometry::NameBaseline(note.octave), 0.0f);
            glScalef(scaleX, scaleY, 1.0f);
            DrawText(name);
            glPopMatrix();
        }
    }

    glEnable(GL_TEXTURE_2D);
    glColor4fv(kNormal);
    glBindTexture(GL_TEXTURE_2D, textures_[kClef]);
    Quad(StaffGeometry::Clef(), true);
    DrawColumns(kSharp, kNote, false, false);
    glDisable(GL_TEXTURE_2D);
}

void CStaff::PaintPicking() {
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
    DrawColumns(kSharpMask, kNoteMask, true, false);
    glDisable(GL_TEXTURE_2D);
}

int CStaff::Pick(int x, int yFromBottom) {
    // The picking colours are drawn into the back buffer only and read back; the picture on
    // the screen is not swapped.
    picking_ = true;
    int width = 0;
    int height = 0;
    const bool drawn = CaptureFrame(&frame_, &width, &height);
    picking_ = false;
    if (!drawn || x < 0 || yFromBottom < 0 || x >= width || yFromBottom >= height) {
        return -1;
    }
    const size_t at =
        (static_cast<size_t>(yFromBottom) * static_cast<size_t>(width) + static_cast<size_t>(x)) *
        3;
    const float pixel[4] = {frame_[at] / 255.0f, frame_[at + 1] / 255.0f, frame_[at + 2] / 255.0f,
                            1.0f};
    return StaffGeometry::PickedSemitone(pixel);
}

bool CStaff::ReadPixel(int x, int y, float rgba[4]) {
    int width = 0;
    int height = 0;
    if (!CaptureFrame(&frame_, &width, &height) || x < 0 || y < 0 || x >= width || y >= height) {
        return false;
    }
    const size_t at = (static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width) +
                       static_cast<size_t>(x)) *
                      3;
    rgba[0] = frame_[at] / 255.0f;
    rgba[1] = frame_[at + 1] / 255.0f;
    rgba[2] = frame_[at + 2] / 255.0f;
    rgba[3] = 1.0f;
    return true;
}

POINT CStaff::NotePoint(int semitone) const {
    // The note head sits in the lower part of the note picture.
    const KeyQuad q = StaffGeometry::NoteQuad(semitone);
    const float x = 0.5f * (q.left + q.right);
    const float y = q.bottom + 0.12f * (q.top - q.bottom);
    return POINT{static_cast<LONG>(x * static_cast<float>(WidthPixels())),
                 static_cast<LONG>((1.0f - y) * static_cast<float>(HeightPixels()))};
}

int CStaff::MarkerX(float semitones) const {
    return static_cast<int>(StaffGeometry::MarkerCentreX(semitones) *
                            static_cast<float>(WidthPixels()));
}

// ---- Messages ----

int CStaff::ItemAt(int x, int y) {
    return Pick(x, HeightPixels() - 1 - y);
}

std::wstring CStaff::RegionToolTipText() const {
    const int note = mouse_.Hovered();
    if (note < 0) {
        return std::wstring();
    }
    return Utf8ToWide(
        Note{StaffGeometry::kOctave, note}.Label(Options().noteLetters != 0, Language()));
}

LRESULT CStaff::OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KILLFOCUS:
            mouse_.FocusLost();
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (keyboard_ != nullptr && keyboard_->HandleKey(message, wParam, lParam)) {
                return 0;
            }
            break;
        case kPitchMessage: {
            float pitch = 0.0f;
            const uint32_t bits = static_cast<uint32_t>(wParam);
            std::memcpy(&pitch, &bits, sizeof(pitch));
            SetPitch(pitch);
            return 0;
        }
        default:
            break;
    }
    return CNoteMouseView::OnViewMessage(message, wParam, lParam);
}

}  // namespace melvora
