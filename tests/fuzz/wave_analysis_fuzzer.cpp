// Feeds arbitrary bytes to the WAV reader and analyses the first two blocks of what it returns,
// as a replay does: an engine configured for the file's rate with the default frame and skip.
// A header that makes the analysis slow or huge shows as a timeout or a memory finding; beyond
// the sanitizers' checks it traps on a result outside its range.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/analysis_engine.h"
#include "analysis/analysis_result_sink.h"
#include "audio/wave_file.h"
#include "audio/wave_file_memory_stream.h"

namespace {

using melvora::AnalysisEngine;
using melvora::AnalysisResult;
using melvora::WaveFile;

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

class CheckingSink : public melvora::AnalysisResultSink {
  public:
    void Publish(const AnalysisResult& result) override {
        for (float score : {result.level, result.tessim, result.jitter, result.shimmer}) {
            Check(score >= 0.0f && score <= 1.0f);
        }
        Check(std::isfinite(result.pitchHz) && result.pitchHz >= 0.0f);
        ++count;
    }
    int count = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    melvora::WaveFileMemoryStream memory(std::vector<uint8_t>(data, data + size));
    auto file = WaveFile::OpenForReading(memory.Io());
    if (file->State() != melvora::WaveFileState::Reading) {
        return 0;
    }
    const uint32_t rateHz = file->SampleRateHz();
    Check(rateHz >= WaveFile::kMinSampleRateHz && rateHz <= WaveFile::kMaxSampleRateHz);
    CheckingSink sink;
    AnalysisEngine engine(&sink, static_cast<int>(rateHz), AnalysisEngine::kDefaultFrameSeconds,
                          AnalysisEngine::kDefaultSkipSeconds, 1024);
    Check(engine.HopLength() >= 1 && engine.HopLength() <= engine.FrameLength());
    std::vector<int16_t> block(static_cast<size_t>(engine.HopLength()));
    // Like the replay: blocks until the data ends, the short last one padded with silence.
    int blocks = 0;
    for (; blocks < 2; ++blocks) {
        std::fill(block.begin(), block.end(), 0);
        const int32_t got = file->ReadMono(block.data(), engine.HopLength());
        if (got <= 0) {
            break;
        }
        engine.ProcessBlock(block.data());
    }
    Check(sink.count == blocks);
    return 0;
}
