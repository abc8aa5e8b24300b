// The media player window under Wine with the system's MCI: a WAV file really plays (to the
// PulseAudio null sink of sound_under_wine.sh) and its position moves; a MIDI file, which
// needs a synthesizer this system lacks, is refused with one message.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/floating_window_owner.h"
#include "music/win32/mci_player.h"
#include "platform/string_table.h"
#include "platform/win32/resource_strings.h"
#include "platform/win32/trackbar.h"
#include "resource_ids.h"
#include "string_ids.h"
#include "win32/gui_test_support.h"
#include "win32/shot.h"

namespace melvora {
namespace {

class StubOwner : public FloatingWindowOwner {
  public:
    WindowSet::Position FloatingMoving(int, const WindowSet::Position& proposed, bool) override {
        return proposed;
    }
    void FloatingActivated(int) override {}
    void FloatingClosed(int) override {}
    int Language() const override { return language; }
    int language = guitest::kEnglish;
};

// The real player; the open-file dialog answers with a prepared file and messages are
// counted instead of waiting for a click.
class ScriptedPlayer : public CMCIPlayer {
  public:
    ScriptedPlayer(FloatingWindowOwner& owner, std::string path)
        : CMCIPlayer({1, IDD_MEDIA_PLAYER, IDS_MEDIA_PLAYER, "ortam.htm"}, owner),
          path_(std::move(path)) {}
    bool AskOpenPath(std::string* path) override {
        *path = path_;
        return true;
    }
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }
    std::vector<std::wstring> messages;

  private:
    std::string path_;
};

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = _wfopen(Utf8ToWide(path).c_str(), L"wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// `seconds` of a 440 Hz tone, 16-bit mono at 22050 Hz.
bool WriteToneWav(const std::string& path, int seconds) {
    const uint32_t rate = 22050;
    const uint32_t samples = rate * static_cast<uint32_t>(seconds);
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    PutLe(out, 36 + samples * 2, 4);
    for (char c : std::string("WAVEfmt ")) {
        out.push_back(static_cast<uint8_t>(c));
    }
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, 1, 2);
    PutLe(out, rate, 4);
    PutLe(out, rate * 2, 4);
    PutLe(out, 2, 2);
    PutLe(out, 16, 2);
    for (char c : std::string("data")) {
        out.push_back(static_cast<uint8_t>(c));
    }
    PutLe(out, samples * 2, 4);
    for (uint32_t i = 0; i < samples; ++i) {
        const double v = 8000.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * i / rate);
        PutLe(out, static_cast<uint32_t>(static_cast<int16_t>(v)) & 0xFFFF, 2);
    }
    return WriteBytes(path, out);
}

// One note for a second, format 0.
bool WriteMidi(const std::string& path) {
    const std::vector<uint8_t> track = {0x00, 0x90, 60,   100,  0x87, 0x40, 0x80,
                                        60,   0,    0x00, 0xFF, 0x2F, 0x00};
    std::vector<uint8_t> out = {
        'M', 'T',  'h',  'd', 0,   0,   0,   6, 0, 0, 0,
        1,   0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(track.size())};
    out.insert(out.end(), track.begin(), track.end());
    return WriteBytes(path, out);
}

std::string TempPath(const char* name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return WideToUtf8(temp) + "melvora_player_" + std::to_string(::GetCurrentProcessId()) + "_" +
           name;
}

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[128] = {};
    ::GetDlgItemTextW(dialog, id, text, 128);
    return text;
}

bool SoundTestsWanted() {
    wchar_t value[8] = {};
    return ::GetEnvironmentVariableW(L"MELVORA_SOUND_TESTS", value, 8) > 0;
}

