#include "music/win32/keyboard.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "analysis/note.h"
#include "app/app_options.h"
#include "music/midi_message.h"
#include "music/shared_midi_output.h"
#include "music/win32/list_chooser.h"
#include "music/win32/staff.h"
#include "platform/midi_in.h"
#include "platform/string_table.h"
#include "platform/win32/paint_dc.h"
#include "platform/win32/resource_strings.h"
#include "string_ids.h"
#include "ui/win32/my_message_dlg.h"

namespace melvora {

namespace {

constexpr UINT kBlackKeyBitmap = 210;
constexpr UINT kWhiteKeyBitmap = 211;
constexpr int kMarginPixels = 5;
constexpr int kLabelStripPixels = 25;
constexpr float kLabelWidthPixels = 150.0f;
constexpr WPARAM kLightPress = 1;
constexpr WPARAM kLightRelease = 2;

}  // namespace

CKeyboard::CKeyboard(SharedMidiOutput& output, std::unique_ptr<MidiIn> input)
    : output_(output),
      input_(std::move(input)),
      pcPlayer_(keys_, *this, Options().pcKeyboardLayout),
      playAlong_(keys_, output),
      router_(keys_, output, [this](const KeyLight& light) {
          // The MIDI thread: the window is only told, never touched.
          HWND target = target_.load();
          if (target != nullptr) {
              ::PostMessageW(target, kKeyLightMessage,
                             light.action == KeyLight::Action::Press ? kLightPress : kLightRelease,
                             static_cast<LPARAM>(light.slot));
          }
      }) {}

CKeyboard::~CKeyboard() {
    ForgetMidiInput();
    DestroyWindow();
}

bool CKeyboard::Create(HWND parent, const RECT& rect, UINT id) {
    if (!CNoteMouseView::Create(parent, rect, id)) {
        return false;
    }
    // The devices are set up once the window exists and no rendering context is current:
    // their messages and the chooser run message loops of their own.
    const AppOptions& options = Options();
    SetMidiVolume(options.midiVolume);
    playAlongOn_.store(options.playAlong != 0);
    if (!output_.Open()) {
        ShowMessageBox(LoadText(IDS_CANNOT_OPEN_MIDI_OUT, Language()), L"", MB_OK, Handle(),
                       Language());
    } else {
        target_.store(Handle());
        SetUpMidiInput();
    }
    pcPlayer_.SetOctave(PcKeyboardPlayer::kInitialOctave);
    return true;
}

// ---- Creation and MIDI devices ----

void CKeyboard::OnGLCreate(HDC dc) {
    const AppOptions& options = Options();
    SetLanguage(options.UiLanguage());
    glClearColor(0.4f, 0.5f, 0.6f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenTextures(2, textures_);
    LoadKeyTexture(kBlackKeyBitmap, textures_[0]);
    LoadKeyTexture(kWhiteKeyBitmap, textures_[1]);

    // The plain keyboard, drawn from one list: only highlighted and tinted keys are drawn
    // again when painting.
    keyboardList_ = glGenLists(1);
    glNewList(keyboardList_, GL_COMPILE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (int slot = 0; slot < keys_.SlotCount(); ++slot) {
        DrawShape(slot, true);
    }
    glEndList();
    BuildOutlineFont(
        dc, Utf8ToWide(std::string(options.fontFace,
                                   ::strnlen(options.fontFace, sizeof(options.fontFace)))));
}

void CKeyboard::OnGLDestroy() {
    // No more key changes from the MIDI thread, and nothing left sounding.
    target_.store(nullptr);
    ForgetMidiInput();
    AllNotesOff();
    ::KillTimer(Handle(), PcKeyboardPlayer::kFadeStartTimer);
    ::KillTimer(Handle(), PcKeyboardPlayer::kFadeStepTimer);
    glDeleteTextures(2, textures_);
    glDeleteLists(keyboardList_, 1);
}

void CKeyboard::LoadKeyTexture(UINT bitmapId, GLuint texture) {
    DIBSECTION dib;
    const CBitmapHandle bitmap = LoadDibSection(bitmapId, 24, &dib);
    if (bitmap) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, dib.dsBm.bmWidth, std::abs(dib.dsBm.bmHeight), 0,
                     GL_BGR_EXT, GL_UNSIGNED_BYTE, dib.dsBm.bmBits);
    }
}

void CKeyboard::SetUpMidiInput() {
    if (!input_) {
        return;
    }
    const int count = input_->DeviceCount();
    inputNames_.clear();
    for (int i = 0; i < count; ++i) {
        inputNames_.push_back(input_->DeviceName(i));
    }
    int chosen = -1;
    if (count == 1) {
        chosen = 0;
    } else if (count > 1) {
        const AppOptions& options = Options();
        const std::string preferred(options.midiInputName,
                                    ::strnlen(options.midiInputName, AppOptions::kTextFieldBytes));
        for (int i = 0; i < count; ++i) {
            if (inputNames_[i].compare(0, AppOptions::kTextFieldBytes, preferred) == 0) {
                chosen = i;
            }
        }
        if (chosen < 0) {
            CListChooser chooser(Handle(), Language());
            chooser.SetCaption(LoadText(IDS_SELECT_MIDI_INPUT, Language()));
            chooser.SetPrompt(LoadText(IDS_SELECT_MIDI_INPUT_PROMPT, Language()));
            std::vector<std::wstring> items;
            for (const std::string& name : inputNames_) {
                items.push_back(Utf8ToWide(name));
            }
            chooser.SetItems(items);
            chosen = static_cast<int>(chooser.DoModal());
        }
    }
    if (chosen < 0 || chosen >= count) {
        // No device, or the chooser was cancelled: the list stays for the options dialog.
        return;
    }
    OpenMidiInput(chosen, true);
}

bool CKeyboard::OpenMidiInput(int index, bool save) {
    if (!input_->Open(index, [this](uint32_t message) { router_.OnMessage(message); })) {
        ShowMessageBox(LoadText(IDS_CANNOT_OPEN_MIDI_IN, Language()), L"", MB_OK, Handle(),
                       Language());
        ForgetMidiInput();
        return false;
    }
    if (!input_->Start()) {
        ShowMessageBox(LoadText(IDS_CANNOT_START_MIDI_IN, Language()), L"", MB_OK, Handle(),
                       Language());
        ForgetMidiInput();
        return false;
    }
    AppOptions& options = Options();
    const std::string& name = inputNames_[static_cast<size_t>(index)];
    // The name is UTF-8: a longer one is cut before a whole letter.
    size_t keep = std::min(name.size(), AppOptions::kTextFieldBytes - 1);
    while (keep > 0 && keep < name.size() && (name[keep] & 0xC0) == 0x80) {
        --keep;
    }
    std::memset(options.midiInputName, 0, sizeof(options.midiInputName));
    std::memcpy(options.midiInputName, name.data(), keep);
    if (save) {
        static_cast<void>(options.Save());  // a failure is shown by the main window
    }
    selectedInput_ = index;
    return true;
}

void CKeyboard::ForgetMidiInput() {
    if (input_) {
        input_->Close();
    }
    inputNames_.clear();
    selectedInput_ = -1;
}

bool CKeyboard::SelectDevice(int index) {
    if (!input_ || index < 0 || index >= static_cast<int>(inputNames_.size())) {
        return false;
    }
    if (input_->IsOpen()) {
        input_->Close();
        selectedInput_ = -1;
    }
    // The options window saves the file itself, without the choices its Cancel may undo.
    return OpenMidiInput(index, false);
}

// ---- Playing ----

void CKeyboard::SetMidiVolume(int32_t level) {
    velocity_ = midi::VelocityOfVolume(level);
    playAlong_.SetVelocity(velocity_);
}

void CKeyboard::SelectProgram(int program) {
    output_.Send(midi::ProgramChange(program));
}

void CKeyboard::AllNotesOff() {
    output_.Send(midi::AllNotesOff());
}

void CKeyboard::SetLabel(int slot) {
    const CPianoKey& key = keys_.Key(slot);
    const Note note{key.octave, key.semitone};
    char text[64];
    std::snprintf(text, sizeof(text), "%s (%.2f)",
                  note.Name(true, Options().noteLetters != 0).c_str(), note.ToFrequency());
    noteLabel_ = text;
    labelSlot_ = slot;
}

void CKeyboard::NoteNamesChanged() {
    if (!noteLabel_.empty() && labelSlot_ >= 0) {
        SetLabel(labelSlot_);
        Invalidate();
    }
}

void CKeyboard::PressKey(int slot, int kind, bool mirror, bool label) {
    if (!keys_.Press(slot, kind)) {
        return;
    }
    if (label) {
        SetLabel(slot);
    }
    Invalidate();
    if (mirror && staff_ != nullptr) {
        staff_->HighlightNote(keys_.Key(slot).semitone, kind == PianoKeyboard::kPressed, false);
    }
}

void CKeyboard::ReleaseKey(int slot, bool mirror, bool label) {
    if (!keys_.Release(slot)) {
        return;
    }
    if (label) {
        noteLabel_.clear();
    }
    Invalidate();
    if (mirror && staff_ != nullptr) {
        staff_->ReleaseNote(keys_.Key(slot).semitone, false);
    }
}

void CKeyboard::PressKeyByMessage(uint32_t message, int kind, bool mirror, bool label) {
    PressKey(keys_.SlotOfMidiNote(midi::Data1(message)), kind, mirror, label);
}

void CKeyboard::OnKeyLight(WPARAM action, LPARAM slot) {
    if (action == kLightPress) {
        PressKey(static_cast<int>(slot), PianoKeyboard::kPressed, true, true);
    } else if (action == kLightRelease) {
        ReleaseKey(static_cast<int>(slot), true, true);
    }
}

void CKeyboard::OnResultPublished(const ResultRecord& record) {
    if (playAlongOn_.load()) {
        playAlong_.Step(record.pitchHz);
    }
}

bool CKeyboard::HandleKey(UINT message, WPARAM virtualKey, LPARAM flags) {
    if (message != WM_KEYDOWN && message != WM_KEYUP) {
        return false;
    }
    return PlayPcKey(message == WM_KEYDOWN, static_cast<int>(virtualKey),
                     (flags & 0x40000000) != 0);
}

bool CKeyboard::PlayPcKey(bool down, int virtualKey, bool repeat) {
    return down ? pcPlayer_.KeyDown(virtualKey, repeat) : pcPlayer_.KeyUp(virtualKey);
}

void CKeyboard::LetGo() {
    pcPlayer_.ReleaseAll();
    mouse_.FocusLost();
}

// PcKeyboardHost

void CKeyboard::StartTimer(int timerId, int periodMs) {
    ::SetTimer(Handle(), static_cast<UINT_PTR>(timerId), static_cast<UINT>(periodMs), nullptr);
}

void CKeyboard::KillTimer(int timerId) {
    ::KillTimer(Handle(), static_cast<UINT_PTR>(timerId));
}

void CKeyboard::PlayKey(int slot) {
    output_.Send(midi::NoteOn(keys_.MidiNoteOfSlot(slot), velocity_));
    PressKey(slot, PianoKeyboard::kPressed, true, true);
}

void CKeyboard::StopKey(int slot) {
    output_.Send(midi::NoteOff(keys_.MidiNoteOfSlot(slot)));
    ReleaseKey(slot, true, true);
}

void CKeyboard::Invalidate() {
    if (Handle() != nullptr) {
        ::InvalidateRect(Handle(), nullptr, FALSE);
    }
}

// NoteMouseHost

void CKeyboard::Highlight(int item, bool pressed) {
    PressKey(item, pressed ? PianoKeyboard::kPressed : PianoKeyboard::kHover, true, true);
}

void CKeyboard::Unhighlight(int item) {
    ReleaseKey(item, true, true);
}

void CKeyboard::NoteOn(int item) {
    output_.Send(midi::NoteOn(keys_.MidiNoteOfSlot(item), velocity_));
}

void CKeyboard::NoteOff(int item) {
    output_.Send(midi::NoteOff(keys_.MidiNoteOfSlot(item)));
}

// ---- Layout and drawing ----

void CKeyboard::OnGLSize(int cx, int cy) {
    whiteKeyWidth_ = keys_.WhiteKeyWidth(cx);
    keyLength_ = PianoKeyboard::KeyLength(cy);
    keyboardRect_ = {kMarginPixels, kMarginPixels, cx - kMarginPixels, cy - 30};
    labelRect_ = {kMarginPixels, cy - kLabelStripPixels, cx - kMarginPixels, cy - kMarginPixels};
    // Pixels, y pointing down.
    glOrtho(0.0, cx, cy, 0.0, -1.0, 1.0);
}

POINT CKeyboard::KeyPoint(int slot) const {
    const float centre = (static_cast<float>(slot) + 1.0f) * 0.5f * whiteKeyWidth_;
    const bool black = keys_.Key(slot).shape == KeyShape::Black;
    const float depth = (black ? 0.35f : 0.85f) * keyLength_;
    return POINT{keyboardRect_.left + static_cast<LONG>(centre),
                 keyboardRect_.top + static_cast<LONG>(depth)};
}

void CKeyboard::DrawShape(int slot, bool textured) const {
    const CPianoKey& key = keys_.Key(slot);
    KeyQuad quads[2];
    const int count = key_shape::Quads(key.shape, quads);
    if (count == 0) {
        return;
    }
    const bool black = key.shape == KeyShape::Black;
    if (textured) {
        glBindTexture(GL_TEXTURE_2D, textures_[black ? 0 : 1]);
    }
    const float centre = (static_cast<float>(slot) + 1.0f) * 0.5f;
    glBegin(GL_QUADS);
    for (int i = 0; i < count; ++i) {
        const KeyQuad& q = quads[i];
        const float xs[4] = {q.left, q.right, q.right, q.left};
        const float ys[4] = {q.top, q.top, q.bottom, q.bottom};
        for (int v = 0; v < 4; ++v) {
            // Black keys stretch their picture over the whole key; white keys map theirs
            // over the white key's cell, so notched parts show the matching part.
            const float u = black ? (xs[v] + key_shape::kBlackHalfWidth) * 1.5f : xs[v] + 0.5f;
            const float t = black ? 1.0f - 1.5f * ys[v] : 1.0f - ys[v];
            glTexCoord2f(u, t);
            glVertex2f(centre + xs[v], ys[v]);
        }
    }
    glEnd();
}

void CKeyboard::DrawLabel(const std::string& text) const {
    DrawText(Utf8ToWide(text));
}

float CKeyboard::TextWidth(const std::string& text) const {
    return TextLayout().Width(Utf8ToWide(text));
}

void CKeyboard::OnGLPaint() {
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glTranslatef(static_cast<float>(keyboardRect_.left), static_cast<float>(keyboardRect_.top),
                 0.0f);
    glScalef(whiteKeyWidth_, keyLength_, 1.0f);
    glCallList(keyboardList_);
    for (int slot = 0; slot < keys_.SlotCount(); ++slot) {
        const CPianoKey& key = keys_.Key(slot);
        if (key.highlighted) {
            glColor4fv(key.highlightColour);
            DrawShape(slot, true);
        }
    }
    const PcKeyboardLayout& layout = pcPlayer_.Layout();
    if (pcPlayer_.Tinted()) {
        float white[4];
        float black[4];
        pcPlayer_.Tints(white, black);
        for (size_t i = 0; i < layout.Keys().size(); ++i) {
            const int slot = PcKeyboardLayout::SlotOfOffset(layout.Offset(i), pcPlayer_.Octave());
            if (slot < 0 || slot >= keys_.SlotCount() || keys_.Key(slot).highlighted) {
                continue;
            }
            glColor4fv(keys_.Key(slot).shape == KeyShape::Black ? black : white);
            DrawShape(slot, true);
        }
    }
    glDisable(GL_TEXTURE_2D);
    const float letterHeight = TextLayout().LetterHeight();
    const float widthOfA = TextWidth("A");
    if (letterHeight > 0.0f && widthOfA > 0.0f) {
        for (int slot = 0; slot < keys_.SlotCount(); ++slot) {
            const CPianoKey& key = keys_.Key(slot);
            if (!key.hasLabel || key.shape == KeyShape::Gap) {
                continue;
            }
            const bool black = key.shape == KeyShape::Black;
            const float sx = 0.4f / widthOfA;
            const float sy = -(0.1333333f / letterHeight);
            glPushMatrix();
            glTranslatef(
                (static_cast<float>(slot) + 1.0f) * 0.5f - 0.5f * sx * TextWidth(key.label),
                black ? 0.5667f : 0.9f, 0.0f);
            glScalef(sx, sy, 1.0f);
            if (black) {
                glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            } else {
                glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
            }
            DrawLabel(key.label);
            glPopMatrix();
        }
    }
    glPopMatrix();
    const float labelWidth = TextWidth(noteLabel_);
    if (!noteLabel_.empty() && labelWidth > 0.0f && letterHeight > 0.0f) {
        glPushMatrix();
        glTranslatef(static_cast<float>(labelRect_.left), static_cast<float>(labelRect_.bottom),
                     0.0f);
        glScalef(kLabelWidthPixels / labelWidth,
                 static_cast<float>(labelRect_.top - labelRect_.bottom) / letterHeight, 1.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        DrawLabel(noteLabel_);
        glPopMatrix();
    }
}

// ---- Messages ----

int CKeyboard::ItemAt(int x, int y) {
    const POINT client = {x, y};
    if (::PtInRect(&keyboardRect_, client) == FALSE) {
        return -1;
    }
    return keys_.HitTest(static_cast<float>(x - keyboardRect_.left),
                         static_cast<float>(y - keyboardRect_.top), whiteKeyWidth_, keyLength_);
}

std::wstring CKeyboard::RegionToolTipText() const {
    const int slot = mouse_.Hovered();
    if (slot < 0 || slot >= keys_.SlotCount()) {
        return std::wstring();
    }
    const CPianoKey& key = keys_.Key(slot);
    return Utf8ToWide(Note{key.octave, key.semitone}.Label(Options().noteLetters != 0, Language()));
}

LRESULT CKeyboard::OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KILLFOCUS:
            LetGo();
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (HandleKey(message, wParam, lParam)) {
                return 0;
            }
            break;
        case WM_TIMER:
            if (pcPlayer_.OnTimer(static_cast<int>(wParam))) {
                return 0;
            }
            break;
        case kKeyLightMessage:
            OnKeyLight(wParam, lParam);
            return 0;
        default:
            break;
    }
    return CNoteMouseView::OnViewMessage(message, wParam, lParam);
}

}  // namespace melvora
