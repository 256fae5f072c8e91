// A fresh engine state for one routine: the default setting with chosen
// parameters of the playing set, the caller's duties done, and calls of the
// row's routine into a buffer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/blocks.h"
#include "engine/rov.h"
#include "engine/rows.h"

struct engine_run {
    std::unique_ptr<rov_state> st = std::make_unique<rov_state>();
    std::vector<int16_t> buf;
    int row = 0, setnr = 0, tonr = 0;

    // Default setting, parameter set `setnr` glided without delay.
    explicit engine_run(int row_, int setnr_ = 0, int tonr_ = 0) : row(row_), setnr(setnr_), tonr(tonr_) {
        rov_state_init(*st);
        rov_default_setting(st->s);
        for (int n = 0; n < rov_nsets; ++n) st->s.rov_p[n * rov_nparams + 15] = 0;
    }
    int16_t* set(int n) { return &st->s.rov_p[n * rov_nparams]; }
    int16_t* P() { return set(setnr); }
    int16_t* scale(int n) { return &st->s.rov_tones[n * rov_nvalues]; }
    rov_globphase& g() { return st->g; }
    rov_tonephase& slot(int k) { return st->t[k]; }

    // The editor's opening and the start of play.
    void start(int maxv = 8, bool timbre = false, bool emphasis = false) {
        rov_open(&st->h, emphasis, timbre, maxv);
        rov_start(&st->h, row, setnr, tonr);
    }
    // One routine call of `frames` frames; tab is argument 6.
    void run(int32_t frames, const int16_t* tab = sintab) {
        buf.assign(2 * static_cast<std::size_t>(frames), 0);
        rov_rows[row].tab.alg(&st->h, buf.data(), frames, setnr, tonr, tab, 256);
    }
    // Whole beat steps: with Beat 0 every 256-frame block takes one.
    void beats(int n) { run(256 * n); }
    int busy() const {
        int b = 0;
        for (int k = 0; k < rov_nslots; ++k) b += st->t[k].rov_ephas != 0;
        return b;
    }
};

// 32-bit FNV-1a over samples, to pin down a whole rendered output.
inline uint32_t fnv(const std::vector<int16_t>& w, uint32_t h = 2166136261u) {
    for (int16_t s : w) {
        h = (h ^ (static_cast<uint16_t>(s) & 0xff)) * 16777619u;
        h = (h ^ (static_cast<uint16_t>(s) >> 8)) * 16777619u;
    }
    return h;
}
