#include "audio/refill.h"

#include <algorithm>

void wv_alloc(wvplay& pb, int32_t bufszorig, bool with_aux) {
    const std::size_t words = static_cast<std::size_t>((bufszorig - 32) / 2);
    pb.bufszorig = bufszorig;
    pb.bufsize = bufszorig;
    for (auto& d : pb.data) d.assign(words, 0);
    if (with_aux)
        pb.aux.assign(words, 0);
    else
        pb.aux.clear();
    pb.bufcurrp = pb.bufcurrn = 0;
}

bool wv_playable(int row) { return row >= 0 && row < 21 && atab[row].alg != nullptr; }

wv_args wv_algargs(int row, const wv_sample& sample, const int16_t* echo) {
    const int typ = atab[row].algtyp;
    if (sample.data && (typ == 1 || row == 0)) return {sample.data, sample.len};
    if (typ == 2) return {echo, 256};
    return {sintab, 256};
}

void wv_fill(wvplay& pb, const wv_source& src, int j, int32_t frames, bool first) {
    int16_t* out = pb.data[j].data();
    const int32_t words = 2 * frames;
    const bool echoes = atab[src.row].algtyp == 2;
    if (first && echoes) std::fill_n(pb.data[1].data(), pb.bufsize / 2 - 512, int16_t{0});
    // The echo source: the clean copy if one is kept, else the other play
    // buffer (the one playing while this one is computed).
    const int16_t* echo = first                                     ? pb.data[1].data()
                          : pb.echobufsav && !pb.aux.empty() ? pb.aux.data()
                                                             : pb.data[1 - j].data();
    const wv_args a = wv_algargs(src.row, src.sample, echo);
    atab[src.row].alg(src.roh, out, frames, src.setnr, src.tonr, a.tab, a.len);
    if (pb.echobufsav && !pb.aux.empty()) std::copy_n(out, words, pb.aux.data());
}

void wv_start_fill(wvplay& pb, const wv_source& src, int32_t frames) {
    wv_fill(pb, src, 0, frames, true);
    wv_fill(pb, src, 1, frames, false);
    pb.bufcurrp = pb.bufcurrn = 0;
    src.roh->g->rov_pl1load2 = 1;
}

void wv_tick_fill(wvplay& pb, const wv_source& src, int32_t frames) {
    rov_globphase& g = *src.roh->g;
    const int j = g.rov_pl1load2 ? 0 : 1;
    g.rov_pl1load2 = static_cast<int8_t>(j);
    wv_fill(pb, src, j, frames, false);
}
