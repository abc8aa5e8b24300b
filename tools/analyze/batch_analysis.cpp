#include "batch_analysis.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <set>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/file_system.h"

namespace melvora {

namespace fs = std::filesystem;

namespace {

fs::path PathOf(const std::string& utf8) {
    return fs::u8path(utf8);
}

std::string Utf8Of(const fs::path& path) {
    const auto text = path.u8string();  // std::string before C++20
    return std::string(text.begin(), text.end());
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsWaveName(const fs::path& path) {
    return Lowered(Utf8Of(path.extension())) == ".wav";
}

// Rubs out the progress line.
void ClearProgress(FILE* err) {
    std::fprintf(err, "\r%60s\r", "");
}

FILE* OpenForWriting(const std::string& path) {
    return OpenFile(path, "wb");
}

// One input's outcome, filled by a worker and written out by the main thread in order.
struct Slot {
    bool done = false;
    FileAnalysis::Report report;
    std::string text;  // the rows, in combined mode
    bool writeFailed = false;
};

}  // namespace

bool BatchAnalysis::ExpandInputs(const std::vector<std::string>& inputs,
                                 std::vector<std::string>* files, std::string* error) {
    for (const std::string& input : inputs) {
        std::error_code code;
        const fs::path path = PathOf(input);
        if (!fs::is_directory(path, code)) {
            // Not a folder: analysed as a file, which names its own fault if it has one.
            files->push_back(input);
            continue;
        }
        std::vector<std::string> found;
        fs::recursive_directory_iterator walk(path, code);
        if (code) {
            *error = input + ": cannot read the folder";
            return false;
        }
        for (; walk != fs::recursive_directory_iterator(); walk.increment(code)) {
            if (code) {
                *error = input + ": cannot read the folder";
                return false;
            }
            std::error_code typeCode;
            if (walk->is_regular_file(typeCode) && IsWaveName(walk->path())) {
                found.push_back(Utf8Of(walk->path()));
            }
        }
        std::sort(found.begin(), found.end());
        files->insert(files->end(), found.begin(), found.end());
    }
    return true;
}

std::vector<std::string> BatchAnalysis::OutputNames(const std::vector<std::string>& files) {
    std::vector<std::string> names;
    std::set<std::string> taken;
    for (const std::string& file : files) {
        const fs::path path = PathOf(file);
        std::string stem = Utf8Of(IsWaveName(path) ? path.stem() : path.filename());
        if (stem.empty()) {
            stem = "analysis";
        }
        // Two inputs of one name (from different folders) must not overwrite each other; the
        // names are compared without case, as Windows compares them.
        std::string name = stem + ".csv";
        for (int n = 2; taken.count(Lowered(name)) != 0; ++n) {
            name = stem + "-" + std::to_string(n) + ".csv";
        }
        taken.insert(Lowered(name));
        names.push_back(name);
    }
    return names;
}

int BatchAnalysis::Workers(int jobs, size_t files) {
    int workers = jobs;
    if (workers <= 0) {
        workers = static_cast<int>(std::thread::hardware_concurrency());
    }
    workers = std::max(workers, 1);
    return static_cast<int>(
        std::min<size_t>(static_cast<size_t>(workers), std::max<size_t>(files, 1)));
}

int BatchAnalysis::Run(const std::vector<std::string>& inputs, const Options& options) {
    std::vector<std::string> files;
    std::string error;
    if (!ExpandInputs(inputs, &files, &error)) {
        std::fprintf(err_, "melvora-analyze: %s\n", error.c_str());
        return kNothingDone;
    }
    if (files.empty()) {
        std::fprintf(err_, "melvora-analyze: no WAV files found in the folders given\n");
        return kNothingDone;
    }

    const bool perFile = !options.outputFolder.empty();
    std::vector<std::string> outputPaths;
    if (perFile) {
        std::error_code code;
        fs::create_directories(PathOf(options.outputFolder), code);
        if (!fs::is_directory(PathOf(options.outputFolder), code)) {
            std::fprintf(err_, "melvora-analyze: %s: cannot create the output folder\n",
                         options.outputFolder.c_str());
            return kNothingDone;
        }
        for (const std::string& name : OutputNames(files)) {
            outputPaths.push_back(Utf8Of(PathOf(options.outputFolder) / PathOf(name)));
        }
    }
    FILE* combined = nullptr;
    bool ownsCombined = false;
    if (!perFile) {
        if (options.combinedPath.empty() || options.combinedPath == "-") {
            combined = out_;
        } else {
            combined = OpenForWriting(options.combinedPath);
            ownsCombined = true;
            if (combined == nullptr) {
                std::fprintf(err_, "melvora-analyze: %s: cannot create the file\n",
                             options.combinedPath.c_str());
                return kNothingDone;
            }
        }
        const std::string header = std::string("file,") + FileAnalysis::ColumnNames() + "\n";
        std::fwrite(header.data(), 1, header.size(), combined);
    }

    std::vector<Slot> slots(files.size());
    std::mutex mutex;
    std::condition_variable finished;
    std::atomic<size_t> next{0};
    size_t completed = 0;  // under the mutex
    auto work = [&]() {
        for (;;) {
            const size_t index = next.fetch_add(1);
            if (index >= files.size()) {
                return;
            }
            Slot result;
            FileAnalysis::Options fileOptions = options.file;
            FileAnalysis::Output output;
            FILE* own = nullptr;
            if (perFile) {
                fileOptions.header = true;
                own = OpenForWriting(outputPaths[index]);
                output.file = own;
            } else {
                fileOptions.header = false;
                fileOptions.fileColumn = files[index];
                output.text = &result.text;
            }
            if (perFile && own == nullptr) {
                result.report.error = "cannot create " + outputPaths[index];
            } else {
                result.report = FileAnalysis::Run(files[index], fileOptions, &output);
            }
            if (own != nullptr) {
                const bool failed = std::ferror(own) != 0;
                if (std::fclose(own) != 0 || failed) {
                    result.writeFailed = true;
                }
                if (!result.report.analysed || result.writeFailed) {
                    // No half-written table that looks like a result.
                    std::error_code code;
                    fs::remove(PathOf(outputPaths[index]), code);
                }
            }
            std::lock_guard<std::mutex> lock(mutex);
            slots[index] = std::move(result);
            slots[index].done = true;
            ++completed;
            finished.notify_all();
        }
    };

    const int workers = Workers(options.jobs, files.size());
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < workers; ++i) {
        threads.emplace_back(work);
    }

