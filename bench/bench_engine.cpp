// Throughput of the algorithm routines: frames per second and the realtime
// factor at the playing set's rate (how many times faster than playback), and
// at 44100 Hz. The voice runs take their vector form unless TESS_SCALAR=1 is
// set; the context line "simd" names the target the kernels run on.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "audio/refill.h"
#include "engine/blocks.h"
#include "engine/rov.h"
#include "engine/runs.h"
#include "engine/smpmem.h"

namespace {

constexpr int32_t frames = 32768 / 4 - 256;  // one default-sized buffer

// A setting that keeps every slot busy: a tone at every beat step, every
// beat block, long tones; both sets of the pair, for the two-channel routine.
void make_dense(rov_setting& s, int setnr) {
    for (int n : {setnr, (setnr & ~1) + 1}) {
        int16_t* p = &s.rov_p[n * rov_nparams];
        p[0] = 1024;  // Voices: tones 64 beat steps long (the range of a 64-voice maximum)
        p[5] = 128;   // Density: a tone at every beat step
        p[11] = 0;    // Beat: a beat step every block
        p[15] = 0;
    }
}

// The peers' load (bench/peers): dense, with interpolated sines.
void make_sines(rov_setting& s, int setnr) {
    make_dense(s, setnr);
    s.rov_p[setnr * rov_nparams + 1] = 0;   // Envelope: decay only
    s.rov_p[setnr * rov_nparams + 12] = 0;  // Waveform 0: the table
    s.rov_saw[setnr] = 0;
}

enum load { set0, dense, sines };

// The sample of the sampling rows: as long as a recording with the default
// buffer (16348 words), a full-range deterministic sound, in a buffer laid
// out as the program keeps one (12 header words before it, 36 after).
wv_sample bench_sample() {
    static std::vector<int16_t> buf(12 + 16348 + 36);
    static const bool made = [] {
        uint32_t x = 99;
        for (std::size_t i = 12; i < buf.size(); ++i) {
            x = x * 1103515245u + 12345u;
            buf[i] = static_cast<int16_t>(static_cast<int32_t>((i * 613) % 40000) - 20000 + static_cast<int32_t>(x >> 24));
        }
        return true;
    }();
    (void)made;
    return {buf.data() + 12, 16348, {buf.data(), buf.data() + buf.size()}};
}

void run(benchmark::State& state, int row, int maxv, load kind) {
    static rov_state st;
    rov_state_init(st);
    rov_default_setting(st.s);
    if (kind == dense) make_dense(st.s, 0);
    if (kind == sines) make_sines(st.s, 0);
    rov_open(&st.h, false, true, maxv);
    rov_start(&st.h, row, 0, st.s.rov_tonindx[0] & 15);
    wvplay pb;
    wv_alloc(pb, 32768);
    const wv_source src{&st.h, row, 0, st.s.rov_tonindx[0], rov_row_sampling(row) ? bench_sample() : wv_sample{}};
    // Warm up so that the slots are as busy as they will stay.
    for (int i = 0; i < 8; ++i) wv_fill(pb, src, 0, frames, false);
    for (auto _ : state) {
        wv_fill(pb, src, 0, frames, false);
        benchmark::DoNotOptimize(pb.data[0].data());
    }
    const double rate = rov_rate(st.s.rov_p[13]);
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames) * state.iterations(),
                                                    benchmark::Counter::kIsRate);
    state.counters["realtime_x"] = benchmark::Counter(static_cast<double>(frames) * state.iterations() / rate,
                                                      benchmark::Counter::kIsRate);
    state.counters["realtime_x44100"] = benchmark::Counter(
        static_cast<double>(frames) * state.iterations() / 44100.0, benchmark::Counter::kIsRate);
    state.counters["busy_slots"] = rov_slotlimit(st.t, maxv);
}

// Every row with a routine, on the default set and on a dense one, at the
// default voice maximum and at the largest. A looping-slice row shares its
// routine with another row, so its full-buffer cost is that row's.
const bool registered = [] {
    for (int row = 1; row < rov_natab; ++row) {
        if (rov_row(row).loop_slice || !rov_row_computed(row)) continue;
        for (int maxv : {8, 64})
            for (load kind : {set0, dense}) {
                const std::string name = "row" + std::to_string(row) + (kind == dense ? "_dense" : "_set0") +
                                         "_v" + std::to_string(maxv);
                benchmark::RegisterBenchmark(name.c_str(), run, row, maxv, kind);
            }
    }
    benchmark::AddCustomContext("simd", rov_scalar_env() ? "scalar (TESS_SCALAR=1)" : rov_simd_target());
    return true;
}();

}  // namespace

BENCHMARK_CAPTURE(run, ranov_set0_v8, 0, 8, set0);
BENCHMARK_CAPTURE(run, ranov_set0_v64, 0, 64, set0);
BENCHMARK_CAPTURE(run, ranov_dense_v8, 0, 8, dense);
BENCHMARK_CAPTURE(run, ranov_dense_v64, 0, 64, dense);
BENCHMARK_CAPTURE(run, ranov_sines_v64, 0, 64, sines);

BENCHMARK_MAIN();
