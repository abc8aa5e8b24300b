// The keyboard and staff windows under Wine with the recording MIDI output in place of the
// system's: mouse clicks on keys and notes, the sung pitch on the staff, play-along, an
// external MIDI keyboard, and a machine without a MIDI output.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/app_options.h"
#include "app/win32/floating_frame_dlg.h"
#include "music/midi_message.h"
#include "music/shared_midi_output.h"
#include "music/win32/keyboard_dlg.h"
#include "music/win32/staff_dlg.h"
#include "platform/program_directory.h"
#include "platform/recording_midi_in.h"
#include "platform/recording_midi_out.h"
#include "platform/win32/resource_strings.h"
#include "string_ids.h"
#include "ui/message_box_layout.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

class FakeOwner : public FloatingWindowOwner {
  public:
    WindowSet::Position FloatingMoving(FloatingWindow, const WindowSet::Position& proposed,
                                       bool) override {
        return proposed;
    }
    void FloatingActivated(FloatingWindow) override {}
    void FloatingClosed(FloatingWindow) override {}
    int Language() const override { return Options().UiLanguage(); }
};

// Counts the skinned message boxes that come up and answers each with OK.
int g_boxes = 0;

BOOL CALLBACK AnswerBox(HWND hwnd, LPARAM) {
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    wchar_t caption[8] = {};
    ::GetWindowTextW(hwnd, caption, 8);
    if (::IsWindowVisible(hwnd) && lstrcmpW(className, L"#32770") == 0 && caption[0] == 0 &&
        ::GetPropW(hwnd, L"MelvoraAnswered") == nullptr) {
        ::SetPropW(hwnd, L"MelvoraAnswered", reinterpret_cast<HANDLE>(1));
        ++g_boxes;
        const MessageBoxLayout layout = LayoutMessageBox(MB_OK, 100, 20);
        ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(layout.buttons[0].controlId, BN_CLICKED), 0);
    }
    return TRUE;
}

void CALLBACK BoxTimer(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &AnswerBox, 0);
}

float Semitones(int octave, double semitones) {
    return static_cast<float>(16.352 * std::pow(2.0, octave + semitones / 12.0));
}

class MusicGui : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = WideToUtf8(std::wstring(temp)) + "melvora_music_" +
                  std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryW(Utf8ToWide(folder_).c_str(), nullptr);
        SetProgramDirectoryOverride(folder_);
        Options() = AppOptions();
        Options().language = guitest::kEnglish;
        Options().noteLetters = 1;
        g_boxes = 0;
        boxTimer_ = ::SetTimer(nullptr, 0, 50, &BoxTimer);
    }

    void TearDown() override {
        keyboardDlg_.reset();
        staffDlg_.reset();
        output_.reset();
        ::KillTimer(nullptr, boxTimer_);
        SetProgramDirectoryOverride("");
        Options() = AppOptions();
    }

    void Open(bool outputFails = false, std::vector<std::string> inputNames = {},
              bool inputStartFails = false) {
        journal_.failOpen = outputFails;
        output_ = std::make_unique<SharedMidiOutput>(std::make_unique<RecordingMidiOut>(journal_));
        auto input = std::make_unique<RecordingMidiIn>(std::move(inputNames));
        input->failStart = inputStartFails;
        input_ = input.get();
        keyboardDlg_ = std::make_unique<CKeyboardDlg>(Describe(FloatingWindow::Keyboard), owner_,
                                                      *output_, std::move(input));
        staffDlg_ = std::make_unique<CStaffDlg>(Describe(FloatingWindow::Staff), owner_, *output_);
        ASSERT_TRUE(keyboardDlg_->Create(nullptr));
        ASSERT_TRUE(staffDlg_->Create(nullptr));
        Keyboard().SetStaff(&Staff());
        Staff().SetKeyboard(&Keyboard());
        ::SetWindowPos(keyboardDlg_->Handle(), HWND_TOP, 10, 10, 1080, 200, SWP_SHOWWINDOW);
        ::SetWindowPos(staffDlg_->Handle(), HWND_TOP, 10, 260, 640, 260, SWP_SHOWWINDOW);
        guitest::PumpMessages(300);
    }

    CKeyboard& Keyboard() { return keyboardDlg_->Keyboard(); }
    CStaff& Staff() { return staffDlg_->Staff(); }

    void ClickKey(int slot, const std::function<void()>& whileDown = nullptr) {
        const POINT p = Keyboard().KeyPoint(slot);
        HWND view = Keyboard().Handle();
        guitest::MouseMove(view, p.x, p.y);
        guitest::MouseDown(view, p.x, p.y);
        if (whileDown) {
            whileDown();
        }
        guitest::MouseUp(view, p.x, p.y);
        guitest::PumpMessages(50);
    }

    // A pitch handed over as the result hand-off does it: on another thread.
    void SingFromWorker(float pitchHz, int results = 1) {
        std::thread worker([&] {
            ResultRecord record;
            record.pitchHz = pitchHz;
            for (int i = 0; i < results; ++i) {
                Staff().OnResultPublished(record);
                Keyboard().OnResultPublished(record);
            }
        });
        worker.join();
        guitest::PumpMessages(100);
    }

    // The staff's colour at the marker of `semitones` above C4, between the ledger line and
    // the lowest staff line, where nothing else is drawn.
    void MarkerColour(float semitones, float rgba[4]) {
        const int y = static_cast<int>((1.0f - 0.22f) * static_cast<float>(Staff().HeightPixels()));
        ASSERT_TRUE(Staff().ReadPixel(Staff().MarkerX(semitones), y, rgba));
    }

    std::string folder_;
    FakeOwner owner_;
    RecordingMidiOut::Journal journal_;
    RecordingMidiIn* input_ = nullptr;
    std::unique_ptr<SharedMidiOutput> output_;
    std::unique_ptr<CKeyboardDlg> keyboardDlg_;
    std::unique_ptr<CStaffDlg> staffDlg_;
    UINT_PTR boxTimer_ = 0;
};

