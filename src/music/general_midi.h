#pragma once

namespace melvora {

// The 128 General MIDI instruments of the keyboard's Device menu, in program order, in 16
// families of 8, and the menu commands that choose them. The command ids are not contiguous:
// programs 0-72, 73-79 and 80-127 each have their own run of ids.
class GeneralMidi {
  public:
    static constexpr int kProgramCount = 128;
    static constexpr int kFamilyCount = 16;
    static constexpr int kProgramsPerFamily = 8;

    // "Acoustic Grand Piano" ... "Gunshot"; nullptr outside 0..127.
    static const char* ProgramName(int program);
    // "Piano" ... "Sound Effects"; nullptr outside 0..15.
    static const char* FamilyName(int family);
    // The menu command of a program, 0 outside 0..127.
    static int CommandOfProgram(int program);
    // The program a menu command chooses, -1 for any other command.
    static int ProgramOfCommand(int commandId);
};

}  // namespace melvora
