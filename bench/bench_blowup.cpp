// Throughput of the blow-up: one default-sized buffer (7936 output frames)
// stretched from 1/2 or 1/4 of its frames by each method. "frames/s" counts
// output frames; "realtime_x44100" is how many times faster than playback
// at 44100 Hz.
#include <benchmark/benchmark.h>

#include <vector>

#include "audio/blowup.h"

namespace {

constexpr int32_t out_frames = 32768 / 4 - 256;

void expand(benchmark::State& state, int method) {
    const int f = wv_blow_methods[method].factor;
    const int32_t in = out_frames / f;
    std::vector<int16_t> src(2 * static_cast<std::size_t>(in)), w(2 * static_cast<std::size_t>(out_frames));
    uint32_t x = 1;
    for (auto& v : src) {
        x = x * 1103515245u + 12345u;
        v = static_cast<int16_t>(x >> 16);
    }
    int16_t carry[4] = {};
    for (auto _ : state) {
        std::copy(src.begin(), src.end(), w.begin());
        wvexpand(w.data(), carry, 2L * in, method);
        benchmark::DoNotOptimize(w.data());
    }
    const double frames = static_cast<double>(in) * f * static_cast<double>(state.iterations());
    state.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["realtime_x44100"] = benchmark::Counter(frames / 44100.0, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK_CAPTURE(expand, stepped2, 1);
BENCHMARK_CAPTURE(expand, linear2, 2);
BENCHMARK_CAPTURE(expand, cubic2, 3);
BENCHMARK_CAPTURE(expand, stepped4, 4);
BENCHMARK_CAPTURE(expand, linear4, 5);
BENCHMARK_CAPTURE(expand, cubic4, 6);
