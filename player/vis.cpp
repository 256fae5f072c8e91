#include "player/vis.h"

#include <algorithm>
#include <cstdlib>

#include "engine/blocks.h"
#include "engine/rows.h"

const uint32_t rainbow[24] = {0x0000FF, 0x003FFF, 0x007FFF, 0x00BFFF, 0x00FFFF, 0x00FFBF, 0x00FF7F, 0x00FF3F,
                              0x00FF00, 0x3FFF00, 0x7FFF00, 0xBFFF00, 0xFFFF00, 0xFFBF00, 0xFF7F00, 0xFF3F00,
                              0xFF0000, 0xFF003F, 0xFF007F, 0xFF00BF, 0xFF00FF, 0xBF00FF, 0x7F00FF, 0x3F00FF};
const int sizetab[41] = {1,   2,   3,   4,   5,   6,   8,   10,  12,  16,  20,  24,   32,   40,
                         48,  56,  64,  72,  80,  96,  112, 128, 144, 160, 192, 224,  256,  288,
                         320, 384, 448, 512, 576, 640, 768, 896, 1024, 1280, 1536, 2048, 32767};
const int hinotes[14] = {524, 554, 588, 622, 660, 698, 740, 784, 830, 880, 932, 988, 1048, 9999};
const int hix[13] = {100, 87, 50, 0, -50, -87, -100, -87, -50, 0, 50, 87, 100};
const int hiy[13] = {0, 50, 87, 100, 87, 50, 0, -50, -87, -100, -87, -50, 0};
const int xtab[12] = {2, 1, 0, -1, -2, -1, 0, 1, 1, 0, 2, 1};
const int ytab[12] = {0, 1, 2, 1, 0, -1, -2, -1, 0, 0, 1, 2};

