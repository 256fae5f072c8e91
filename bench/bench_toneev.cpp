// The cost of tone events: the peers' 64-voice load (bench/peers: dense,
// decaying interpolated sines) computed with nobody asking for events, with
// the engine reporting them, and with them turned into MIDI as the cycle
// does when it sends a buffer.
#include <benchmark/benchmark.h>

#include <memory>

#include "audio/midiout.h"
#include "audio/refill.h"
#include "bench/peers/dense.h"
#include "engine/rov.h"
#include "engine/toneev.h"

namespace {

constexpr int32_t frames = 32768 / 4 - 256;  // one default-sized buffer

enum mode { off, events, midi };

void toneev(benchmark::State& state, int row, mode m) {
    static rov_state st;
    rov_state_init(st);
    bench_dense_sets(st.s);
    st.s.rov_p[1] = 0;   // Envelope: decay only
    st.s.rov_p[12] = 0;  // Waveform: the table
    st.s.rov_saw[0] = 0;
    rov_open(&st.h, false, true, 64);
    rov_start(&st.h, row, 0, st.s.rov_tonindx[0] & 15);
    auto out = std::make_unique<wv_midiout>();
    wv_midi_begin(*out);
    st.h.ev = m == off ? nullptr : &out->ev[0];
    wvplay pb;
    wv_alloc(pb, 32768);
    const wv_source src{&st.h, row, 0, st.s.rov_tonindx[0], wv_sample{}};
    for (int i = 0; i < 8; ++i) wv_fill(pb, src, 0, frames, false);
    uint64_t tones = 0;
    for (auto _ : state) {
        out->ev[0].clear();
        wv_fill(pb, src, 0, frames, false);
        tones += out->ev[0].n;
        if (m == midi) wv_midi_send(*out, 0, frames, rov_rate(st.s.rov_p[13]));
        benchmark::DoNotOptimize(pb.data[0].data());
    }
    state.counters["events/buffer"] = static_cast<double>(tones) / static_cast<double>(state.iterations());
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames) * state.iterations(),
                                                    benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK_CAPTURE(toneev, ranov_v64_off, 0, off);
BENCHMARK_CAPTURE(toneev, ranov_v64_events, 0, events);
BENCHMARK_CAPTURE(toneev, ranov_v64_midi, 0, midi);
BENCHMARK_CAPTURE(toneev, dual_v64_off, 1, off);
BENCHMARK_CAPTURE(toneev, dual_v64_events, 1, events);
BENCHMARK_CAPTURE(toneev, dual_v64_midi, 1, midi);
