// The keyboard and staff windows under Wine with the recording MIDI output in place of the
// system's: mouse clicks on keys and notes, the sung pitch on the staff, an
// external MIDI keyboard, a machine without a MIDI output, and the screenshots of the
// running program's keyboard and staff while a vowel is sung.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

#include "music/midi_message.h"
#include "music/shared_midi_output.h"
#include "music/win32/keyboard_dlg.h"
#include "music/win32/staff_dlg.h"
#include "platform/recording_midi_in.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

float Semitones(int octave, double semitones) {
    return static_cast<float>(16.352 * std::pow(2.0, octave + semitones / 12.0));
}

class MusicGui : public ::testing::Test {
  protected:
    MusicGui() {
        Options().language = guitest::kEnglish;
        Options().noteLetters = 1;
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
        // Wine resizes the OpenGL surfaces a little after their windows; until then the
        // frames are cut off, black at the right.
        guitest::PumpUntil([&] {
            const guitest::Frame k = guitest::Capture(Keyboard()), s = guitest::Capture(Staff());
            return !k.Near(k.width - 10, k.height / 2, 0, 0, 0, 5) &&
                   !s.Near(s.width - 10, s.height / 2, 0, 0, 0, 5);
        });
    }

    CKeyboard& Keyboard() { return keyboardDlg_->Keyboard(); }
    CStaff& Staff() { return staffDlg_->Staff(); }
    bool Lit(int slot) { return Keyboard().Keys().Key(slot).highlighted; }

    void ClickKey(int slot, const std::function<void()>& whileDown = nullptr) {
        const POINT p = Keyboard().KeyPoint(slot);
        HWND view = Keyboard().Handle();
        guitest::MouseMove(view, p.x, p.y);
        guitest::MouseDown(view, p.x, p.y);
        if (whileDown) {
            whileDown();
        }
        guitest::MouseUp(view, p.x, p.y);
    }

    // A pitch handed over as the result hand-off does it: posted from another thread. Once
    // that thread is done, all it posted is in the queue, and one pass of the loop takes it.
    void SingFromWorker(float pitchHz, int results = 1) {
        std::thread([&] {
            ResultRecord record;
            record.pitchHz = pitchHz;
            for (int i = 0; i < results; ++i) {
                Staff().OnResultPublished(record);
                Keyboard().OnResultPublished(record);
            }
        }).join();
        guitest::PumpMessages(0);
    }

    // The staff's colour at the marker of `semitones` above C4, between the ledger line and
    // the lowest staff line, where nothing else is drawn: green, blue or white.
    char MarkerColour(float semitones) {
        const int y = static_cast<int>((1.0f - 0.22f) * static_cast<float>(Staff().HeightPixels()));
        float c[4] = {};
        EXPECT_TRUE(Staff().ReadPixel(Staff().MarkerX(semitones), y, c));
        // In tune: the green marker (0.855, 0.94, 0.82), out of tune: the blue one (0.8,
        // 0.878, 0.969), at half strength over white.
        return c[0] > 0.98f ? 'w' : c[1] > c[2] + 0.03f ? 'g' : c[2] > c[1] + 0.01f ? 'b' : '?';
    }

    guitest::TempProgramFolder folder_{"music"};
    guitest::FloatingOwner owner_;
    guitest::BoxAnswerer boxes_{IDOK};
    RecordingMidiOut::Journal journal_;
    RecordingMidiIn* input_ = nullptr;
    std::unique_ptr<SharedMidiOutput> output_;
    std::unique_ptr<CStaffDlg> staffDlg_;
    std::unique_ptr<CKeyboardDlg> keyboardDlg_;  // goes first, as in the program
};

