#include "analyze_command.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "analysis/analysis_engine.h"
#include "analysis/note.h"
#include "analysis/result_holder.h"
#include "audio/wave_file.h"

namespace melvora {

namespace {

// Why a file could not be read, in words.
std::string Reason(WaveFileState state) {
    switch (state) {
        case WaveFileState::CannotOpen:
            return "cannot open the file (it is missing or not readable)";
        case WaveFileState::NotRiff:
            return "not a WAV file (no RIFF header)";
        case WaveFileState::NotWave:
            return "not a WAV file (the RIFF form is not WAVE)";
        case WaveFileState::NoFormatChunk:
            return "damaged or truncated WAV file (no format chunk)";
        case WaveFileState::UnsupportedFormat:
            return "unsupported WAV format (only 8- and 16-bit PCM, mu-law and A-law are read)";
        case WaveFileState::CompandedNot8Bit:
            return "unsupported WAV format (mu-law and A-law samples must be 8-bit)";
        case WaveFileState::NoDataChunk:
            return "damaged or truncated WAV file (no data chunk)";
        case WaveFileState::ChunkTooLong:
            return "damaged or truncated WAV file (a chunk runs past the end of the file)";
        case WaveFileState::UnsupportedSampleRate:
            return "unsupported WAV format (the sample rate must be 1000 to 384000 Hz)";
        case WaveFileState::ReadFailed:
            return "read error (or the file is larger than 2 GiB)";
        case WaveFileState::SeekFailed:
            return "seek error";
        default:
            return "cannot be read (state " + std::to_string(static_cast<int>(state)) + ")";
    }
}

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

// Prints every published record as a CSV row and keeps what the summary needs.
class CsvPrinter : public ResultListener {
  public:
    CsvPrinter(FILE* out, bool letters, double hopSeconds)
        : out_(out), letters_(letters), hopSeconds_(hopSeconds) {}

    void SetBlockIndex(long long index) { blockIndex_ = index; }

    void OnResultPublished(const ResultRecord& record) override {
        const double timeSeconds = static_cast<double>(blockIndex_ + 1) * hopSeconds_;
        const std::string note =
            record.pitchHz > 0.0f ? record.note.Name(true, letters_) : std::string("-");
        std::fprintf(out_, "%.3f,%.2f,%s,%.4f,%.4f,%.4f,%.4f\n", timeSeconds, record.pitchHz,
                     note.c_str(), record.tessim, record.level, record.jitter, record.shimmer);
        ++records_;
        if (record.pitchHz > 0.0f) {
            voicedPitches_.push_back(record.pitchHz);
            tessimSum_ += record.tessim;
            jitterSum_ += record.jitter;
            shimmerSum_ += record.shimmer;
        }
    }

    void PrintSummary() const {
        const size_t voiced = voicedPitches_.size();
        const double share = records_ > 0 ? 100.0 * static_cast<double>(voiced) / records_ : 0.0;
        std::fprintf(out_, "# voiced share: %.1f %% (%lld of %lld records)\n", share,
                     static_cast<long long>(voiced), records_);
        if (voiced == 0) {
            std::fprintf(out_, "# mean pitch: - (no voiced records)\n");
            std::fprintf(out_,
                         "# median pitch: -\n# mean tessim: -\n# mean jitter: -\n"
                         "# mean shimmer: -\n");
            return;
        }
        double pitchSum = 0.0;
        for (float p : voicedPitches_) {
            pitchSum += p;
        }
        const double mean = pitchSum / static_cast<double>(voiced);
        std::vector<float> sorted = voicedPitches_;
        std::sort(sorted.begin(), sorted.end());
        const double median =
            voiced % 2 == 1
                ? sorted[voiced / 2]
                : 0.5 * (static_cast<double>(sorted[voiced / 2 - 1]) + sorted[voiced / 2]);
        std::fprintf(out_, "# mean pitch: %.2f Hz (%s)\n", mean, NoteName(mean).c_str());
        std::fprintf(out_, "# median pitch: %.2f Hz (%s)\n", median, NoteName(median).c_str());
        std::fprintf(out_, "# mean tessim: %.4f\n", tessimSum_ / static_cast<double>(voiced));
        std::fprintf(out_, "# mean jitter: %.4f\n", jitterSum_ / static_cast<double>(voiced));
        std::fprintf(out_, "# mean shimmer: %.4f\n", shimmerSum_ / static_cast<double>(voiced));
    }

  private:
    std::string NoteName(double pitchHz) const {
        return Note::FromFrequency(static_cast<float>(pitchHz)).Name(true, letters_);
    }

    FILE* out_;
    bool letters_;
    double hopSeconds_;
    long long blockIndex_ = 0;
    long long records_ = 0;
    std::vector<float> voicedPitches_;
    double tessimSum_ = 0.0;
    double jitterSum_ = 0.0;
    double shimmerSum_ = 0.0;
};

}  // namespace

const char* AnalyzeCommand::UsageLine() {
    return "usage: melvora-analyze [--average N] [--sensitivity S] [--frame SECONDS] "
           "[--skip SECONDS] [--solfege] [--summary] [--stats] FILE.wav";
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
           "                     many times faster than real time the analysis ran\n"
           "  --help             this text\n"
           "\n"
           "Exit status: 0 when the file was analysed, 2 for bad options or a file that\n"
           "cannot be analysed (the reason goes to standard error).\n";
}

int AnalyzeCommand::BadOption(const std::string& why) {
    std::fprintf(err_, "melvora-analyze: %s\n%s\n", why.c_str(), UsageLine());
    return kFailure;
}

bool AnalyzeCommand::Parse(const std::vector<std::string>& arguments, Settings* settings) {
    bool pathSeen = false;
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
        } else if (pathSeen) {
            BadOption("only one file can be analysed at a time");
            return false;
        } else {
            settings->path = argument;
            pathSeen = true;
        }
    }
    if (settings->help) {
        return true;
    }
    if (!pathSeen) {
        BadOption("no file given");
        return false;
    }
    if (settings->skipSeconds > settings->frameSeconds) {
        BadOption("--skip must not be longer than --frame");
        return false;
    }
    return true;
}

