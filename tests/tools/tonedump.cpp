// The tones the engine starts when a row plays from its start with the
// default setting, as the engine reports them, computed buffer after buffer
// straight through the routine (no streaming cycle, no MIDI): one line
// "start FRAME HZ" per tone, after a line "rate R frames F".
// Usage: tonedump ROW BUFFERS [BUFFER_BYTES]
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "audio/midimap.h"
#include "audio/refill.h"
#include "engine/rows.h"
#include "engine/toneev.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const int row = std::atoi(argv[1]);
    const long buffers = std::atol(argv[2]);
    const int32_t bytes = argc > 3 ? std::atoi(argv[3]) : 32768;
    if (!rov_row_computed(row) || rov_row(row).loop_slice) return 2;
    auto st = std::make_unique<rov_state>();
    rov_state_init(*st);
    rov_default_setting(st->s);
    const int setnr = 0, tonr = st->s.rov_tonindx[0];
    rov_open(&st->h, false, false, 8);
    rov_start(&st->h, row, setnr, tonr);
    auto ev = std::make_unique<rov_toneevs>();
    st->h.ev = ev.get();
    const int32_t frames = wv_frames(bytes);
    const int32_t rate = rov_rate(st->s.rov_p[setnr * rov_nparams + rov_par::Rate]);
    std::printf("rate %d frames %d\n", rate, frames);
    std::vector<int16_t> buf(2 * static_cast<std::size_t>(frames) + 64);
    const wv_args a = wv_algargs(row, wv_sample{}, buf.data());
    for (long b = 0; b < buffers; ++b) {
        ev->clear();
        rov_rows[row].tab.alg(&st->h, buf.data(), frames, setnr, tonr, a.tab, a.len);
        for (uint32_t i = 0; i < ev->n; ++i)
            if (ev->ev[i].kind == rov_evkind::start)
                std::printf("start %lld %.6f\n", static_cast<long long>(b) * frames + ev->ev[i].frame,
                            wv_midi_hz(ev->ev[i], rate));
    }
    return 0;
}