// A click on a key sounds it at the chosen velocity and draws it lit; the mouse resting on a
// key shows its label and its note on the staff; a click on the staff sounds the note.
TEST_F(MusicGui, AClickOnAKeyOrANoteOfTheStaffPlaysIt) {
    Open();
    const PianoKeyboard& keys = Keyboard().Keys();
    const struct {
        int midiNote, velocityLevel, velocity;
    } cases[] = {{69, 1, 88}, {61, 2, 127}, {21, 0, 56}, {108, 1, 88}};
    for (const auto& c : cases) {
        Keyboard().SetMidiVolume(c.velocityLevel);
        journal_.Clear();
        const int slot = keys.SlotOfMidiNote(c.midiNote);
        bool lit = false;
        const guitest::Frame before = guitest::Capture(Keyboard());
        guitest::Frame down;
        ClickKey(slot, [&] {
            lit = Lit(slot);
            down = guitest::Capture(Keyboard());
        });
        // The pressed key is drawn lit: above the point clicked it changed colour.
        const POINT p = Keyboard().KeyPoint(slot);
        int changed = 0;
        for (int y = p.y - 20; y <= p.y; ++y) {
            for (int x = p.x - 3; x <= p.x + 3; ++x) {
                changed += std::memcmp(before.At(x, y), down.At(x, y), 3) != 0 ? 1 : 0;
            }
        }
        EXPECT_GT(changed, 100) << "MIDI note " << c.midiNote;
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
    // A click on the staff plays the note and lights its key.
    const POINT p = Staff().NotePoint(9);
    HWND view = Staff().Handle();
    journal_.Clear();
    guitest::MouseMove(view, p.x, p.y);
    ASSERT_EQ(Staff().HoveredNote(), 9);
    guitest::MouseDown(view, p.x, p.y);
    EXPECT_TRUE(Lit(a4));
    EXPECT_EQ(Keyboard().NoteLabel(), "A4 (440.01)");
    guitest::MouseUp(view, p.x, p.y);
    // Before the note, the keyboard that had the mouse may silence itself.
    std::vector<uint32_t> sent = journal_.Messages();
    sent.erase(std::remove(sent.begin(), sent.end(), midi::AllNotesOff()), sent.end());
    EXPECT_EQ(sent, (std::vector<uint32_t>{midi::NoteOn(69, 64), midi::NoteOff(69)}));
    // Between two notes the white background hits nothing.
    guitest::MouseMove(view, (Staff().NotePoint(0).x + Staff().NotePoint(2).x) / 2, 5);
    EXPECT_EQ(Staff().HoveredNote(), -1);
    EXPECT_FALSE(Lit(a4));
}

TEST_F(MusicGui, ASungA4IsMarkedAtA4InGreenAndAQuarterToneSharpIsNot) {
    Open();
    SingFromWorker(440.0f);
    EXPECT_FLOAT_EQ(Staff().Pitch(), 440.0f);
    EXPECT_EQ(Staff().SungSemitone(), 9);
    EXPECT_EQ(MarkerColour(9.0f), 'g');
    EXPECT_EQ(MarkerColour(10.5f), 'w');  // the marker is at A only
    SingFromWorker(Semitones(4, 9.5));
    EXPECT_EQ(MarkerColour(9.5f), 'b');
    EXPECT_EQ(MarkerColour(8.9f), 'w');
}

TEST_F(MusicGui, AnExternalKeyboardSoundsAndLightsItsKeys) {
    Open(false, {"Test Keys"});
    EXPECT_EQ(Keyboard().SelectedMidiInput(), 0);  // one device: no question
    EXPECT_STREQ(Options().midiInputName, "Test Keys");
    const int c4 = Keyboard().Keys().SlotOfMidiNote(60);
    journal_.Clear();
    std::thread([this] { input_->Deliver(midi::Pack(0x90, 60, 100)); }).join();
    EXPECT_TRUE(guitest::PumpUntil([&] { return Lit(c4) && Staff().IsHighlighted(0); }));
    // A note off releases the key as a note on with velocity 0 does.
    std::thread([this] { input_->Deliver(midi::Pack(0x80, 60, 64)); }).join();
    EXPECT_TRUE(guitest::PumpUntil([&] { return !Lit(c4); }));
    EXPECT_EQ(journal_.Messages(),
              (std::vector<uint32_t>{midi::Pack(0x90, 60, 100), midi::Pack(0x80, 60, 64)}));
}

TEST_F(MusicGui, AnInputThatCannotStartIsClosedAndForgotten) {
    Open(false, {"Test Keys"}, true);
    EXPECT_TRUE(guitest::PumpUntil([&] { return boxes_.Count() == 1; }))
        << "no \"Cannot start MIDI input device!\"";
    EXPECT_EQ(input_->opens, 1);
    EXPECT_EQ(input_->closes, 1);
    EXPECT_FALSE(input_->IsOpen());
    EXPECT_EQ(Keyboard().SelectedMidiInput(), -1);
    EXPECT_FALSE(Keyboard().SelectDevice(0));  // the list is gone until the next start
    EXPECT_STREQ(Options().midiInputName, "");
}

TEST_F(MusicGui, WithoutAMidiOutputTheKeysStillLightAndOneMessageIsShown) {
    Open(true, {"Test Keys"});
    EXPECT_TRUE(guitest::PumpUntil([&] { return boxes_.Count() == 1; }));
    EXPECT_EQ(Keyboard().SelectedMidiInput(), -1);  // no output: no input either
    const int a4 = Keyboard().Keys().SlotOfMidiNote(69);
    bool lit = false;
    ClickKey(a4, [&] { lit = Lit(a4); });
    ClickKey(a4);
    ::SendMessageW(Keyboard().Handle(), WM_KEYDOWN, 'W', 0);
    ::SendMessageW(Keyboard().Handle(), WM_KEYUP, 'W', 0xC0000000);
    guitest::PumpMessages(200);  // time for a second message box, which must not come
    EXPECT_TRUE(lit);
    EXPECT_EQ(boxes_.Count(), 1);
    EXPECT_TRUE(journal_.Messages().empty());
}

// The keyboard and staff windows of the running program while a vowel is sung into its
// microphone (the PulseAudio null sink of music_screenshots.sh), in English and Turkish,
// presented one by one to the screenshot script. Skipped unless MELVORA_SHOTS names the
// folder of the script's hand-shake files.
class MusicScreens : public ::testing::TestWithParam<int> {};

TEST_P(MusicScreens, KeyboardAndStaffWhileSinging) {
    if (!guitest::ShotsWanted()) {
        GTEST_SKIP() << "needs the sound sink and screenshot script of music_screenshots.sh";
    }
    const int language = GetParam();
    guitest::ProgramRun run("screens", guitest::ProgramRun::Sound::kSystem);
    Options().language = language;
    Options().noteLetters = language == guitest::kEnglish ? 1 : 0;
    float heard = 0.0f;
    bool presented = false;
    run.Run([&](CControlsDlg& program) {
        CKeyboardDlg* keyboard = program.KeyboardWindow();
        CStaffDlg* staff = program.StaffWindow();
        // The vowel loops into the sink; wait until the staff has it (the first capture of a
        // process under Wine has been seen to take 20 s to hear it).
        guitest::PumpUntil(
            [&] {
                heard = staff->Staff().Pitch();
                return std::fabs(heard - 440.0f) < 8.0f;
            },
            60000);
        // A PC key held down: its key lit, its name in the label strip, the letters shown.
        ::SendMessageW(keyboard->Keyboard().Handle(), WM_KEYDOWN, 'U', 0);
        const std::string suffix = language == guitest::kEnglish ? "_en" : "_tr";
        presented = guitest::TakeShot(keyboard->Handle(), "keyboard_singing" + suffix,
                                      &keyboard->Keyboard()) &&
                    guitest::TakeShot(staff->Handle(), "staff_singing" + suffix, &staff->Staff());
        ::SendMessageW(keyboard->Keyboard().Handle(), WM_KEYUP, 'U', 0xC0000000);
        run.Close(program);
    });
    EXPECT_NEAR(heard, 440.0f, 8.0f);
    EXPECT_TRUE(presented);
}

INSTANTIATE_TEST_SUITE_P(Languages, MusicScreens,
                         ::testing::Values(guitest::kEnglish, guitest::kTurkish));

}  // namespace
}  // namespace melvora
