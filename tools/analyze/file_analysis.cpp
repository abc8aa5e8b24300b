#include "file_analysis.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <ctime>
#include <memory>
#include <vector>

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

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return std::string(text, static_cast<size_t>(std::clamp(length, 0, 511)));
}

// Processor seconds of the calling thread, or -1 where not available.
double ThreadCpuSeconds() {
#if defined(CLOCK_THREAD_CPUTIME_ID) && !defined(_WIN32)
    timespec now;
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) == 0) {
        return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
    }
#endif
    return -1.0;
}

// Appends value with `decimals` digits after the point, as printf's "%.Nf" writes it (the
// same correctly rounded digits), followed by `separator`. printf's exact conversion was a
// twentieth of the analyser's time.
char* AppendFixed(char* out, char* end, double value, int decimals, char separator) {
    const std::to_chars_result result =
        std::to_chars(out, end - 1, value, std::chars_format::fixed, decimals);
    // A value too long for the row (none the engine makes) leaves its field empty, so that
    // the columns stay in place.
    char* const next = result.ec == std::errc() ? result.ptr : out;
    *next = separator;
    return next + 1;
}

// Distance of b from a in cents.
double Cents(float a, float b) {
    return 1200.0 * std::log2(static_cast<double>(b) / a);
}

// Writes every published record as a CSV row and keeps what the summary needs. With the
// octave guard it holds each record back until the next one has arrived.
class CsvPrinter : public ResultListener {
  public:
    CsvPrinter(FileAnalysis::Output* out, const FileAnalysis::Options& options, double hopSeconds)
        : out_(out), options_(options), hopSeconds_(hopSeconds) {
        if (!options.fileColumn.empty()) {
            prefix_ = FileAnalysis::CsvField(options.fileColumn) + ",";
        }
    }

    void SetBlockIndex(long long index) { blockIndex_ = index; }

    void OnResultPublished(const ResultRecord& record) override {
        const double timeSeconds = static_cast<double>(blockIndex_ + 1) * hopSeconds_;
        if (!options_.octaveGuard) {
            Print(record, timeSeconds);
            return;
        }
        // A record an octave away from both neighbours, which agree within a semitone, is
        // taken for an octave slip of the coarse search and moved back.
        if (pendingCount_ == 2) {
            ResultRecord& middle = pending_[1];
            const ResultRecord& before = pending_[0];
            if (before.pitchHz > 0.0f && middle.pitchHz > 0.0f && record.pitchHz > 0.0f &&
                std::fabs(Cents(before.pitchHz, record.pitchHz)) < 100.0) {
                const double jump = Cents(before.pitchHz, middle.pitchHz);
                const double following = Cents(record.pitchHz, middle.pitchHz);
                for (const double octave : {1200.0, -1200.0}) {
                    if (std::fabs(jump - octave) < 100.0 && std::fabs(following - octave) < 100.0) {
                        middle.pitchHz =
                            octave > 0.0 ? middle.pitchHz * 0.5f : middle.pitchHz * 2.0f;
                        middle.note = Note::FromFrequency(middle.pitchHz);
                        ++corrections_;
                    }
                }
            }
            Print(middle, pendingTimes_[1]);
            pending_[0] = middle;
            pendingTimes_[0] = pendingTimes_[1];
            pendingCount_ = 1;
        }
        if (pendingCount_ == 0) {
            // The first record has no earlier neighbour: it is printed as it is.
            Print(record, timeSeconds);
            pending_[0] = record;
            pendingTimes_[0] = timeSeconds;
            pendingCount_ = 1;
            return;
        }
        pending_[1] = record;
        pendingTimes_[1] = timeSeconds;
        pendingCount_ = 2;
    }

    // Prints the record still held back by the octave guard.
    void Finish() {
        if (pendingCount_ == 2) {
            Print(pending_[1], pendingTimes_[1]);
        }
        pendingCount_ = 0;
    }

    void PrintSummary() const {
        const size_t voiced = voicedPitches_.size();
        const double share = records_ > 0 ? 100.0 * static_cast<double>(voiced) / records_ : 0.0;
        // In a combined table the summary says whose it is.
        std::string text =
            options_.fileColumn.empty() ? std::string() : "# file: " + options_.fileColumn + "\n";
        text += Format("# voiced share: %.1f %% (%lld of %lld records)\n", share,
                       static_cast<long long>(voiced), records_);
        if (voiced == 0) {
            text += "# mean pitch: - (no voiced records)\n";
            text += "# median pitch: -\n# mean tessim: -\n# mean jitter: -\n# mean shimmer: -\n";
        } else {
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
            text += Format("# mean pitch: %.2f Hz (%s)\n", mean, NoteName(mean).c_str());
            text += Format("# median pitch: %.2f Hz (%s)\n", median, NoteName(median).c_str());
            text += Format("# mean tessim: %.4f\n", tessimSum_ / static_cast<double>(voiced));
            text += Format("# mean jitter: %.4f\n", jitterSum_ / static_cast<double>(voiced));
            text += Format("# mean shimmer: %.4f\n", shimmerSum_ / static_cast<double>(voiced));
        }
        if (options_.octaveGuard) {
            text += Format("# octave corrections: %lld\n", corrections_);
        }
        out_->Write(text.data(), text.size());
    }