    // Hands out the results in input order as they come in.
    size_t written = 0;
    size_t failed = 0;
    double audioSeconds = 0.0;
    bool progressShown = false;
    {
        std::unique_lock<std::mutex> lock(mutex);
        size_t seen = 0;
        while (written < files.size()) {
            finished.wait(lock, [&] { return slots[written].done || completed != seen; });
            seen = completed;
            while (written < files.size() && slots[written].done) {
                Slot& slot = slots[written];
                const std::string& name = files[written];
                if (!slot.report.analysed) {
                    if (progressShown) {
                        ClearProgress(err_);
                    }
                    std::fprintf(err_, "melvora-analyze: %s: %s\n", name.c_str(),
                                 slot.report.error.c_str());
                    ++failed;
                } else if (slot.writeFailed) {
                    std::fprintf(err_, "melvora-analyze: %s: cannot write the results\n",
                                 outputPaths[written].c_str());
                    ++failed;
                } else {
                    audioSeconds += slot.report.AudioSeconds();
                    if (combined != nullptr) {
                        std::fwrite(slot.text.data(), 1, slot.text.size(), combined);
                    }
                }
                std::string().swap(slot.text);
                ++written;
            }
            if (options.progress) {
                std::fprintf(err_, "\rmelvora-analyze: %lld of %lld files analysed",
                             static_cast<long long>(seen), static_cast<long long>(files.size()));
                std::fflush(err_);
                progressShown = true;
            }
        }
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    if (progressShown) {
        ClearProgress(err_);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    bool writeError = false;
    if (combined != nullptr) {
        std::fflush(combined);
        writeError = std::ferror(combined) != 0;
        if (ownsCombined && std::fclose(combined) != 0) {
            writeError = true;
        }
        if (writeError) {
            std::fprintf(err_, "melvora-analyze: cannot write the results\n");
        }
    }
    if (options.stats) {
        std::fprintf(err_,
                     "%lld files (%lld failed), audio %.3f s, processing %.6f s on %d workers, "
                     "%.0f times real time\n",
                     static_cast<long long>(files.size()), static_cast<long long>(failed),
                     audioSeconds, seconds, workers, seconds > 0.0 ? audioSeconds / seconds : 0.0);
    }
    if (writeError) {
        return kNothingDone;
    }
    return failed > 0 ? kSomeFailed : kAllAnalysed;
}

}  // namespace melvora
