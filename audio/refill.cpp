#include "audio/refill.h"

#include <algorithm>

#include "engine/rows.h"
#include "engine/scales.h"

const int32_t bufsztab[wv_nbufsz + 1] = {4096,  6144,  8192,   12288,  16384,  20480,  24576,
                                         32768, 40960, 49152,  65536,  81920,  98304,  131072,
                                         196608, 262144, 393216, 524288, 0};
const int32_t bufincrtab[wv_nbufsz + 1] = {512, 512,   512, 512,  1536, 512, 512, 512, 1536, 512,
                                           10752, 512, 9728, 512, 512,  2560, 512, 512, 0};

int32_t wv_bufincr(int32_t bufszorig) {
    for (int i = 0; bufsztab[i] != 0; ++i)
        if (bufsztab[i] == bufszorig) return bufincrtab[i];
    return 512;
}

void wv_alloc(wvplay& pb, int32_t bufszorig) {
    pb.bufszorig = bufszorig;
    pb.bufsize = bufszorig;
    pb.bufincr = wv_bufincr(bufszorig);
    for (auto& d : pb.data) d.assign(wv_words(bufszorig), 0);
    pb.bufcurrp = pb.bufcurrn = 0;
}

wv_args wv_algargs(int row, const wv_sample& sample, const int16_t* echo) {
    const rov_rowdesc& d = rov_row(row);
    const int typ = d.tab.algtyp;
    if (sample.data && (typ == rov_arg_sample || d.sample_any)) return {sample.data, sample.len, sample.area};
    if (typ == rov_arg_echo) return {echo, 256};
    // The note table travels in the length argument.
    if (typ == rov_arg_notes) return {sintab, reinterpret_cast<intptr_t>(tonnotes)};
    return {sintab, 256};
}

void wv_fill(wvplay& pb, const wv_source& src, int j, int32_t frames, bool first) {
    int16_t* out = pb.data[j].data();
    const bool echoes = rov_rows[src.row].tab.algtyp == rov_arg_echo;
    if (first && echoes) std::fill_n(pb.data[1].data(), pb.bufsize / 2 - 512, int16_t{0});
    // The echo source: the clean copy if one is kept, else the other play
    // buffer (the one playing while this one is computed).
    const int16_t* echo = first ? pb.data[1].data() : src.echo ? src.echo : pb.data[1 - j].data();
    const wv_args a = wv_algargs(src.row, src.sample, echo);
    src.roh->smp = a.area;
    rov_rows[src.row].tab.alg(src.roh, out, frames, src.setnr, src.tonr, a.tab, a.len);
}

void wv_start_second(wvplay& pb, const wv_source& src, int32_t frames) {
    wv_fill(pb, src, 1, frames, false);
    pb.bufcurrp = pb.bufcurrn = 0;
    src.roh->g->rov_pl1load2 = 1;
}

void wv_start_fill(wvplay& pb, const wv_source& src, int32_t frames) {
    wv_fill(pb, src, 0, frames, true);
    wv_start_second(pb, src, frames);
}

void wv_loop_slice(wvplay& pb, const wv_source& src) {
    // A step below one frame cannot come from the tables; keep the default.
    if (pb.bufincr < 2) pb.bufincr = 512;
    std::vector<int16_t>& buf = pb.data[pb.bufcurrn & 1];
    const int32_t words = static_cast<int32_t>(buf.size());
    // The tables tile the played part exactly; a position that would let the
    // slice run past the block starts over instead of writing beyond it.
    if (pb.bufcurrp < 0 || pb.bufcurrp + (pb.bufincr & ~1) > words) pb.bufcurrp = 0;
    const int32_t frames = std::min(pb.bufincr / 2, words / 2);
    rov_rows[src.row].tab.alg(src.roh, buf.data() + pb.bufcurrp, frames, src.setnr, src.tonr, sintab, 256);
    if (pb.bufcurrp >= pb.bufsize / 2 - 512 - pb.bufincr) {
        pb.bufcurrp = 0;
        pb.bufcurrn = pb.bufcurrn ? 0 : 1;
    } else {
        pb.bufcurrp += pb.bufincr;
    }
}

void wv_tick_fill(wvplay& pb, const wv_source& src, int32_t frames) {
    rov_globphase& g = *src.roh->g;
    const int j = g.rov_pl1load2 ? 0 : 1;
    g.rov_pl1load2 = static_cast<int8_t>(j);
    if (rov_row(src.row).loop_slice)
        wv_loop_slice(pb, src);
    else
        wv_fill(pb, src, j, frames, false);
}
