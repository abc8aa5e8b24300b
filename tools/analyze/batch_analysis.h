#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "file_analysis.h"

namespace melvora {

// melvora-analyze over many files and folders on all cores: each file gets a fresh engine on
// one of the workers, so the rows do not depend on the number of workers. The results go to
// one CSV per input in a folder, or to one combined CSV with a file column, always in input
// order. A file that cannot be analysed is named on standard error and the others finish.
class BatchAnalysis {
  public:
    struct Options {
        FileAnalysis::Options file;
        int jobs = 0;              // workers; 0: one per core
        std::string outputFolder;  // one CSV per input here, when not empty
        std::string combinedPath;  // else one CSV here; empty or "-": standard output
        bool stats = false;
        bool progress = false;  // a progress line on standard error
    };

    // Exit statuses.
    static constexpr int kAllAnalysed = 0;
    static constexpr int kSomeFailed = 1;
    static constexpr int kNothingDone = 2;  // no input, or the output cannot be written

    BatchAnalysis(FILE* out, FILE* err) : out_(out), err_(err) {}

    int Run(const std::vector<std::string>& inputs, const Options& options);

    // Files stay as given; a folder gives its WAV files (any case of ".wav"), with those of
    // its subfolders, sorted by path. False, with the reason, when an input does not exist.
    static bool ExpandInputs(const std::vector<std::string>& inputs,
                             std::vector<std::string>* files, std::string* error);

    // One CSV name per file: its name with ".csv" for ".wav", numbered (-2, -3 ...) when two
    // inputs share a name.
    static std::vector<std::string> OutputNames(const std::vector<std::string>& files);

    // Workers for `jobs` (0: the number of cores) and `files` files: at least 1.
    static int Workers(int jobs, size_t files);

  private:
    FILE* out_;
    FILE* err_;
};

}  // namespace melvora
