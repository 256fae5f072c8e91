// Dense loads for the benchmarks.
#pragma once

#include <initializer_list>

#include "engine/rov.h"
#include "engine/slots.h"

// Both sets of the default setting made dense the same way (a tone at every
// control block, without glide), for the per-row benchmarks.
inline void bench_dense_sets(rov_setting& s) {
    rov_default_setting(s);
    for (int n : {0, 1}) {
        int16_t* p = &s.rov_p[n * rov_nparams];
        p[rov_par::Voices] = 1024;
        p[par_panning::Density] = 128;
        p[rov_par::Beat] = 0;
        p[rov_par::ChgDly] = 0;
    }
}

// The peers' load: the default setting with set 0 made dense (a tone at
// every 256-frame control block, each 127 decay stages of 128 frames, so that
// 64 slots stay busy), interpolated sines (Saw off, Waveform 0) at 44100 Hz,
// without glide, on row 0.
inline void peers_dense_setting(rov_setting& s) {
    rov_default_setting(s);
    int16_t* p = &s.rov_p[0];
    p[rov_par::Voices] = 1024;
    p[rov_par::Envelope] = 0;
    p[par_panning::Density] = 128;
    p[rov_par::Beat] = 0;
    p[rov_par::Waveform] = 0;
    p[rov_par::Rate] = 48;  // 44100 Hz
    p[rov_par::ChgDly] = 0;
    s.rov_saw[0] = 0;
    s.rov_stdalg = 0;
}
