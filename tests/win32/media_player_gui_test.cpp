// The media player window with the system's MCI under Wine: a WAV file really plays (to the
// PulseAudio null sink of sound_under_wine.sh), its position moves and it closes at its end.
// The player's commands, states and faults are checked against a fake MCI natively.
#include <windows.h>

#include "music/win32/mci_player.h"
#include "platform/win32/trackbar.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

// The real player on its own; the open-file dialog answers with `path` and messages are
// kept instead of waiting for a click. The owner part comes first: the player keeps a
// reference to it from its construction.
struct ScriptedPlayer : guitest::FloatingOwner, CMCIPlayer {
    ScriptedPlayer() : CMCIPlayer(Describe(FloatingWindow::MediaPlayer), *this) {}
    bool AskOpenPath(std::string* chosen) override {
        *chosen = path;
        return true;
    }
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }
    std::string path;
    std::vector<std::wstring> messages;
};

TEST(PlayerGui, WavFilePlaysAndItsPositionMoves) {
    if (!guitest::EnvironmentHas(L"MELVORA_SOUND_TESTS")) {
        GTEST_SKIP() << "needs the PulseAudio null sink of sound_under_wine.sh";
    }
    // Six seconds of a 440 Hz tone, named as the folder removes it.
    guitest::TempProgramFolder folder("player");
    const std::string path = folder.Path("tmp.wav");
    ASSERT_TRUE(guitest::WriteTone(path, 440.0, 6.0, 22050, 8000.0));
    for (int language : {guitest::kEnglish, guitest::kTurkish}) {
        ScriptedPlayer player;
        player.path = path;
        player.language = language;
        ASSERT_TRUE(player.Create(nullptr));
        ::SetWindowPos(player.Handle(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ::ShowWindow(player.Handle(), SW_SHOW);
        // Play with no file asks for one and plays it at once.
        ::SendMessageW(player.Handle(), WM_COMMAND, MAKEWPARAM(IDC_PLAYER_PLAY, BN_CLICKED), 0);
        ASSERT_EQ(player.Player().CurrentState(), MediaPlayer::State::Playing);
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
}

}  // namespace
}  // namespace melvora
