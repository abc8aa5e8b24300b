#include "exercise_score_command.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "analysis/analysis_engine.h"
#include "analysis/analysis_result_sink.h"
#include "analysis/note.h"
#include "analysis/try_scorer.h"
#include "audio/wave_file.h"
#include "exercises/exercise.h"
#include "platform/file_system.h"

namespace melvora {

namespace {

// The engine hears this much silence before the try, as the program's engine has heard the
// room before a try starts.
constexpr double kLeadInSeconds = 0.5;

class PitchTrack : public AnalysisResultSink {
  public:
    void Publish(const AnalysisResult& result) override { pitchHz.push_back(result.pitchHz); }
    std::vector<float> pitchHz;
};

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes) {
    std::FILE* f = OpenFile(path, "rb");
    if (f == nullptr) {
        return false;
    }
    uint8_t chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), f)) > 0 &&
           bytes->size() <= Exercise::kMaxFileBytes) {
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    const bool ok = !std::ferror(f) && bytes->size() <= Exercise::kMaxFileBytes;
    std::fclose(f);
    return ok;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool ExerciseScoreCommand::Wants(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--exercise") {
            return true;
        }
    }
    return false;
}

const char* ExerciseScoreCommand::UsageLine() {
    return "usage: melvora-analyze --exercise FILE.exc --step N [--sensitivity S] TRY.wav\n"
           "  prints note,expected_hz,sung_hz,cents,in_tune,octave per melody note of step N\n"
           "  (from 1), then a row \"all\" with the mean deviation and the in-tune share of\n"
           "  the whole try; octave is -1 when the try was sung an octave below the melody";
}

int ExerciseScoreCommand::Fail(const std::string& why) {
    std::fprintf(err_, "melvora-analyze: %s\n", why.c_str());
    return 2;
}

int ExerciseScoreCommand::Run(const std::vector<std::string>& arguments) {
    std::string exercisePath;
    std::string tryPath;
    long step = 0;
    float sensitivity = 0.5f;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        char* end = nullptr;
        if (argument == "--exercise" && hasValue) {
            exercisePath = arguments[++i];
        } else if (argument == "--step" && hasValue) {
            step = std::strtol(arguments[++i].c_str(), &end, 10);
            if (*end != '\0' || step < 1) {
                return Fail(std::string("--step needs a step number from 1\n") + UsageLine());
            }
        } else if (argument == "--sensitivity" && hasValue) {
            const double value = std::strtod(arguments[++i].c_str(), &end);
            if (*end != '\0' || !(value >= 0.0 && value <= 1.0)) {
                return Fail(std::string("--sensitivity needs a number from 0 to 1\n") +
                            UsageLine());
            }
            sensitivity = static_cast<float>(value);
        } else if (argument.size() > 1 && argument[0] == '-') {
            return Fail("unknown or incomplete option " + argument + "\n" + UsageLine());
        } else if (!tryPath.empty()) {
            return Fail(std::string("only one try can be scored at a time\n") + UsageLine());
        } else {
            tryPath = argument;
        }
    }
    if (exercisePath.empty() || step < 1 || tryPath.empty()) {
        return Fail(std::string("--exercise, --step and a WAV file are needed\n") + UsageLine());
    }

    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(exercisePath, &bytes)) {
        return Fail(exercisePath + ": cannot read the exercise file");
    }
    std::unique_ptr<Exercise> exercise =
        Exercise::FromBytes(BaseName(exercisePath), std::move(bytes));
    if (!exercise) {
        return Fail(exercisePath + ": not a valid exercise file");
    }
    if (step > exercise->StepCount()) {
        return Fail(exercisePath + ": has " + std::to_string(exercise->StepCount()) + " steps");
    }
    for (long k = 0; k < step; ++k) {
        if (!exercise->Advance()) {
            return Fail(exercisePath + ": step " + std::to_string(k + 1) + " cannot be read");
        }
    }

    std::unique_ptr<WaveFile> file = WaveFile::OpenForReading(tryPath);
    if (!file || file->State() != WaveFileState::Reading || file->SampleRateHz() == 0 ||
        file->SampleRateHz() > 192000) {
        return Fail(tryPath + ": cannot be read as a WAV file");
    }
    const int rateHz = static_cast<int>(file->SampleRateHz());
    AnalysisEngine engine(nullptr, rateHz, 0.04f, 0.03f,
                          AnalysisEngine::kDefaultMinimumTransformSize);
    engine.SetVoiceActivationSensitivity(sensitivity);
    const int hop = engine.HopLength();
    if (hop < 1) {
        return Fail(tryPath + ": sample rate cannot be analysed");
    }
    std::vector<int16_t> block(static_cast<size_t>(hop), 0);
    const long leadInBlocks = static_cast<long>(std::ceil(kLeadInSeconds * rateHz / hop));
    for (long i = 0; i < leadInBlocks; ++i) {
        engine.ProcessBlock(block.data());
    }
    PitchTrack track;
    engine.SetSink(&track);
    for (;;) {
        const int32_t read = file->ReadMono(block.data(), hop);
        if (read < 0) {
            return Fail(tryPath + ": read error");
        }
        if (read == 0) {
            break;
        }
        engine.ProcessBlock(block.data());
    }

    std::vector<TryScorer::MelodyNote> melody;
    for (const ExerciseNote& note : exercise->Notes()) {
        melody.push_back(TryScorer::MelodyNote{note.key, note.durationMs});
    }
    const TryScorer::Score score = TryScorer::Rate(melody, track.pitchHz, 1000.0 * hop / rateHz);
    std::fprintf(out_, "note,expected_hz,sung_hz,cents,in_tune,octave\n");
    for (const TryScorer::NoteScore& n : score.notes) {
        const std::string name = Note::FromMidiKey(n.key).Name(true, true);
        if (n.voicedFrames == 0) {
            std::fprintf(out_, "%s,%.2f,-,-,-,%d\n", name.c_str(), n.expectedHz, score.octaveShift);
        } else {
            std::fprintf(out_, "%s,%.2f,%.2f,%.1f,%.3f,%d\n", name.c_str(), n.expectedHz,
                         n.sungMedianHz, n.cents, n.inTuneShare, score.octaveShift);
        }
    }
    if (score.voicedFrames == 0) {
        std::fprintf(out_, "all,,,-,-,%d\n", score.octaveShift);
    } else {
        std::fprintf(out_, "all,,,%.1f,%.3f,%d\n", score.meanCents, score.inTuneShare,
                     score.octaveShift);
    }
    std::fflush(out_);
    return std::ferror(out_) ? 2 : 0;
}

}  // namespace melvora
