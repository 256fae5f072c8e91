// The LV2 instrument's cost per host block: 1024 frames with the peers' load
// (bench/peers: row 0, set 0 dense with interpolated sines at 44100 Hz, 64
// voices), at a host rate of 48000 Hz (converted by libsoxr) and of 44100 Hz
// (the engine's words as they are). Compare with `tessellon render` of the
// same load (bench/RESULTS.md).
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/peers/dense.h"
#include "lv2/synth.h"

namespace {

tl_config peers_load() {
    tl_config c = tl_default_config();
    peers_dense_setting(c.setting);
    c.row = 0;
    c.maxv = 64;
    return c;
}

void BM_Lv2Block(benchmark::State& state) {
    const double rate = static_cast<double>(state.range(0));
    tl_synth s(peers_load(), rate);
    std::vector<float> l(1024), r(1024);
    for (int k = 0; k < 200; ++k) s.render(l.data(), r.data(), 1024);  // past the start: 64 voices sound
    for (auto _ : state) {
        s.render(l.data(), r.data(), 1024);
        benchmark::DoNotOptimize(l.data());
    }
    state.counters["realtime_x"] =
        benchmark::Counter(1024.0 / rate * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Lv2Block)->Arg(48000)->Arg(44100)->Unit(benchmark::kMicrosecond);

}  // namespace
