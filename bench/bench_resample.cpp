// The streaming sample-rate converter: frames per second converted, in
// blocks of one play buffer (7936 frames).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "files/resample.h"

namespace {

void convert(benchmark::State& state, int channels, double in_rate, double out_rate,
             fi_quality quality = fi_quality::high) {
    constexpr std::size_t frames = 7936;
    std::vector<int16_t> in(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < in.size(); ++i) in[i] = static_cast<int16_t>(10000 * std::sin(0.01 * static_cast<double>(i)));
    fi_resampler rs(channels, in_rate, out_rate, quality);
    std::vector<int16_t> out;
    out.reserve(in.size() * 10);
    for (auto _ : state) {
        out.clear();
        rs.process(in.data(), frames, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(frames));
}

void BM_Resample_44100_48000_stereo(benchmark::State& s) { convert(s, 2, 44100, 48000); }
void BM_Resample_5512_44100_stereo(benchmark::State& s) { convert(s, 2, 5512, 44100); }
void BM_Resample_22050_44100_stereo(benchmark::State& s) { convert(s, 2, 22050, 44100); }

}  // namespace

BENCHMARK(BM_Resample_44100_48000_stereo);
// The other recipes on the output rate's usual conversion.
BENCHMARK_CAPTURE(convert, 44100_48000_stereo_quick, 2, 44100, 48000, fi_quality::quick);
BENCHMARK_CAPTURE(convert, 44100_48000_stereo_low, 2, 44100, 48000, fi_quality::low);
BENCHMARK_CAPTURE(convert, 44100_48000_stereo_medium, 2, 44100, 48000, fi_quality::medium);
BENCHMARK_CAPTURE(convert, 44100_48000_stereo_very_high, 2, 44100, 48000, fi_quality::very_high);
BENCHMARK(BM_Resample_5512_44100_stereo);
BENCHMARK(BM_Resample_22050_44100_stereo);
