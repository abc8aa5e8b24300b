#pragma once

#include <string>

namespace melvora {

// The folder of the running program's own file, ending in a separator ('\\' on Windows,
// '/' elsewhere). "tmp.wav", "options.dat", the exercise folders and the help file live here.
// Returns an empty string if the system cannot tell.
std::string ProgramDirectory();

// Points ProgramDirectory() at another folder (tests use a temporary one); an empty string
// restores the real answer. A missing trailing separator is added.
void SetProgramDirectoryOverride(const std::string& directory);

// The folder separator of this platform.
char PathSeparator();

}  // namespace melvora
