#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "file_analysis.h"

namespace melvora {

// melvora-analyze: replays a WAV file through the analysis engine as the transport's worker
// does and prints one CSV row per published record; many files and folders go to the batch. Kept
// apart from main() so that tests and other front ends can run it with their own streams.
class AnalyzeCommand {
  public:
    // Exit statuses.
    static constexpr int kSuccess = 0;
    static constexpr int kFailure = 2;  // bad options, or a file that cannot be analysed

    AnalyzeCommand(FILE* out, FILE* err) : out_(out), err_(err) {}

    // arguments: the command-line arguments without the program name (UTF-8). Returns the
    // exit status.
    int Run(const std::vector<std::string>& arguments);

    static const char* UsageLine();
    static const char* HelpText();

  private:
    struct Settings {
        int averagingWindow = 1;
        float sensitivity = 0.5f;
        float frameSeconds = 0.04f;
        float skipSeconds = 0.03f;
        bool solfege = false;
        bool summary = false;
        bool stats = false;
        bool octaveGuard = false;
        bool help = false;
        bool batch = false;  // a batch option was given: batch mode even for one file
        int jobs = 0;
        std::string outputFolder;
        std::string combinedPath;
        std::vector<std::string> paths;
    };

    // Fills settings; on a bad option prints why and the usage line and returns false.
    bool Parse(const std::vector<std::string>& arguments, Settings* settings);
    int Analyse(const Settings& settings);
    int AnalyseMany(const Settings& settings);
    static FileAnalysis::Options FileOptions(const Settings& settings);
    int BadOption(const std::string& why);

    FILE* out_;
    FILE* err_;
};

}  // namespace melvora
