#include "analyze_command.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "batch_analysis.h"
#include "exercise_score_command.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace melvora {

namespace {

// Strict number parsing: the whole text must be the number.
bool ParseInt(const std::string& text, int* value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || parsed < -2147483647L || parsed > 2147483647L) {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

bool IsTerminal(FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

bool IsFolder(const std::string& path) {
    std::error_code code;
    return std::filesystem::is_directory(std::filesystem::u8path(path), code);
}

bool ParseFloat(const std::string& text, float* value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(parsed)) {
        return false;
    }
    *value = static_cast<float>(parsed);
    return true;
}

}  // namespace

const char* AnalyzeCommand::UsageLine() {
    return "usage: melvora-analyze [--average N] [--sensitivity S] [--frame SECONDS] "
           "[--skip SECONDS] [--solfege] [--summary] [--stats] [--octave-guard] "
           "[-j N] [--out-dir FOLDER | --combined FILE.csv] FILE.wav|FOLDER ...";
}

const char* AnalyzeCommand::HelpText() {
    return "Analyses a sung or spoken WAV file as Melvora does live and prints one CSV row per\n"
           "result: time_s,pitch_hz,note,tessim,level,jitter,shimmer\n"
           "  time_s   file time at the end of the block that completed the result\n"
           "  note     nearest note with octave, or - when there is no pitch\n"
           "  tessim, level, jitter, shimmer  scores from 0 to 1 (jitter and shimmer: 1 = steady)\n"
           "\n"
           "The file is replayed in blocks of the skip length at its own sample rate, mixed to\n"
           "mono. Before the file the analysis hears 0.5 s of silence, for which nothing is\n"
           "printed: in the program the microphone is analysed from start-up on, so the\n"
           "silence detector knows the room's quiet before anything is replayed; without it a\n"
           "file that starts with the voice would have the voice taken for the quietest sound.\n"
           "\n"
           "Options:\n"
           "  --average N        results averaged into each row (averaging window) [1]\n"
           "  --sensitivity S    voice activation sensitivity, 0 to 1 [0.5]\n"
           "  --frame SECONDS    analysis frame length [0.04]\n"
           "  --skip SECONDS     block length, at most the frame length [0.03]\n"
           "  --solfege          name notes Do, Re, Mi ... instead of C, D, E ...\n"
           "  --summary          after the rows: voiced share, mean and median pitch of the\n"
           "                     voiced rows with their notes, their mean tessim, jitter and\n"
           "                     shimmer (lines starting with #)\n"
           "  --stats            on standard error: audio seconds, processing seconds and how\n"
           "                     many times faster than real time the analysis ran, by the\n"
           "                     clock and by the processor time of the analysis\n"
           "  --octave-guard     correct a record an octave away from both neighbours when\n"
           "                     they agree (an octave slip of the coarse search); off by\n"
           "                     default, as in the program\n"
           "  --help             this text\n"
           "\n"
           "Many files: give several files or folders (their WAV files, subfolders included,\n"
           "are analysed in name order). They are analysed on all cores, each with a fresh\n"
           "analysis, so the rows do not depend on the number of workers.\n"
           "  -j N, --jobs N     workers [one per core]\n"
           "  --out-dir FOLDER   one CSV per input in FOLDER (NAME.wav gives NAME.csv)\n"
           "  --combined FILE    one CSV with a first column \"file\" [standard output]\n"
           "A progress line goes to standard error when it is a terminal. A file that cannot\n"
           "be analysed is named there with the reason, and the others still finish.\n"
           "\n"
           "Exit status: 0 when every file was analysed; 1 when some of several could not be;\n"
           "2 for bad options, a single file that cannot be analysed, or no output (the reason\n"
           "goes to standard error).\n";
}

int AnalyzeCommand::BadOption(const std::string& why) {
    std::fprintf(err_, "melvora-analyze: %s\n%s\n", why.c_str(), UsageLine());
    return kFailure;
}

bool AnalyzeCommand::Parse(const std::vector<std::string>& arguments, Settings* settings) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            settings->help = true;
        } else if (argument == "--solfege") {
            settings->solfege = true;
        } else if (argument == "--summary") {
            settings->summary = true;
        } else if (argument == "--stats") {
            settings->stats = true;
        } else if (argument == "--octave-guard") {
            settings->octaveGuard = true;
        } else if (argument == "-j" || argument == "--jobs") {
            if (!hasValue || !ParseInt(arguments[++i], &settings->jobs) || settings->jobs < 1 ||
                settings->jobs > 256) {
                BadOption("-j needs a number of workers from 1 to 256");
                return false;
            }
            settings->batch = true;
        } else if (argument == "--out-dir" || argument == "--combined") {
            if (!hasValue || arguments[i + 1].empty()) {
                BadOption(argument + " needs a name");
                return false;
            }
            (argument == "--out-dir" ? settings->outputFolder : settings->combinedPath) =
                arguments[++i];
            settings->batch = true;
        } else if (argument == "--average") {
            if (!hasValue || !ParseInt(arguments[++i], &settings->averagingWindow) ||
                settings->averagingWindow < 1) {
                BadOption("--average needs a whole number of at least 1");
                return false;
            }
        } else if (argument == "--sensitivity") {
            if (!hasValue || !ParseFloat(arguments[++i], &settings->sensitivity) ||
                settings->sensitivity < 0.0f || settings->sensitivity > 1.0f) {
                BadOption("--sensitivity needs a number from 0 to 1");
                return false;
            }
        } else if (argument == "--frame") {
            if (!hasValue || !ParseFloat(arguments[++i], &settings->frameSeconds) ||
                !(settings->frameSeconds > 0.0f) || settings->frameSeconds > 10.0f) {
                BadOption("--frame needs a length in seconds above 0 and up to 10");
                return false;
            }
        } else if (argument == "--skip") {
            if (!hasValue || !ParseFloat(arguments[++i], &settings->skipSeconds) ||
                !(settings->skipSeconds > 0.0f) || settings->skipSeconds > 10.0f) {
                BadOption("--skip needs a length in seconds above 0 and up to 10");
                return false;
            }
        } else if (argument.size() > 1 && argument[0] == '-') {
            BadOption("unknown option " + argument);
            return false;
        } else {
            settings->paths.push_back(argument);
        }
    }
    if (settings->help) {
        return true;
    }
    if (settings->paths.empty()) {
        BadOption("no file given");
        return false;
    }
    if (!settings->outputFolder.empty() && !settings->combinedPath.empty()) {
        BadOption("--out-dir and --combined exclude each other");
        return false;
    }
    if (settings->skipSeconds > settings->frameSeconds) {
        BadOption("--skip must not be longer than --frame");
        return false;
    }
    return true;
}

