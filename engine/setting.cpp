// The setting record: its byte layout, the built-in default setting and the
// caller's duties at the opening of the editor and at the start of play.
#include <cstring>

#include "engine/le_bytes.h"
#include "engine/rov.h"
#include "engine/rows.h"
#include "engine/slots.h"

// Byte layout: rov_p (320), rov_saw (10), rov_tonindx (10), the five moduli
// (densmod, dynmod, tonmod, pitmod, panmod; 10), rov_tones (320), rov_stdalg (2).
void rov_setting_write(const rov_setting& s, uint8_t out[rov_setting_bytes]) {
    le_writer w{out};
    for (int16_t v : s.rov_p) w.i16(v);
    for (int8_t v : s.rov_saw) w.i8(v);
    for (int8_t v : s.rov_tonindx) w.i8(v);
    w.i16(s.rov_densmod);
    w.i16(s.rov_dynmod);
    w.i16(s.rov_tonmod);
    w.i16(s.rov_pitmod);
    w.i16(s.rov_panmod);
    for (int16_t v : s.rov_tones) w.i16(v);
    w.i16(s.rov_stdalg);
}

void rov_setting_read(rov_setting& s, const uint8_t in[rov_setting_bytes]) {
    le_reader r{in};
    for (int16_t& v : s.rov_p) v = r.i16();
    for (int8_t& v : s.rov_saw) v = r.i8();
    for (int8_t& v : s.rov_tonindx) v = r.i8();
    s.rov_densmod = r.i16();
    s.rov_dynmod = r.i16();
    s.rov_tonmod = r.i16();
    s.rov_pitmod = r.i16();
    s.rov_panmod = r.i16();
    for (int16_t& v : s.rov_tones) v = r.i16();
    s.rov_stdalg = r.i16();
}

void rov_default_setting(rov_setting& s) {
    static const int16_t sets[rov_nsets][rov_setrow] = {
        // 16 parameters, switch, scale
        {96, 0, 932, 192, 192, 96, 26, 4, 0, 96, 44, 1, 112, 12, 80, 0, 1, 3},
        {96, 128, 932, 16, 64, 128, 16, 3, 32, 128, 44, 6, 224, 12, 40, 0, 1, 2},
        {16, 192, 466, 16, 256, 96, 96, 1, 0, 64, 64, 5, 192, 24, 40, 0, 1, 5},
        {80, 176, 466, 3, 192, 128, 96, 9, 0, 64, 1, 32, 128, 12, 40, 0, 1, 8},
        {32, 64, 932, 14, 192, 24, 89, 3, 0, 64, 6, 0, 208, 24, 0, 0, 1, 4},
        {32, 16, 392, 0, 160, 100, 85, 64, 32, 64, 5, 6, 128, 24, 0, 0, 0, 3},
        {32, 128, 740, 64, 0, 96, 85, 48, 0, 96, 5, 1, 242, 24, 0, 0, 0, 1},
        {7, 0, 660, 24, 128, 96, 87, 32, 32, 96, 31, 4, 0, 24, 0, 0, 0, 1},
        {32, 32, 466, 24, 256, 128, 87, 3, 32, 96, 31, 48, 0, 24, 0, 0, 0, 7},
        {32, 32, 466, 24, 128, 96, 85, 6, 0, 64, 6, 16, 128, 24, 128, 0, 1, 9},
    };
    static const int16_t scales[rov_nscales][rov_nvalues] = {
        {33, 33, 65, 66, 131, 132, 262, 263, 264, 524, 525, 526, 527, 263, 524, 131},
        {33, 49, 65, 66, 98, 131, 132, 196, 262, 263, 392, 393, 524, 525, 526, 785},
        {37, 46, 55, 74, 92, 110, 147, 148, 185, 220, 294, 370, 440, 588, 740, 880},
        {117, 175, 233, 349, 466, 59, 139, 87, 88, 277, 698, 233, 349, 117, 138, 277},
        {65, 98, 147, 165, 220, 196, 131, 262, 294, 330, 440, 392, 262, 524, 588, 660},
        {131, 247, 165, 220, 175, 196, 147, 131, 262, 494, 330, 440, 349, 392, 294, 262},
        {131, 139, 147, 156, 165, 175, 185, 196, 208, 220, 233, 247, 262, 277, 294, 311},
        {74, 110, 131, 165, 185, 208, 233, 277, 349, 392, 494, 622, 233, 349, 494, 185},
        {151, 153, 154, 155, 157, 283, 285, 286, 287, 288, 354, 355, 356, 289, 286, 285},
        {561, 562, 563, 563, 564, 564, 564, 565, 565, 565, 565, 566, 566, 567, 568, 569},
    };
    rov_setting_build(s, sets, scales);
}

