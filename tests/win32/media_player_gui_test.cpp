// The media player window with the system's MCI under Wine: a WAV file really plays (to the
// PulseAudio null sink of sound_under_wine.sh), its position moves and it closes at its end.
// The player's commands, states and faults are checked against a fake MCI natively.
#include <windows.h>

#include <commctrl.h>

#include "music/win32/mci_player.h"
#include "platform/win32/trackbar.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

// The real player on its own; the open-file dialog answers with a prepared file and
// messages are counted instead of waiting for a click.
// The owner part comes first: the player keeps a reference to it from its construction.
class ScriptedPlayer : public guitest::FloatingOwner, public CMCIPlayer {
  public:
    ScriptedPlayer(std::string path, int lang)
        : CMCIPlayer(Describe(FloatingWindow::MediaPlayer), *this), path_(std::move(path)) {
        language = lang;
    }
    bool AskOpenPath(std::string* path) override {
        *path = path_;
        return true;
    }
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }
    void Press(int button) {
        ::SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
    std::vector<std::wstring> messages;

  private:
    std::string path_;
};

TEST(PlayerGui, WavFilePlaysAndItsPositionMoves) {
    if (!guitest::EnvironmentHas(L"MELVORA_SOUND_TESTS")) {
        GTEST_SKIP() << "needs the PulseAudio null sink of sound_under_wine.sh";
    }
    // Six seconds of a 440 Hz tone.
    guitest::TempProgramFolder folder("player");
    const std::string path = folder.Path("tone.wav");
    ASSERT_TRUE(guitest::WriteTone(path, 440.0, 6.0, 22050, 8000.0));
    for (int language : {guitest::kEnglish, guitest::kTurkish}) {
        ScriptedPlayer player(path, language);
        ASSERT_TRUE(player.Create(nullptr));
        ::SetWindowPos(player.Handle(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ::ShowWindow(player.Handle(), SW_SHOW);
        // Play with no file asks for one and plays it at once.
        player.Press(IDC_PLAYER_PLAY);
        ASSERT_EQ(player.Player().CurrentState(), MediaPlayer::State::Playing);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(player.Handle(), IDC_PLAYER_TEMPO)));
        CTrackbar position(::GetDlgItem(player.Handle(), IDC_PLAYER_POSITION));
        EXPECT_EQ(position.RangeMax(), 6);
        EXPECT_TRUE(guitest::PumpUntil([&] { return position.Pos() >= 2; }, 6000));
        EXPECT_EQ(guitest::TextOf(::GetDlgItem(player.Handle(), IDC_PLAYER_TIME)).substr(0, 7),
                  MediaPlayer::TimeText(position.Pos(), L"").substr(0, 7));
        guitest::TakeShot(player.Handle(),
                          language == guitest::kEnglish ? "media_player_en" : "media_player_tr");
        // Played to its end, the file closes by itself.
        EXPECT_TRUE(guitest::PumpUntil(
            [&] { return player.Player().CurrentState() == MediaPlayer::State::Stopped; }, 20000));
        EXPECT_TRUE(player.messages.empty());
        player.DestroyWindow();
    }
    ::DeleteFileW(Utf8ToWide(path).c_str());
}

}  // namespace
}  // namespace melvora