TEST_F(MusicGui, AClickOnAKeyPlaysThatKey) {
    Open();
    const PianoKeyboard& keys = Keyboard().Keys();
    const struct {
        int midiNote;
        int velocityLevel;
        int velocity;
    } cases[] = {{69, 1, 88}, {61, 2, 127}, {21, 0, 56}, {108, 1, 88}};
    for (const auto& c : cases) {
        Keyboard().SetMidiVolume(c.velocityLevel);
        journal_.Clear();
        const int slot = keys.SlotOfMidiNote(c.midiNote);
        bool lit = false;
        ClickKey(slot, [&] { lit = keys.Key(slot).highlighted; });
        const std::vector<uint32_t> expected = {midi::NoteOn(c.midiNote, c.velocity),
                                                midi::NoteOff(c.midiNote)};
        EXPECT_EQ(journal_.Messages(), expected) << "MIDI note " << c.midiNote;
        EXPECT_TRUE(lit);
    }
    // The mouse rests on A4: hover, its label in the strip, its note on the staff.
    const int a4 = keys.SlotOfMidiNote(69);
    ClickKey(a4);
    EXPECT_EQ(Keyboard().HoveredKey(), a4);
    EXPECT_EQ(Keyboard().NoteLabel(), "A4 (440.01)");
    EXPECT_TRUE(Staff().IsHighlighted(9));
    guitest::MouseMove(Keyboard().Handle(), 2, 2);  // off the keys
    EXPECT_EQ(Keyboard().NoteLabel(), "");
    EXPECT_FALSE(Staff().IsHighlighted(9));
}

TEST_F(MusicGui, AClickOnTheStaffPlaysTheNoteAndLightsItsKey) {
    Open();
    const int a4 = Keyboard().Keys().SlotOfMidiNote(69);
    const POINT p = Staff().NotePoint(9);
    HWND view = Staff().Handle();
    journal_.Clear();
    guitest::MouseMove(view, p.x, p.y);
    ASSERT_EQ(Staff().HoveredNote(), 9);
    guitest::MouseDown(view, p.x, p.y);
    EXPECT_TRUE(Keyboard().Keys().Key(a4).highlighted);
    EXPECT_EQ(Keyboard().NoteLabel(), "A4 (440.01)");
    guitest::MouseUp(view, p.x, p.y);
    const std::vector<uint32_t> expected = {midi::NoteOn(69, 64), midi::NoteOff(69)};
    EXPECT_EQ(journal_.Messages(), expected);
    // Between two notes the white background hits nothing.
    const POINT between = {(Staff().NotePoint(0).x + Staff().NotePoint(2).x) / 2, 5};
    guitest::MouseMove(view, between.x, between.y);
    EXPECT_EQ(Staff().HoveredNote(), -1);
    EXPECT_FALSE(Keyboard().Keys().Key(a4).highlighted);
}

