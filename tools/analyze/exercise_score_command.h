#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace melvora {

// melvora-analyze --exercise FILE.exc --step N TRY.wav: scores a recorded try against the
// melody of step N (counted from 1, as the exercise window shows steps) and prints one CSV
// row per melody note and a summary row. Teachers can run it over a folder of kept tries.
class ExerciseScoreCommand {
  public:
    ExerciseScoreCommand(FILE* out, FILE* err) : out_(out), err_(err) {}

    // True when the arguments ask for this mode (they hold "--exercise").
    static bool Wants(const std::vector<std::string>& arguments);
    // arguments: without the program name. Returns the exit status (0, or 2 on failure).
    int Run(const std::vector<std::string>& arguments);

    static const char* UsageLine();

  private:
    int Fail(const std::string& why);

    FILE* out_;
    FILE* err_;
};

}  // namespace melvora