void rov_setting_build(rov_setting& s, const int16_t sets[rov_nsets][rov_setrow],
                       const int16_t scales[rov_nscales][rov_nvalues]) {
    std::memset(&s, 0, sizeof s);
    for (int n = 0; n < rov_nsets; ++n) {
        for (int i = 0; i < rov_nparams; ++i) s.rov_p[n * rov_nparams + i] = sets[n][i];
        s.rov_saw[n] = static_cast<int8_t>(sets[n][16]);
        s.rov_tonindx[n] = static_cast<int8_t>(sets[n][17]);
    }
    for (int n = 0; n < rov_nscales; ++n)
        for (int i = 0; i < rov_nvalues; ++i) s.rov_tones[n * rov_nvalues + i] = scales[n][i];
    s.rov_densmod = 120;
    s.rov_dynmod = 120;
    s.rov_tonmod = 1753;
    s.rov_pitmod = 1753;
    s.rov_panmod = 1753;
    s.rov_stdalg = 1;
}

void rov_state_init(rov_state& st) {
    std::memset(&st.s, 0, sizeof st.s);
    std::memset(&st.g, 0, sizeof st.g);
    std::memset(st.t, 0, sizeof st.t);
    st.h = {&st.s, &st.g, st.t};
}

int16_t rov_volshift_for(int maxv) {
    if (maxv >= 64) return 14;
    if (maxv >= 20) return 13;
    if (maxv >= 5) return 12;
    return 11;
}

void rov_open(rov_handle* roh, bool emphas, bool tonalias, int maxv) {
    rov_globphase& g = *roh->g;
    g.rov_emphas = emphas ? 1 : 0;
    g.rov_tonalias = tonalias ? 1 : 0;
    g.rov_maxvoc = static_cast<int8_t>(maxv);
    g.rov_volshift = rov_volshift_for(maxv);
    g.rov_stopped = 0;
}

void rov_start(rov_handle* roh, int row, int setnr, int tonr) {
    const rov_setting& s = *roh->s;
    rov_globphase& g = *roh->g;
    for (int k = 0; k < rov_nslots; ++k) roh->t[k].rov_ephas = 0;

    const int first = rov_row_glideset(row, setnr);
    for (int i = 0; i < rov_ncurr; ++i) g.rov_currp[i] = s.rov_p[first * rov_nparams + i];
    g.rov_vocdist = g.rov_currp[rov_par::Beat];
    // The odd set of the pair holds the second channel's Beat.
    g.rov_vocdist2 = s.rov_p[((setnr & ~1) + 1) * rov_nparams + rov_par::Beat];
    g.rov_voccnt = g.rov_voccnt2 = 0;
    g.rov_vocno = g.rov_pitxi = 0;
    for (int i = 0; i < rov_nvalues; ++i) g.rov_toncur[i] = s.rov_tones[tonr * rov_nvalues + i];
    const int phr = rov_row_phrasescale(row, tonr);
    for (int i = 0; i < rov_nvalues; ++i) g.rov_phrase[i] = s.rov_tones[phr * rov_nvalues + i];
    g.rov_phrap1 = g.rov_phrap2 = g.rov_tonupd = 0;
    g.rov_tonxi = g.rov_densxi = g.rov_densxi2 = g.rov_panxi = g.rov_dynxi = g.rov_dynxi2 = 0;
    g.rov_pl1load2 = 0;
    g.rov_stopped = 0;
}
