#pragma once

#include <string>
#include <vector>

namespace melvora {

// The folders of the exercise files and of the kept tries, beside the program.
class ExerciseFolder {
  public:
    // Program directory + "Exercises" + separator.
    static std::string Path();
    // Program directory + "ExerciseRecordings" + separator.
    static std::string RecordingsPath();

    // The names (no folder) of the files in the "Exercises" folder whose names end in
    // ".exc" (case-sensitive) and that open as valid exercises, sorted by name. Sub-folders
    // are not searched. Empty when the folder is missing.
    static std::vector<std::string> List();

    // Creates every missing level of `folder` (an absolute path; both separators accepted).
    // Existing levels are left as they are; failures are ignored, callers find out when
    // they write into the folder.
    static void CreateFolders(const std::string& folder);
};

}  // namespace melvora
