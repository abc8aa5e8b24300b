#include "analysis/analysis_engine.h"
#include "analysis/complex_fft.h"
#include "analysis/fft_plan.h"

#include "synthetic_voice.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace melvora {
namespace {

// Process block over a sung voice with vibrato; reports how many times faster than real time
// the engine runs ("x_real_time": audio seconds per second of processing).
void RunEngine(benchmark::State& state, int rate, double pitchHz) {
    VoiceTrack track;
    track.pitchHz = [pitchHz](double t) {
        return pitchHz * (1.0 + 0.01 * std::sin(2 * M_PI * 5.5 * t));
    };
    track.peakAmplitude = [](double) { return 12000.0; };
    const std::vector<int16_t> voice = SynthesizeVoice(rate, 3.0, track);
    AnalysisEngine engine(nullptr, rate, 0.04f, 0.03f, 1024);
    const std::vector<int16_t> silence(static_cast<size_t>(engine.HopLength()), 0);
    for (int i = 0; i < 20; ++i) {
        engine.ProcessBlock(silence.data());
    }
    const size_t hop = static_cast<size_t>(engine.HopLength());
    size_t start = 0;
    for (auto _ : state) {
        if (start + hop > voice.size()) {
            start = 0;
        }
        engine.ProcessBlock(voice.data() + start);
        start += hop;
        benchmark::DoNotOptimize(engine.Result());
    }
    const double audioSeconds = static_cast<double>(state.iterations()) * hop / rate;
    state.counters["x_real_time"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}

void BM_ProcessBlock44100Low(benchmark::State& state) {
    RunEngine(state, 44100, 110.0);
}
void BM_ProcessBlock44100Mid(benchmark::State& state) {
    RunEngine(state, 44100, 220.0);
}
void BM_ProcessBlock44100High(benchmark::State& state) {
    RunEngine(state, 44100, 660.0);
}
void BM_ProcessBlock16000Mid(benchmark::State& state) {
    RunEngine(state, 16000, 220.0);
}

void BM_ProcessBlock44100Silence(benchmark::State& state) {
    AnalysisEngine engine(nullptr, 44100, 0.04f, 0.03f, 1024);
    const std::vector<int16_t> silence(static_cast<size_t>(engine.HopLength()), 0);
    for (auto _ : state) {
        engine.ProcessBlock(silence.data());
        benchmark::DoNotOptimize(engine.Result());
    }
    state.counters["x_real_time"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * engine.HopLength() / 44100.0,
                           benchmark::Counter::kIsRate);
}

void BM_FftPlan2048(benchmark::State& state) {
    FftPlan plan;
    plan.Configure(2048);
    std::vector<float> data(4096, 0.5f);
    for (auto _ : state) {
        plan.Transform(data.data(), -1);
        benchmark::DoNotOptimize(data.data());
    }
}

void BM_ComplexFftFresh2048(benchmark::State& state) {
    std::vector<float> data(4096, 0.5f);
    for (auto _ : state) {
        ComplexFft(data.data(), 2048, -1);
        benchmark::DoNotOptimize(data.data());
    }
}

BENCHMARK(BM_ProcessBlock44100Low);
BENCHMARK(BM_ProcessBlock44100Mid);
BENCHMARK(BM_ProcessBlock44100High);
BENCHMARK(BM_ProcessBlock44100Silence);
BENCHMARK(BM_ProcessBlock16000Mid);
BENCHMARK(BM_FftPlan2048);
BENCHMARK(BM_ComplexFftFresh2048);

}  // namespace
}  // namespace melvora

BENCHMARK_MAIN();
