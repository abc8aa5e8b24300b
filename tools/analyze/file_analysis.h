#pragma once

#include <cstdio>
#include <string>

namespace melvora {

// What melvora-analyze does with one WAV file: replays it through a fresh analysis engine as
// the transport's worker does and writes one CSV row per published record. Used by the
// single-file command and by every worker of the batch.
class FileAnalysis {
  public:
    struct Options {
        int averagingWindow = 1;
        float sensitivity = 0.5f;
        float frameSeconds = 0.04f;
        float skipSeconds = 0.03f;
        bool solfege = false;
        bool summary = false;      // the # summary lines after the rows
        bool octaveGuard = false;  // correct isolated octave jumps (see OctaveGuard)
        bool header = true;        // the column names first
        std::string fileColumn;    // when not empty: this first column on every row
    };

    // Where the text goes: a stream (written as it comes) or, when file is null, a string.
    struct Output {
        FILE* file = nullptr;
        std::string* text = nullptr;
        void Write(const char* data, size_t size);
    };

    struct Report {
        bool analysed = false;
        std::string error;  // why not, in words, without the file name
        long long blocks = 0;
        long long frames = 0;
        int hop = 0;
        int sampleRateHz = 0;
        double processingSeconds = 0.0;
        // Processor time of the analysing thread over the same span; < 0 where the system
        // does not tell. On a busy machine it says more about the analysis than the clock.
        double cpuSeconds = -1.0;
        double AudioSeconds() const {
            return sampleRateHz > 0 ? static_cast<double>(frames) / sampleRateHz : 0.0;
        }
    };

    // Seconds of silence the engine hears before the file, so that the silence detector has
    // settled on a quiet floor as it has in the program, where the microphone is analysed
    // from start-up on. Nothing is printed for them.
    static constexpr double kLeadInSeconds = 0.5;

    static const char* ColumnNames() { return "time_s,pitch_hz,note,tessim,level,jitter,shimmer"; }

    // Analyses `path` (UTF-8). Safe to run on several threads at once, each with its own
    // output.
    static Report Run(const std::string& path, const Options& options, Output* out);

    // The text as one CSV field: quoted (quotes doubled) when it holds a comma, a quote or a
    // line break.
    static std::string CsvField(const std::string& text);
};

}  // namespace melvora
