#include "exercises/exercise_folder.h"

#include <algorithm>

#include "exercises/exercise.h"
#include "platform/file_system.h"
#include "platform/program_directory.h"

namespace melvora {
namespace {

bool EndsWithExc(const std::string& name) {
    static const std::string kExtension = ".exc";
    return name.size() >= kExtension.size() &&
           name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) == 0;
}

void MakeOneFolder(const std::string& folder) {
    // A level that cannot be made shows up as a failure to write into it, where the caller
    // has a message for it.
    static_cast<void>(MakeDirectory(folder));
}

}  // namespace

std::string ExerciseFolder::Path() {
    return ProgramDirectory() + "Exercises" + PathSeparator();
}

std::string ExerciseFolder::RecordingsPath() {
    return ProgramDirectory() + "ExerciseRecordings" + PathSeparator();
}

std::vector<std::string> ExerciseFolder::List() {
    std::vector<std::string> names = ListFiles(Path());
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& name) { return !EndsWithExc(name); }),
                names.end());
    // Directory order differs between file systems; a sorted list reads the same everywhere.
    std::sort(names.begin(), names.end());
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& name) { return !Exercise::Open(name); }),
                names.end());
    return names;
}

void ExerciseFolder::CreateFolders(const std::string& folder) {
    // Each level in turn, from the first one below the root (or drive) down to the last.
    for (size_t i = 1; i < folder.size(); ++i) {
        if (folder[i] == '/' || folder[i] == '\\') {
            if (folder[i - 1] == ':') {
                continue;  // "C:" is a drive, not a folder
            }
            MakeOneFolder(folder.substr(0, i));
        }
    }
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
        MakeOneFolder(folder);
    }
}

}  // namespace melvora
