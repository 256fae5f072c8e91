// The tone rows on dense 64-voice loads at 44100 Hz, in frames per CPU
// second, over the shapes their slots can choose: "dense" (the default set
// made dense), "second" (dense with slots 1, 7 and 8 at 64: fuzz, phase
// modulation, detune), and the waveform sweep "wN_sS" (Waveform N, Saw S).
// Run once as is and once with TESS_SCALAR=1 for the vector ÷ scalar ratio.
#include <benchmark/benchmark.h>

#include <string>

#include "audio/refill.h"
#include "bench/peers/dense.h"
#include "engine/blocks.h"
#include "engine/rov.h"
#include "engine/rows.h"
#include "engine/runs.h"

namespace {

constexpr int32_t frames = 32768 / 4 - 256;  // one default-sized buffer

struct tone_load {
    const char* name;
    int waveform;  // -1: the set's own
    int saw;       // -1: the set's own
    bool second;
};

const tone_load loads[] = {
    {"dense", -1, -1, false}, {"second", -1, -1, true}, {"w0_s0", 0, 0, false},   {"w10_s0", 10, 0, false},
    {"w30_s0", 30, 0, false}, {"w50_s0", 50, 0, false}, {"w62_s0", 62, 0, false}, {"w140_s0", 140, 0, false},
    {"w30_s1", 30, 1, false},
};

void run(benchmark::State& state, int row, tone_load load) {
    static rov_state st;
    rov_state_init(st);
    bench_dense_sets(st.s);
    for (int n : {0, 1}) {
        int16_t* p = &st.s.rov_p[n * rov_nparams];
        p[rov_par::Rate] = 48;  // 44100 Hz
        if (load.second) p[1] = p[7] = p[8] = 64;
        if (load.waveform >= 0) p[rov_par::Waveform] = static_cast<int16_t>(load.waveform);
        if (load.saw >= 0) st.s.rov_saw[n] = static_cast<int8_t>(load.saw);
    }
    rov_open(&st.h, false, true, 64);
    rov_start(&st.h, row, 0, st.s.rov_tonindx[0] & 15);
    wvplay pb;
    wv_alloc(pb, 32768);
    const wv_source src{&st.h, row, 0, st.s.rov_tonindx[0], wv_sample{}};
    for (int i = 0; i < 8; ++i) wv_fill(pb, src, 0, frames, false);
    for (auto _ : state) {
        wv_fill(pb, src, 0, frames, false);
        benchmark::DoNotOptimize(pb.data[0].data());
    }
    state.counters["Mf/s"] = benchmark::Counter(static_cast<double>(frames) * state.iterations() / 1e6,
                                                benchmark::Counter::kIsRate);
    state.counters["busy"] = rov_slotlimit(st.t, 64);
}

const bool registered = [] {
    for (int row = 0; row < rov_natab; ++row) {
        if (!rov_row_computed(row) || rov_row_sampling(row) || rov_row(row).loop_slice) continue;
        for (const tone_load& l : loads) {
            const std::string name = "tone/row" + std::to_string(row) + "/" + l.name;
            benchmark::RegisterBenchmark(name.c_str(), run, row, l);
        }
    }
    return true;
}();

}  // namespace