int AnalyzeCommand::Run(const std::vector<std::string>& arguments) {
    Settings settings;
    if (!Parse(arguments, &settings)) {
        return kFailure;
    }
    if (settings.help) {
        std::fprintf(out_, "%s\n\n%s", UsageLine(), HelpText());
        return kSuccess;
    }
    return Analyse(settings);
}

int AnalyzeCommand::Analyse(const Settings& settings) {
    std::unique_ptr<WaveFile> file = WaveFile::OpenForReading(settings.path);
    if (!file || file->State() != WaveFileState::Reading) {
        const WaveFileState state = file ? file->State() : WaveFileState::CannotOpen;
        std::fprintf(err_, "melvora-analyze: %s: %s\n", settings.path.c_str(),
                     Reason(state).c_str());
        return kFailure;
    }
    const uint32_t rate = file->SampleRateHz();
    if (rate == 0 || rate > 2147483647u) {
        std::fprintf(err_, "melvora-analyze: %s: unsupported WAV format (sample rate %u Hz)\n",
                     settings.path.c_str(), rate);
        return kFailure;
    }
    const int sampleRateHz = static_cast<int>(rate);
    // The engine falls back to its default sizes for a frame or skip that rounds to no sample
    // (damaged settings); asked for on the command line, that deserves an answer instead.
    const double frameSamples =
        std::floor(sampleRateHz * static_cast<double>(settings.frameSeconds) + 0.5);
    const double skipSamples =
        std::floor(sampleRateHz * static_cast<double>(settings.skipSeconds) + 0.5);
    if (frameSamples < 1.0 || skipSamples < 1.0 || skipSamples > frameSamples) {
        std::fprintf(err_,
                     "melvora-analyze: %s: at %d Hz the frame is %.0f and the skip %.0f samples; "
                     "both must be at least 1 and the skip no longer than the frame\n",
                     settings.path.c_str(), sampleRateHz, frameSamples, skipSamples);
        return kFailure;
    }

    AnalysisEngine engine(nullptr, sampleRateHz, settings.frameSeconds, settings.skipSeconds,
                          AnalysisEngine::kDefaultMinimumTransformSize);
    engine.SetVoiceActivationSensitivity(settings.sensitivity);
    const int hop = engine.HopLength();
    if (hop < 1) {
        std::fprintf(err_, "melvora-analyze: %s: sample rate %d Hz cannot be analysed\n",
                     settings.path.c_str(), sampleRateHz);
        return kFailure;
    }
    std::vector<int16_t> block(static_cast<size_t>(hop), 0);

    // The room's quiet before the replay; the engine's results for it go nowhere.
    const long long leadInBlocks =
        static_cast<long long>(std::ceil(kLeadInSeconds * sampleRateHz / hop));
    for (long long i = 0; i < leadInBlocks; ++i) {
        engine.ProcessBlock(block.data());
    }

    ResultHolder holder;
    holder.SetAveragingWindow(settings.averagingWindow);
    holder.SetHistoryLength(1);
    CsvPrinter printer(out_, !settings.solfege, static_cast<double>(hop) / sampleRateHz);
    holder.AddListener(&printer);
    engine.SetSink(&holder);

    std::fprintf(out_, "time_s,pitch_hz,note,tessim,level,jitter,shimmer\n");
    const auto started = std::chrono::steady_clock::now();
    long long blocks = 0;
    long long frames = 0;
    for (;;) {
        // A short last block keeps the previous block's tail in the rest of the buffer, as the
        // transport's block buffer does.
        const int32_t read = file->ReadMono(block.data(), hop);
        if (read < 0) {
            std::fprintf(err_, "melvora-analyze: %s: %s\n", settings.path.c_str(),
                         Reason(file->State()).c_str());
            return kFailure;
        }
        if (read == 0) {
            break;
        }
        frames += read;
        printer.SetBlockIndex(blocks);
        engine.ProcessBlock(block.data());
        ++blocks;
    }
    const double processingSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    if (settings.summary) {
        printer.PrintSummary();
    }
    std::fflush(out_);
    if (settings.stats) {
        const double audioSeconds = static_cast<double>(frames) / sampleRateHz;
        std::fprintf(err_,
                     "audio %.3f s, processing %.6f s, %.0f times real time (%lld blocks of %d "
                     "samples at %d Hz)\n",
                     audioSeconds, processingSeconds,
                     processingSeconds > 0.0 ? audioSeconds / processingSeconds : 0.0, blocks, hop,
                     sampleRateHz);
    }
    if (std::ferror(out_)) {
        std::fprintf(err_, "melvora-analyze: cannot write the results\n");
        return kFailure;
    }
    return kSuccess;
}

}  // namespace melvora