TEST_F(MusicGui, ASungA4IsMarkedAtA4InGreenAndAQuarterToneSharpIsNot) {
    Open();
    SingFromWorker(440.0f);
    EXPECT_FLOAT_EQ(Staff().Pitch(), 440.0f);
    EXPECT_EQ(Staff().SungSemitone(), 9);
    float atA[4];
    MarkerColour(9.0f, atA);
    // In tune: the green marker (0.855, 0.94, 0.82) at half strength over white.
    EXPECT_GT(atA[1], atA[2] + 0.03f) << atA[0] << " " << atA[1] << " " << atA[2];
    EXPECT_LT(atA[0], 0.98f);
    float away[4];
    MarkerColour(10.5f, away);
    EXPECT_GT(away[0], 0.98f);  // white: the marker is at A only

    SingFromWorker(Semitones(4, 9.5));
    float sharp[4];
    MarkerColour(9.5f, sharp);
    // Out of tune: the blue marker (0.8, 0.878, 0.969).
    EXPECT_GT(sharp[2], sharp[1] + 0.01f) << sharp[0] << " " << sharp[1] << " " << sharp[2];
    EXPECT_LT(sharp[0], 0.98f);
    float oldPlace[4];
    MarkerColour(8.9f, oldPlace);
    EXPECT_GT(oldPlace[0], 0.98f);
}

TEST_F(MusicGui, PlayAlongSoundsTheNearestKeyEveryTenthResultAndLightsNone) {
    Options().playAlong = 1;
    Open();
    journal_.Clear();
    SingFromWorker(Semitones(4, 9.3), 9);
    EXPECT_TRUE(journal_.Messages().empty());
    SingFromWorker(Semitones(4, 9.3), 1);
    EXPECT_EQ(journal_.Messages(), std::vector<uint32_t>{midi::NoteOn(69, 88)});
    SingFromWorker(Semitones(4, 9.6), 10);
    const std::vector<uint32_t> expected = {midi::NoteOn(69, 88), midi::NoteOff(69),
                                            midi::NoteOn(70, 88)};
    EXPECT_EQ(journal_.Messages(), expected);
    for (int slot = 0; slot < Keyboard().Keys().SlotCount(); ++slot) {
        EXPECT_FALSE(Keyboard().Keys().Key(slot).highlighted);
    }
}

TEST_F(MusicGui, AnExternalKeyboardSoundsAndLightsItsKeys) {
    Open(false, {"Test Keys"});
    EXPECT_EQ(Keyboard().SelectedMidiInput(), 0);  // one device: no question
    EXPECT_STREQ(Options().midiInputName, "Test Keys");
    const int c4 = Keyboard().Keys().SlotOfMidiNote(60);
    journal_.Clear();
    std::thread([this] { input_->Deliver(midi::Pack(0x90, 60, 100)); }).join();
    guitest::PumpMessages(50);
    EXPECT_TRUE(Keyboard().Keys().Key(c4).highlighted);
    EXPECT_TRUE(Staff().IsHighlighted(0));
    // A note off releases the key as a note on with velocity 0 does.
    std::thread([this] { input_->Deliver(midi::Pack(0x80, 60, 64)); }).join();
    guitest::PumpMessages(50);
    EXPECT_FALSE(Keyboard().Keys().Key(c4).highlighted);
    const std::vector<uint32_t> echoed = {midi::Pack(0x90, 60, 100), midi::Pack(0x80, 60, 64)};
    EXPECT_EQ(journal_.Messages(), echoed);
}

TEST_F(MusicGui, AnInputThatCannotStartIsClosedAndForgotten) {
    Open(false, {"Test Keys"}, true);
    guitest::PumpMessages(200);
    EXPECT_EQ(g_boxes, 1);  // "Cannot start MIDI input device!"
    EXPECT_EQ(input_->opens, 1);
    EXPECT_EQ(input_->closes, 1);
    EXPECT_FALSE(input_->IsOpen());
    EXPECT_EQ(Keyboard().SelectedMidiInput(), -1);
    EXPECT_FALSE(Keyboard().SelectDevice(0));  // the list is gone until the next start
    EXPECT_STREQ(Options().midiInputName, "");
}

TEST_F(MusicGui, WithoutAMidiOutputTheKeysStillLightAndOneMessageIsShown) {
    Open(true, {"Test Keys"});
    guitest::PumpMessages(200);
    EXPECT_EQ(g_boxes, 1);
    EXPECT_EQ(Keyboard().SelectedMidiInput(), -1);  // no output: no input either
    const int a4 = Keyboard().Keys().SlotOfMidiNote(69);
    bool lit = false;
    ClickKey(a4, [&] { lit = Keyboard().Keys().Key(a4).highlighted; });
    ClickKey(a4);
    ::SendMessageW(Keyboard().Handle(), WM_KEYDOWN, 'W', 0);
    ::SendMessageW(Keyboard().Handle(), WM_KEYUP, 'W', 0xC0000000);
    guitest::PumpMessages(200);
    EXPECT_TRUE(lit);
    EXPECT_EQ(g_boxes, 1);
    EXPECT_TRUE(journal_.Messages().empty());
}

}  // namespace
}  // namespace melvora