class PlayerGui : public ::testing::Test {
  protected:
    void SetUp() override {
        owner_ = ::CreateWindowExW(0, L"STATIC", L"Melvora", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    void TearDown() override {
        ::DestroyWindow(owner_);
        for (const std::string& path : files_) {
            ::DeleteFileW(Utf8ToWide(path).c_str());
        }
    }
    std::string Prepare(const char* name) {
        files_.push_back(TempPath(name));
        return files_.back();
    }
    HWND owner_ = nullptr;
    StubOwner stub_;
    std::vector<std::string> files_;
};

TEST_F(PlayerGui, MidiFileWithoutSynthesizerIsRefusedOnce) {
    if (::midiOutGetNumDevs() > 0) {
        GTEST_SKIP() << "this system has a MIDI output";
    }
    const std::string midi = Prepare("tune.mid");
    ASSERT_TRUE(WriteMidi(midi));
    ScriptedPlayer player(stub_, midi);
    ASSERT_TRUE(player.Create(owner_));
    ::ShowWindow(player.Handle(), SW_SHOWNA);
    ::SendMessageW(player.Handle(), WM_COMMAND, MAKEWPARAM(IDC_PLAYER_PLAY, BN_CLICKED), 0);
    guitest::PumpMessages(2500);
    EXPECT_EQ(player.Player().CurrentState(), MediaPlayer::State::Stopped);
    EXPECT_TRUE(player.Player().IsMidiFile());
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(player.Handle(), IDC_PLAYER_TEMPO)));
    ASSERT_EQ(player.messages.size(), 1u);
    EXPECT_EQ(player.messages[0], LoadText(IDS_NO_MIDI_OUTPUT, guitest::kEnglish));
    // Moving the tempo slider while stopped sends nothing to the closed alias.
    ::SendMessageW(player.Handle(), WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 0),
                   reinterpret_cast<LPARAM>(::GetDlgItem(player.Handle(), IDC_PLAYER_TEMPO)));
    EXPECT_EQ(player.messages.size(), 1u);
    player.DestroyWindow();
}

TEST_F(PlayerGui, WavFilePlaysAndItsPositionMoves) {
    if (!SoundTestsWanted()) {
        GTEST_SKIP() << "needs the PulseAudio null sink of sound_under_wine.sh";
    }
    const std::string wav = Prepare("tone.wav");
    ASSERT_TRUE(WriteToneWav(wav, 6));
    for (int language : {guitest::kEnglish, guitest::kTurkish}) {
        stub_.language = language;
        ScriptedPlayer player(stub_, wav);
        ASSERT_TRUE(player.Create(owner_));
        ::SetWindowPos(player.Handle(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ::ShowWindow(player.Handle(), SW_SHOW);
        // Play with no file asks for one and plays it at once.
        ::SendMessageW(player.Handle(), WM_COMMAND, MAKEWPARAM(IDC_PLAYER_PLAY, BN_CLICKED), 0);
        ASSERT_EQ(player.Player().CurrentState(), MediaPlayer::State::Playing)
            << (player.messages.empty() ? "" : WideToUtf8(player.messages[0]));
        EXPECT_FALSE(player.Player().IsMidiFile());
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(player.Handle(), IDC_PLAYER_TEMPO)));
        EXPECT_EQ(player.Player().LengthSeconds(), 6);
        CTrackbar position(::GetDlgItem(player.Handle(), IDC_PLAYER_POSITION));
        EXPECT_EQ(position.RangeMax(), 6);
        const bool moved = guitest::PumpUntil([&] { return position.Pos() >= 2; }, 6000);
        EXPECT_TRUE(moved) << "position " << position.Pos();
        const std::wstring time = ItemText(player.Handle(), IDC_PLAYER_TIME);
        EXPECT_EQ(time.substr(time.size() - 4), L"0:06");
        EXPECT_NE(time.substr(0, 7), L"   0:00");
        guitest::TakeShot(player.Handle(),
                          language == guitest::kEnglish ? "media_player_en" : "media_player_tr");
        // Pause holds the position; Stop closes and goes back to 0.
        ::SendMessageW(player.Handle(), WM_COMMAND, MAKEWPARAM(IDC_PLAYER_PAUSE, BN_CLICKED), 0);
        EXPECT_EQ(player.Player().CurrentState(), MediaPlayer::State::Paused);
        ::SendMessageW(player.Handle(), WM_COMMAND, MAKEWPARAM(IDC_PLAYER_STOP, BN_CLICKED), 0);
        EXPECT_EQ(player.Player().CurrentState(), MediaPlayer::State::Stopped);
        EXPECT_EQ(position.Pos(), 0);
        // Played to its end, the file closes by itself.
        ::SendMessageW(player.Handle(), WM_COMMAND, MAKEWPARAM(IDC_PLAYER_PLAY, BN_CLICKED), 0);
        const bool ended = guitest::PumpUntil(
            [&] { return player.Player().CurrentState() == MediaPlayer::State::Stopped; }, 10000);
        EXPECT_TRUE(ended);
        EXPECT_TRUE(player.messages.empty());
        player.DestroyWindow();
    }
}

}  // namespace
}  // namespace melvora