  private:
    void Print(const ResultRecord& record, double timeSeconds) {
        const std::string note =
            record.pitchHz > 0.0f ? record.note.Name(true, !options_.solfege) : std::string("-");
        // time,pitch,note,tessim,level,jitter,shimmer
        char row[256];
        char* const end = row + sizeof row;
        char* p = AppendFixed(row, end, timeSeconds, 3, ',');
        p = AppendFixed(p, end, record.pitchHz, 2, ',');
        p = std::copy_n(note.data(), std::min<size_t>(note.size(), 64), p);
        *p++ = ',';
        p = AppendFixed(p, end, record.tessim, 4, ',');
        p = AppendFixed(p, end, record.level, 4, ',');
        p = AppendFixed(p, end, record.jitter, 4, ',');
        p = AppendFixed(p, end, record.shimmer, 4, '\n');
        if (!prefix_.empty()) {
            out_->Write(prefix_.data(), prefix_.size());
        }
        out_->Write(row, static_cast<size_t>(p - row));
        ++records_;
        if (record.pitchHz > 0.0f) {
            voicedPitches_.push_back(record.pitchHz);
            tessimSum_ += record.tessim;
            jitterSum_ += record.jitter;
            shimmerSum_ += record.shimmer;
        }
    }

    std::string NoteName(double pitchHz) const {
        return Note::FromFrequency(static_cast<float>(pitchHz)).Name(true, !options_.solfege);
    }

    FileAnalysis::Output* out_;
    const FileAnalysis::Options& options_;
    double hopSeconds_;
    std::string prefix_;
    long long blockIndex_ = 0;
    long long records_ = 0;
    std::vector<float> voicedPitches_;
    double tessimSum_ = 0.0;
    double jitterSum_ = 0.0;
    double shimmerSum_ = 0.0;
    ResultRecord pending_[2];
    double pendingTimes_[2] = {0.0, 0.0};
    int pendingCount_ = 0;
    long long corrections_ = 0;
};

}  // namespace

void FileAnalysis::Output::Write(const char* data, size_t size) {
    if (file != nullptr) {
        std::fwrite(data, 1, size, file);
    } else if (text != nullptr) {
        text->append(data, size);
    }
}

std::string FileAnalysis::CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

FileAnalysis::Report FileAnalysis::Run(const std::string& path, const Options& options,
                                       Output* out) {
    Report report;
    std::unique_ptr<WaveFile> file = WaveFile::OpenForReading(path);
    if (!file || file->State() != WaveFileState::Reading) {
        report.error = Reason(file ? file->State() : WaveFileState::CannotOpen);
        return report;
    }
    const uint32_t rate = file->SampleRateHz();
    if (rate == 0 || rate > 2147483647u) {
        report.error = Format("unsupported WAV format (sample rate %u Hz)", rate);
        return report;
    }
    const int sampleRateHz = static_cast<int>(rate);
    // The engine falls back to its default sizes for a frame or skip that rounds to no sample
    // (damaged settings); asked for on the command line, that deserves an answer instead.
    const double frameSamples =
        std::floor(sampleRateHz * static_cast<double>(options.frameSeconds) + 0.5);
    const double skipSamples =
        std::floor(sampleRateHz * static_cast<double>(options.skipSeconds) + 0.5);
    if (frameSamples < 1.0 || skipSamples < 1.0 || skipSamples > frameSamples) {
        report.error = Format(
            "at %d Hz the frame is %.0f and the skip %.0f samples; both must be at least 1 and "
            "the skip no longer than the frame",
            sampleRateHz, frameSamples, skipSamples);
        return report;
    }

    AnalysisEngine engine(nullptr, sampleRateHz, options.frameSeconds, options.skipSeconds,
                          AnalysisEngine::kDefaultMinimumTransformSize);
    engine.SetVoiceActivationSensitivity(options.sensitivity);
    const int hop = engine.HopLength();
    if (hop < 1) {
        report.error = Format("sample rate %d Hz cannot be analysed", sampleRateHz);
        return report;
    }
    std::vector<int16_t> block(static_cast<size_t>(hop), 0);

    // The room's quiet before the replay; the engine's results for it go nowhere.
    const long long leadInBlocks =
        static_cast<long long>(std::ceil(kLeadInSeconds * sampleRateHz / hop));
    for (long long i = 0; i < leadInBlocks; ++i) {
        engine.ProcessBlock(block.data());
    }

    ResultHolder holder;
    holder.SetAveragingWindow(options.averagingWindow);
    holder.SetHistoryLength(1);
    CsvPrinter printer(out, options, static_cast<double>(hop) / sampleRateHz);
    holder.AddListener(&printer);
    engine.SetSink(&holder);

    if (options.header) {
        const std::string header =
            std::string(options.fileColumn.empty() ? "" : "file,") + ColumnNames() + "\n";
        out->Write(header.data(), header.size());
    }
    report.hop = hop;
    report.sampleRateHz = sampleRateHz;
    const auto started = std::chrono::steady_clock::now();
    const double cpuStarted = ThreadCpuSeconds();
    for (;;) {
        // A short last block keeps the previous block's tail in the rest of the buffer, as the
        // transport's block buffer does.
        const int32_t read = file->ReadMono(block.data(), hop);
        if (read < 0) {
            report.error = Reason(file->State());
            return report;
        }
        if (read == 0) {
            break;
        }
        report.frames += read;
        printer.SetBlockIndex(report.blocks);
        engine.ProcessBlock(block.data());
        ++report.blocks;
    }
    printer.Finish();
    report.processingSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const double cpuEnded = ThreadCpuSeconds();
    if (cpuStarted >= 0.0 && cpuEnded >= cpuStarted) {
        report.cpuSeconds = cpuEnded - cpuStarted;
    }
    if (options.summary) {
        printer.PrintSummary();
    }
    report.analysed = true;
    return report;
}

}  // namespace melvora
