// The fuzz types on one default-sized buffer, and Multiple play's four
// tracks against one track alone.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "audio/multiple.h"
#include "engine/banks.h"
#include "engine/rov.h"
#include "player/fuzz.h"

namespace {

constexpr int32_t frames = 32768 / 4 - 256;

void fuzz(benchmark::State& state, int type) {
    std::vector<int16_t> w(2 * frames);
    for (int32_t i = 0; i < 2 * frames; ++i) w[i] = static_cast<int16_t>((i * 7919) % 40000 - 20000);
    for (auto _ : state) {
        wvfuzz(w.data(), 2 * frames, sintab, 400, static_cast<int16_t>(type));
        benchmark::DoNotOptimize(w.data());
    }
    state.SetItemsProcessed(state.iterations() * frames);
}

// `tracks` of the built-in setting on row 0, set 4, eight voices.
void mix(benchmark::State& state, int tracks) {
    auto fg = std::make_unique<rov_state>();
    auto bk = std::make_unique<rov_banks>();
    rov_state_init(*fg);
    rov_default_setting(fg->s);
    fg->s.rov_stdalg = 0;
    rov_banks_init(*bk);
    rov_open(&fg->h, false, false, 8);
    rov_start(&fg->h, 0, 4, 3);
    for (int k = 0; k + 1 < tracks; ++k) {
        bk->rosbk[k] = fg->s;
        bk->setnrbk[k] = 4;
        bk->tonrbk[k] = k;
        rov_handle h = rov_bank_handle(*bk, k);
        rov_open(&h, false, false, 8);
        rov_start(&h, 0, 4, k);
    }
    std::vector<int16_t> out(2 * frames), scratch(2 * frames), echo(2 * frames);
    rov_handle rohmult{};
    const wv_source src{&fg->h, 0, 4, 3, {}};
    for (auto _ : state) {
        wv_mult_fill(out.data(), 2 * frames, scratch.data(), frames, src, *bk, rohmult, echo.data(), nullptr);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * frames);
}

}  // namespace

BENCHMARK_CAPTURE(fuzz, clip, 1);
BENCHMARK_CAPTURE(fuzz, knee, 2);
BENCHMARK_CAPTURE(fuzz, sine, 3);
BENCHMARK_CAPTURE(fuzz, reso, 4);
BENCHMARK_CAPTURE(fuzz, reschor, 5);
BENCHMARK_CAPTURE(fuzz, chorus, 6);
BENCHMARK_CAPTURE(fuzz, bias, 7);
BENCHMARK_CAPTURE(mix, one_track, 1);
BENCHMARK_CAPTURE(mix, four_tracks, 4);