namespace {

constexpr uint32_t white = 0xFFFFFF, black = 0, grey = 0x7F7F7F;

uint32_t half(uint32_t c) { return (c >> 1) & 0x7F7F7F; }

// Each component of c scaled by s/8 and blended with the grey level g by (8 - s)/8.
uint32_t blend(uint32_t c, int s, int g) {
    uint32_t out = 0;
    for (int sh = 0; sh < 24; sh += 8) {
        const int comp = static_cast<int>((c >> sh) & 0xFF);
        const int v = std::clamp((comp * s + g * (8 - s)) / 8, 0, 255);
        out |= static_cast<uint32_t>(v) << sh;
    }
    return out;
}

// The row's voices take their pitch from the sample increment.
bool sample_pitch(int row) { return rov_row(row).vis.sample_pitch; }

// Round-robin voice choice from visar[1]; -1 when every voice is idle.
int choose_voice(const rov_handle* roh, int16_t* visar) {
    const int maxv = std::clamp(static_cast<int>(roh->g->rov_maxvoc), 0, rov_nslots);
    auto idle = [roh](int v) { return roh->t[v].rov_ephas == 0; };
    const int start = std::max(0, static_cast<int>(visar[1]));
    int v = start;
    while (v < maxv && idle(v)) ++v;
    if (v >= maxv) {
        v = 0;
        while (v < start && v < maxv && idle(v)) ++v;
    }
    if (v < maxv && !idle(v)) {
        visar[1] = static_cast<int16_t>(v + 1);
        return v;
    }
    return -1;
}

// Pitch value of a voice: the oscillator increment, or four times the
// sample increment for the sampling algorithms (16 bits).
uint16_t pitch_of(const rov_handle* roh, int v) {
    const rov_tonephase& t = roh->t[v];
    if (sample_pitch(roh->s->rov_stdalg)) return static_cast<uint16_t>(4 * t.rov_sincr);
    return t.rov_wincr;
}

void clear_field(vis_canvas& cv) { racirc(cv, 320, 240, 320, 240, black, black, true); }

// The pseudo-random values G1..G4 in visar[3..6].
void advance_g1(const rov_handle* roh, int16_t* visar) {
    visar[3] = static_cast<int16_t>(rov_modseq(static_cast<uint16_t>(visar[3]), 804, roh->s->rov_pitmod));
}
void advance_g2(const rov_handle* roh, int16_t* visar) {
    visar[4] = static_cast<int16_t>(rov_modseq(static_cast<uint16_t>(visar[4]), 1001, roh->s->rov_tonmod));
}

void pastel(const rov_handle* roh, vis_canvas& cv) {
    const rov_globphase& g = *roh->g;
    const int maxv = std::clamp(static_cast<int>(g.rov_maxvoc), 0, rov_nslots);
    for (int v = 0; v < maxv; ++v) {
        const rov_tonephase& t = roh->t[v];
        const int lr = t.rov_left + t.rov_right;
        if (lr == 0 || t.rov_ephas == 0) continue;
        const uint32_t c = vis_octave_colour(pitch_of(roh, v), black);
        racirc(cv, t.rov_right * 600 / lr, 400 - g.rov_tonxi % 400, vis_sizestep(t.rov_edecr) + 2,
               vis_sizestep(t.rov_eincr) + 2, c, c, false);
    }
}

void balls(const rov_handle* roh, int16_t* visar, vis_canvas& cv) {
    const int v = choose_voice(roh, visar);
    if (v >= 0) {
        const rov_tonephase& t = roh->t[v];
        const int lr = t.rov_left + t.rov_right;
        if (lr > 0) {
            const uint32_t c = vis_octave_colour(pitch_of(roh, v), black);
            const int r = vis_sizestep(t.rov_eincr + t.rov_edecr) + 2;
            if (visar[0] < r) visar[0] = static_cast<int16_t>(r);
            raball(cv, t.rov_right * 500 / lr + 50, visar[0], r, c, roh->g->rov_currp[1] / 26, 0);
        }
    }
    visar[0] = static_cast<int16_t>(visar[0] >= 400 || visar[0] < 0 ? 0 : visar[0] + 1);
}

void rosette(const rov_handle* roh, int16_t* visar, vis_canvas& cv) {
    if (visar[0] < 64) {
        visar[0] = 64;
        clear_field(cv);
    }
    const int v = choose_voice(roh, visar);
    if (v < 0) return;
    const rov_tonephase& t = roh->t[v];
    const int lv = std::min(t.rov_left + t.rov_right, 32767);
    if (lv <= 0) return;
    if (lv > visar[0]) visar[0] = static_cast<int16_t>(lv);
    const int br = lv == visar[0] ? 4 : lv >= visar[0] / 2 ? 2 : 0;
    const int p1 = roh->g->rov_currp[1];
    const int ld = p1 < 32 ? 10 : p1 > 160 ? 11 : 1;
    const uint16_t p = pitch_of(roh, v);
    const uint32_t c = vis_octave_colour(p, black);
    const int r = vis_sizestep(t.rov_eincr + t.rov_edecr) + 2;
    int x = 0, y = 0;
    relpos((p + 8) / 16, 240, 240, 70, &x, &y, nullptr);
    raball(cv, x, y, r, c, ld, br);
}

void lightshow(const rov_handle* roh, const int16_t* buffer, int16_t* visar, vis_canvas& cv) {
    const int v = choose_voice(roh, visar);
    const uint32_t c = v >= 0 ? vis_octave_colour(pitch_of(roh, v), grey) : white;
    const int t = visar[0];
    if (t <= 40)
        rabirc(cv, 320, 240, 320, 240, c, buffer, true);
    else if (t <= 200)
        rabirc(cv, 320, 240, 12800 / t, 9600 / t, c, buffer, true);
    else if (t <= 220)
        rabirc(cv, 320, 240, 320, 240, c, buffer, true);
    else if (t <= 400)
        rabirc(cv, 320, 360 - 2400 / (t - 200), 6400 / (t - 200), 4800 / (t - 200), c, buffer, true);
    else if (t <= 410)
        racirc(cv, 320, 240, 320, 240, c, c, true);
    else if (t <= 600)
        racirc(cv, 320, 240, 3200 / (t - 400), 2400 / (t - 400), static_cast<uint32_t>(t - 410) << 16, c, true);
    else if (t <= 610)
        racirc(cv, 320, 240, 320, 240, c, c, true);
    else
        racirc(cv, 320, 400 - 1600 / (t - 600), 3200 / (t - 600), 2400 / (t - 600),
               static_cast<uint32_t>(t - 610) * 0x010101u, c, true);
    // The cycle is 800 steps; a count another effect left beyond it starts
    // the cycle again rather than running on for tens of thousands of buffers.
    visar[0] = static_cast<int16_t>(t >= 800 || t < 0 ? 0 : t + 1);
}

// Brings a pitch into lo..hi by octaves (only positive pitches move).
int fold(int q, int lo, int hi) {
    while (q > 0 && q < lo) q *= 2;
    while (q > 0 && q > hi) q /= 2;
    return q;
}

void wrap(int& x, int& y) {
    if (x < 40) x += 560;
    else if (x > 600) x -= 560;
    if (y < 30) y += 420;
    else if (y > 450) y -= 420;
}

void algorithmic(const rov_handle* roh, int16_t* visar, vis_canvas& cv) {
    const rov_globphase& g = *roh->g;
    const rov_setting& s = *roh->s;
    if (visar[0] % 400 == 0) clear_field(cv);
    visar[0] = static_cast<int16_t>(visar[0] >= 1200 || visar[0] < 0 ? 0 : visar[0] + 1);
    const bool flash = visar[0] > 400, ball = visar[0] > 800;

    advance_g1(roh, visar);
    advance_g2(roh, visar);
    visar[5] = static_cast<int16_t>(rov_modseq(static_cast<uint16_t>(visar[5]), g.rov_currp[6], s.rov_densmod));
    visar[6] = static_cast<int16_t>(rov_modseq(static_cast<uint16_t>(visar[6]), g.rov_currp[10], s.rov_dynmod));
    const int g1 = visar[3], g2 = visar[4], g3 = visar[5], g4 = visar[6];

    const int v = choose_voice(roh, visar);
    if (v >= 0) visar[7] = static_cast<int16_t>(pitch_of(roh, v));
    const uint32_t c = vis_octave_colour(static_cast<uint16_t>(visar[7]), white);

    const int16_t* p = g.rov_currp;
    const int br = p[9] / 4 > (g4 & 127) ? 4 : p[9] / 2 > (g4 & 127) ? 2 : 0;
    const int ld = p[1] < 32 ? 10 : p[1] > 160 ? 11 : 1;
    const rov_viskind kind = rov_row(s.rov_stdalg).vis.kind;
    int rad = vis_sizestep(sample_pitch(s.rov_stdalg) ? p[11] + 3 : 4 * p[11] + 4) + 2;
    const int lo = ((64 - p[3] / 4) * 195) / 64;
    // A Pitch-Variation value beyond its range would divide by zero.
    const int hi = (390 / std::max(1, 24 - p[3] / 16)) * 24;

    const int16_t* t0 = g.rov_toncur;
    const int16_t* t1 = g.rov_phrase;
    // The loop or second scale table: 16 values from entry 2 * p8 of the
    // setting's scales, kept inside them.
    const int16_t* t2 = s.rov_tones + std::clamp(2 * static_cast<int>(p[8]), 0, rov_nscales * rov_nvalues - 16);

    // A ball at (x, y), or a line from (xf, yf) to it.
    auto mark = [&](int xf, int yf, int x, int y, int r) {
        if (ball)
            raball(cv, x, y, r, c, ld, br);
        else
            raline(cv, xf, yf, x, y, c, br / 2 + 1, flash);
    };
    auto free_point = [&](int& x, int& y) {
        x = g2 % 520 + 60;
        y = g1 % 380 + 50;
        mark(320, 240, x, y, rad);
        visar[8] = static_cast<int16_t>(x);
        visar[9] = static_cast<int16_t>(y);
    };

    switch (kind) {
    case rov_viskind::scale:
    case rov_viskind::two_scales:
    case rov_viskind::random_pitch:
    case rov_viskind::cluster:
    case rov_viskind::pitch_pairs: {
        int q;
        if (kind == rov_viskind::pitch_pairs) {
            const int k = g2 & 14;
            q = (t0[k] * p[2]) / 262 + ((p[3] * t0[k + 1]) / 2048) * ((g1 & 127) - 64) / 4;
            q = std::abs(q);
            while (q > 2048) q /= 2;
        } else {
            if ((g2 & 255) < p[4] && kind != rov_viskind::random_pitch)
                q = t0[g2 & 15];
            else if ((g2 & 255) < p[4] + 2 * p[7] && kind == rov_viskind::two_scales)
                q = t2[g2 & 15];
            else
                q = ((g1 & 127) - 64) * p[3] / 16 + p[2];
            q = std::min(std::abs(q), 2048);
        }
        int x = 0, y = 0, h = 0;
        relpos(q, 240, 240, 70, &x, &y, &h);
        if (kind == rov_viskind::cluster) {
            if (p[7] > 64)
                rad -= rad * h * (p[7] - 64) / 7680;
            else
                rad -= (96 - h) * rad * (64 - p[7]) / 7680;
        }
        mark((3 * x + 240) / 4, (3 * y + 240) / 4, x, y, rad);
        break;
    }
    case rov_viskind::intervals: {
        int x = 0, y = 0;
        if ((g2 & 255) < p[4]) {
            const int q = fold(t0[8 + (g2 & 7)], lo, hi);
            rad = (rad + 1) / 2;
            relpos(q, visar[8], visar[9], rad, &x, &y, nullptr);
            wrap(x, y);
            mark(visar[8], visar[9], x, y, rad);
            visar[8] = static_cast<int16_t>(x);
            visar[9] = static_cast<int16_t>(y);
        } else {
            free_point(x, y);
        }
        break;
    }
    case rov_viskind::phrase:
    case rov_viskind::two_phrases: {
        int w = visar[2];
        if (w <= 0) {
            int x = 0, y = 0;
            free_point(x, y);
            if ((g2 & 255) < p[4]) w = kind == rov_viskind::two_phrases && (g1 & 127) < p[7] ? 17 : 1;
            else w = 0;
        } else if (w < 32) {
            const int i = w <= 15 ? w : w - 16;
            const int q = fold(w <= 15 ? t1[w] : t2[w - 16], lo, hi);
            rad = (rad + 1) / 2;
            int x = 0, y = 0;
            relpos(q, visar[8], visar[9], rad, &x, &y, nullptr);
            wrap(x, y);
            mark(visar[8], visar[9], x, y, rad);
            w = ((8 * i < p[5] || g3 < p[6]) && i < 15) ? w + 1 : 0;
        }
        visar[2] = static_cast<int16_t>(w);
        break;
    }
    case rov_viskind::none:
    case rov_viskind::unset: break;
    }
}

void waveform(const rov_handle* roh, const int16_t* buffer, int32_t frames, int16_t* visar, vis_canvas& cv) {
    visar[0] = static_cast<int16_t>(visar[0] >= 900 || visar[0] < 0 ? 0 : visar[0] + 1);
    const int f = visar[0] % 300;
    const bool flash = f > 100;
    if (f < 200) clear_field(cv);
    const int v = choose_voice(roh, visar);
    if (v >= 0 && f < 200) visar[7] = static_cast<int16_t>(pitch_of(roh, v));
    raoscil(cv, vis_semitone_colour(visar[7]), buffer, frames, visar[0] / 300, flash);
}

void pixel(const rov_handle* roh, int16_t* visar, vis_canvas& cv) {
    advance_g1(roh, visar);
    advance_g2(roh, visar);
    const int v = choose_voice(roh, visar);
    if (v >= 0) visar[7] = static_cast<int16_t>(pitch_of(roh, v));
    uint32_t c = white;
    if (visar[7] > 0) {
        static const uint32_t odd[12] = {0, 0x7F7F7F, 0, 0x007F7F, 0, 0x007F00, 0, 0x7F7F00, 0, black, 0, 0x7F007F};
        const int k = vis_semitone(visar[7]);
        c = k % 2 ? odd[k] : rainbow[2 * k];
    }
    racirc(cv, visar[3] % 640, visar[4] % 400, 2, 2, c, c, false);
}

}  // namespace

