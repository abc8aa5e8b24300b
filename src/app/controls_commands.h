#pragma once

namespace melvora {

// Commands and controls of the main controls window.
namespace controls {

// Menu commands (File, View, Help menus and the Eject popup).
constexpr int kCommandNew = 57600;
constexpr int kCommandOpen = 57601;
constexpr int kCommandSave = 57603;
constexpr int kCommandOptions = 33053;
constexpr int kCommandExit = 33054;
constexpr int kCommandViewAnalysis = 33071;
constexpr int kCommandViewMediaPlayer = 33057;
constexpr int kCommandViewKeyboard = 33058;
constexpr int kCommandViewStaff = 33059;
constexpr int kCommandViewVolume = 33068;
constexpr int kCommandHelpTopics = 33062;
constexpr int kCommandAbout = 33063;
// Starts the exercises; reached from the File menu.
constexpr int kCommandExercises = 33072;

// Controls of dialog 102.
constexpr int kRecButton = 1006;
constexpr int kRewButton = 1008;
constexpr int kPlayButton = 1009;
constexpr int kEjectButton = 1011;
constexpr int kPositionSlider = 1017;
constexpr int kTimeText = 1027;
constexpr int kCloseButton = 1063;
constexpr int kHelpButton = 1064;
constexpr int kTitleBar = 1065;
constexpr int kMinimiseButton = 1072;
constexpr int kFileMenuButton = 1073;
constexpr int kViewMenuButton = 1074;
constexpr int kHelpMenuButton = 1075;
constexpr int kRecordGroup = 1090;
constexpr int kReplayGroup = 1091;
constexpr int kFileGroup = 1092;

// The View command of floating window `index` (0 analysis, 1 media player, 2 keyboard,
// 3 staff, 4 volume), or 0 for another index.
int ViewCommandOfWindow(int index);
// The floating window index of a View command, or -1.
int WindowOfViewCommand(int commandId);

}  // namespace controls
}  // namespace melvora
