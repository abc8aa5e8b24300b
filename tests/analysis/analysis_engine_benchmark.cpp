#include "analysis/analysis_engine.h"
#include "analysis/fft_plan.h"

#include "synthetic_voice.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace melvora {
namespace {

// Process block over a sung voice with vibrato (pitch 0: silence); reports how many times
// faster than real time the engine runs ("x_real_time": audio seconds per second).
void BM_ProcessBlock(benchmark::State& state, int rate, double pitchHz) {
    VoiceTrack track;
    track.pitchHz = [pitchHz](double t) {
        return pitchHz * (1.0 + 0.01 * std::sin(2 * M_PI * 5.5 * t));
    };
    track.peakAmplitude = [](double) { return 12000.0; };
    const std::vector<int16_t> voice =
        pitchHz > 0.0 ? SynthesizeVoice(rate, 3.0, track) : std::vector<int16_t>(3 * rate, 0);
    AnalysisEngine engine(nullptr, rate, 0.04f, 0.03f, 1024);
    const size_t hop = static_cast<size_t>(engine.HopLength());
    const std::vector<int16_t> silence(hop, 0);
    for (int i = 0; i < 20; ++i) {
        engine.ProcessBlock(silence.data());
    }
    size_t start = 0;
    for (auto _ : state) {
        start = start + hop > voice.size() ? 0 : start;
        engine.ProcessBlock(voice.data() + start);
        start += hop;
        benchmark::DoNotOptimize(engine.Result());
    }
    state.counters["x_real_time"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * hop / rate, benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_ProcessBlock, 44100Low, 44100, 110.0);
BENCHMARK_CAPTURE(BM_ProcessBlock, 44100Mid, 44100, 220.0);
BENCHMARK_CAPTURE(BM_ProcessBlock, 44100High, 44100, 660.0);
BENCHMARK_CAPTURE(BM_ProcessBlock, 44100Silence, 44100, 0.0);
BENCHMARK_CAPTURE(BM_ProcessBlock, 16000Mid, 16000, 220.0);

void BM_FftPlan2048(benchmark::State& state) {
    FftPlan plan;
    plan.Configure(2048);
    std::vector<float> data(4096, 0.5f);
    for (auto _ : state) {
        plan.Transform(data.data(), -1);
        benchmark::DoNotOptimize(data.data());
    }
}
BENCHMARK(BM_FftPlan2048);

}  // namespace
}  // namespace melvora

BENCHMARK_MAIN();