int vis_sizestep(int v) {
    int n = 0;
    while (n < 40 && sizetab[n] <= v) ++n;
    return n;
}

uint32_t vis_octave_colour(uint16_t p16, uint32_t fallback) {
    int p = p16, j = 0;
    while (p > 512) {
        j += 3;
        p /= 2;
    }
    if (p > 384) j += 2;
    else if (p > 320) j += 1;
    if (p < 96) return fallback;
    return rainbow[std::min(j, 23)];
}

int vis_semitone(int p) {
    if (p <= 0) return 0;
    while (p <= 1048) p *= 2;
    while (p >= 1048) p /= 2;
    int k = 11;
    while (k > 0 && hinotes[k] > p) --k;
    return k;
}

uint32_t vis_semitone_colour(int16_t p) { return p <= 0 ? white : rainbow[2 * vis_semitone(p)]; }

void racirc(vis_canvas& cv, int x, int y, int rx, int ry, uint32_t ic, uint32_t mc, bool rect) {
    if (x < rx || y < ry) return;
    vis_brush b;
    b.colour = ic;
    cv.shape(rect, x - rx, y - ry, x + rx, y + ry, b, mc);
}

void rabirc(vis_canvas& cv, int x, int y, int rx, int ry, uint32_t ic, const int16_t* testmap, bool rect) {
    if (x < rx || y < ry) return;
    vis_brush b;
    b.colour = ic;
    b.pattern = true;
    b.zero = black;
    for (int r = 0; r < 8; ++r) b.rows[r] = static_cast<uint8_t>(static_cast<uint16_t>(testmap[r]) & 0xFF);
    cv.shape(rect, x - rx, y - ry, x + rx, y + ry, b, black);
}