int AnalyzeCommand::Run(const std::vector<std::string>& arguments) {
    if (ExerciseScoreCommand::Wants(arguments)) {
        return ExerciseScoreCommand(out_, err_).Run(arguments);
    }
    Settings settings;
    if (!Parse(arguments, &settings)) {
        return kFailure;
    }
    if (settings.help) {
        std::fprintf(out_, "%s\n\n%s", UsageLine(), HelpText());
        return kSuccess;
    }
    if (settings.batch || settings.paths.size() > 1 || IsFolder(settings.paths[0])) {
        return AnalyseMany(settings);
    }
    return Analyse(settings);
}

FileAnalysis::Options AnalyzeCommand::FileOptions(const Settings& settings) {
    FileAnalysis::Options options;
    options.averagingWindow = settings.averagingWindow;
    options.sensitivity = settings.sensitivity;
    options.frameSeconds = settings.frameSeconds;
    options.skipSeconds = settings.skipSeconds;
    options.solfege = settings.solfege;
    options.summary = settings.summary;
    options.octaveGuard = settings.octaveGuard;
    return options;
}

int AnalyzeCommand::AnalyseMany(const Settings& settings) {
    BatchAnalysis::Options options;
    options.file = FileOptions(settings);
    options.jobs = settings.jobs;
    options.outputFolder = settings.outputFolder;
    options.combinedPath = settings.combinedPath;
    options.stats = settings.stats;
    options.progress = IsTerminal(err_);
    return BatchAnalysis(out_, err_).Run(settings.paths, options);
}

int AnalyzeCommand::Analyse(const Settings& settings) {
    const std::string& path = settings.paths[0];
    FileAnalysis::Output output;
    output.file = out_;
    const FileAnalysis::Report report = FileAnalysis::Run(path, FileOptions(settings), &output);
    std::fflush(out_);
    if (!report.analysed) {
        std::fprintf(err_, "melvora-analyze: %s: %s\n", path.c_str(), report.error.c_str());
        return kFailure;
    }
    if (settings.stats) {
        const double audioSeconds = report.AudioSeconds();
        const double processingSeconds = report.processingSeconds;
        std::fprintf(err_,
                     "audio %.3f s, processing %.6f s, %.0f times real time (%lld blocks of %d "
                     "samples at %d Hz)\n",
                     audioSeconds, processingSeconds,
                     processingSeconds > 0.0 ? audioSeconds / processingSeconds : 0.0,
                     report.blocks, report.hop, report.sampleRateHz);
        if (report.cpuSeconds > 0.0) {
            std::fprintf(err_, "processor time %.6f s, %.0f times real time\n", report.cpuSeconds,
                         audioSeconds / report.cpuSeconds);
        }
    }
    if (std::ferror(out_)) {
        std::fprintf(err_, "melvora-analyze: cannot write the results\n");
        return kFailure;
    }
    return kSuccess;
}

}  // namespace melvora
