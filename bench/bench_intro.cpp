// The introduction's tick: one buffer of an example computed (and for 8-bit
// mono converted) while the other plays, on a virtual device that plays each
// buffer at once.
#include <benchmark/benchmark.h>

#include "audio/virtdev.h"
#include "intro/intro.h"

namespace {

struct quiet : wv_notify, wv_timer {
    wv_event last{};
    bool any = false;
    void post(const wv_event& ev) override {
        last = ev;
        any = true;
    }
    void set(int) override {}
    void kill() override {}
};

void BM_IntroTick(benchmark::State& state) {
    const int example = static_cast<int>(state.range(0));
    const int flag = static_cast<int>(state.range(1));
    wv_virtdev dev;
    dev.synchronous = true;
    quiet q;
    wv_stream ws;
    ws.dev = &dev;
    ws.sink = &q;
    ws.timer = &q;
    wv_intro w;
    w.ws = &ws;
    wvintro_init(w, flag, "");
    w.setnr = example;
    w.tonr = w.eng.s.rov_tonindx[example];
    w.bufidle = 100;  // past the gaps; never on an example boundary below
    for (auto _ : state) {
        // done -> close -> tick: send one buffer, compute the other.
        wvintro_dispatch(w, {wv_evkind::done, ws.gen});
        wvintro_dispatch(w, {wv_evkind::close, ws.gen});
        dev.log.clear();
        if (w.bufidle % 200 > 180) w.bufidle = 100;
    }
    state.SetItemsProcessed(state.iterations() * 3840);
    state.counters["x_realtime"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * 3840 / wi_rate(w.eng.s.rov_p[example * 16 + 13]),
        benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_IntroTick)->ArgsProduct({{0, 4, 5, 6, 9}, {3, 2}})->ArgNames({"example", "flag"});