void raline(vis_canvas& cv, int xf, int yf, int xt, int yt, uint32_t ic, int thick, bool flash) {
    if (!flash) {
        cv.line(xf, yf, xt, yt, ic, thick);
        return;
    }
    cv.line(xf, yf, xt, yt, half(ic), 3 * thick);
    cv.line(xf, yf, xt, yt, ic, 2 * thick);
    cv.line(xf, yf, xt, yt, white, thick);
}

void raoscil(vis_canvas& cv, uint32_t ic, const int16_t* wave, int32_t frames, int thick, bool flash) {
    // 321 points when the buffer holds them: a blown-up buffer computes
    // fewer frames, and nothing behind them is read.
    const int n = static_cast<int>(std::clamp<int32_t>(frames, 0, 321));
    if (n < 2) return;
    int xs[321], ys[321];
    for (int k = 0; k < n; ++k) {
        xs[k] = 2 * k;
        ys[k] = 240 - ((wave[2 * k] >> 8) + (wave[2 * k + 1] >> 8));
    }
    if (!flash) {
        cv.polyline(xs, ys, n, ic);
        for (int j = 0; j < thick; ++j) {
            for (int k = 0; k < n; ++k) ++xs[k];
            cv.polyline(xs, ys, n, ic);
            for (int k = 0; k < n; ++k) ++ys[k];
            cv.polyline(xs, ys, n, ic);
        }
        return;
    }
    const int passes = 3 * (thick + 1);
    const uint32_t dim = half(ic & 0xFEFEFE);
    int px[321], py[321];
    for (int j = 0; j < passes; ++j) {
        const uint32_t c = j < thick + 1 ? white : j < 2 * (thick + 1) ? ic : dim;
        for (int k = 0; k < n; ++k) {
            px[k] = xs[k] + j;
            py[k] = ys[k] + j;
        }
        cv.polyline(px, py, n, c);
        for (int k = 0; k < n; ++k) ++py[k];
        cv.polyline(px, py, n, c);
    }
}

