#include "audio/multiple.h"

#include <algorithm>

#include "engine/rows.h"
#include "engine/toneev.h"

namespace {

// Track k's engine state, row, set and scale.
struct track {
    rov_handle* h;
    int row, setnr, tonr;
};

void call(const track& t, int16_t* buf, int32_t frames, const wv_sample& sample, const int16_t* echo) {
    const wv_args a = wv_algargs(t.row, sample, echo);
    t.h->smp = a.area;
    rov_rows[t.row].tab.alg(t.h, buf, frames, t.setnr, t.tonr, a.tab, a.len);
}

// A sampling row gets the sine table when no sample is loaded; a routine
// that needs a longer sample than it would read then stays silent.
bool has_material(int row, const wv_sample& sample) {
    const rov_rowdesc& d = rov_row(row);
    if (d.tab.algtyp != rov_arg_sample && !d.sample_any) return true;
    const int32_t len = sample.data ? sample.len : 256;
    return len >= d.min_sample;
}

// Scale numbers outside 0..9 (a bank of a damaged file) play scale 0.
int in_range(int n) { return n >= 0 && n <= 9 ? n : 0; }

}  // namespace

bool wv_track_playable(int row) {
    if (row < 0 || row >= rov_natab) return false;
    const rov_rowdesc& d = rov_row(row);
    return rov_row_computed(row) && !d.loop_slice && !d.multiple && !d.empty;
}

bool wv_track_sounds(int row, const wv_sample& sample) { return wv_track_playable(row) && has_material(row, sample); }

bool wv_mult_echo(const rov_setting& active, const rov_banks& b) {
    auto echoes = [](int row) { return row >= 0 && row < rov_natab && rov_rows[row].tab.algtyp == rov_arg_echo; };
    if (echoes(active.rov_stdalg)) return true;
    for (const rov_setting& s : b.rosbk)
        if (echoes(s.rov_stdalg)) return true;
    return false;
}

void wv_mult_fill(int16_t* out, int32_t clearwords, int16_t* scratch, int32_t frames, const wv_source& fg,
                  rov_banks& b, rov_handle& rohmult, const int16_t* echo, wv_levelset* levels) {
    const int32_t words = 2 * frames;
    if (levels) levels->tracks = true;
    for (int k = 0; k < 4; ++k) {
        track t;
        if (k == 0) {
            t = {fg.roh, fg.row, fg.setnr, fg.tonr};
        } else {
            rohmult = rov_bank_handle(b, k - 1);
            rohmult.scalar = fg.roh->scalar;  // the tracks run in the foreground's form
            rohmult.ev = fg.roh->ev;          // and report their tones where it does
            t = {&rohmult, b.rosbk[k - 1].rov_stdalg, in_range(b.setnrbk[k - 1]), in_range(b.tonrbk[k - 1])};
        }
        const bool played = wv_track_sounds(t.row, fg.sample);
        if (!played) {
            if (k == 0) std::fill_n(out, clearwords, int16_t{0});
            if (levels) levels->lev[2 + k] = 0;
            continue;
        }
        int16_t* buf = k == 0 ? out : scratch;
        if (t.h->ev) t.h->ev->track = static_cast<uint8_t>(k);
        call(t, buf, frames, fg.sample, echo);
        if (t.h->ev) t.h->ev->track = 0;
        if (levels) levels->lev[2 + k] = wv_peak(buf, words);
        if (k == 0) {
            for (int32_t i = 0; i < words; ++i) out[i] = static_cast<int16_t>(out[i] >> 1);
        } else {
            for (int32_t i = 0; i < words; ++i)
                out[i] = static_cast<int16_t>(static_cast<uint16_t>(out[i] + (scratch[i] >> 1)));
        }
    }
}

void wv_tick_multiple(wvplay& pb, const wv_source& fg, rov_banks& b, rov_handle& rohmult, int16_t* scratch,
                      int32_t frames, wv_levelset* levels) {
    rov_globphase& g = *fg.roh->g;
    const int j = g.rov_pl1load2 ? 0 : 1;
    g.rov_pl1load2 = static_cast<int8_t>(j);
    // The echo source: the clean copy if one is kept, else the buffer playing now.
    const int16_t* echo = fg.echo ? fg.echo : pb.data[1 - j].data();
    const int32_t n = std::min<int32_t>(frames, static_cast<int32_t>(pb.data[j].size() / 2));
    const int32_t clear = std::min<int32_t>(pb.bufsize / 2 - 512, static_cast<int32_t>(pb.data[j].size()));
    wv_mult_fill(pb.data[j].data(), clear, scratch, n, fg, b, rohmult, echo, levels);
}

void wv_mult_rotate(rov_banks& b, const rov_handle& fg, int& setnr, int& tonr) {
    const int8_t next = fg.g->rov_pl1load2;
    rov_bank_rotate(b, fg, setnr, tonr);
    fg.g->rov_pl1load2 = next;
}

void wv_mult_prepare_banks(rov_banks& b, int maxv, bool emphas, bool tonalias) {
    for (rov_globphase& g : b.rogbk) {
        if (g.rov_maxvoc > 0) continue;
        g.rov_maxvoc = static_cast<int8_t>(maxv);
        g.rov_emphas = emphas ? 1 : 0;
        g.rov_tonalias = tonalias ? 1 : 0;
        if (g.rov_volshift == 0) g.rov_volshift = rov_volshift_for(maxv);
    }
}