void raball(vis_canvas& cv, int x, int y, int r, uint32_t ic, int ld, int br) {
    if (ld < 0 || ld > 11) return;
    int rx = r, ry = r;
    if (ld == 10) {
        rx = (3 * r + 1) / 2;
        ry = (3 * r + 1) / 4;
    } else if (ld == 11) {
        rx = (3 * r + 1) / 4;
        ry = (3 * r + 1) / 2;
    }
    if (r <= 5) {
        racirc(cv, x, y, rx, ry, black, ic, false);
        return;
    }
    const int s = r <= 7 ? 2 : r <= 10 ? 3 : r <= 15 ? 4 : r <= 22 ? 5 : 6;
    uint32_t c = ic;
    const int rings = r / 5;
    for (int i = 0; i < rings; ++i) {
        racirc(cv, x + xtab[ld] * i, y + ytab[ld] * i, rx, ry, c, c, false);
        rx -= ld == 10 ? 4 : 2;
        ry -= ld == 11 ? 4 : 2;
        c = blend(c, s, br * 63);
    }
    racirc(cv, x + xtab[ld] * rings, y + ytab[ld] * rings, rx, ry, c, c, false);
}

void relpos(int pitch, int bx, int by, int r, int* x, int* y, int* ht) {
    if (pitch <= 0) {
        *x = bx;
        *y = by;
        if (ht) *ht = 0;
        return;
    }
    if (pitch <= 8) {
        *x = bx + xtab[pitch - 1];
        *y = by + ytab[pitch - 1];
        if (ht) *ht = 0;
        return;
    }
    if (pitch <= 16) {
        *x = bx + 2 * xtab[pitch - 9];
        *y = by + 2 * ytab[pitch - 9];
        if (ht) *ht = 0;
        return;
    }
    int p = pitch, o = 6;
    if (pitch >= 1048) {
        p = pitch / 2;
        o = 7;
    }
    while (p < 524) {
        --o;
        p *= 2;
    }
    if (o > 4) o = 2 * o - 4;
    int k = 11;
    while (k > 0 && hinotes[k] > p) --k;
    const int64_t span = static_cast<int64_t>(hinotes[k + 1] - hinotes[k]) * 267;
    const int64_t wa = hinotes[k + 1] - p, wb = p - hinotes[k];
    *x = bx + static_cast<int>((wa * hix[k] + wb * hix[k + 1]) * o * r / span);
    *y = by + static_cast<int>((wa * hiy[k] + wb * hiy[k + 1]) * o * r / span);
    if (ht) {
        if (o > 5) o = (o + 4) / 2;
        *ht = 12 * o + k;
    }
}

void ranovis(const rov_handle* roh, const int16_t* buffer, int32_t frames, int visnr, int16_t* visar,
             vis_canvas& cv) {
    switch (visnr) {
    case 1: pastel(roh, cv); break;
    case 2: balls(roh, visar, cv); break;
    case 3: rosette(roh, visar, cv); break;
    case 4: if (frames >= 8) lightshow(roh, buffer, visar, cv); break;
    case 5: algorithmic(roh, visar, cv); break;
    case 6: waveform(roh, buffer, frames, visar, cv); break;
    case 7: pixel(roh, visar, cv); break;
    default: break;
    }
}
