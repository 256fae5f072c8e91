// The player pad's behaviour, independent of the window system.
#include "player/pad.h"

#include <cstdio>

#include "engine/rows.h"
#include "engine/scales.h"

namespace {

constexpr int dig = wvpl_slider::DigVolume;

void show_label(pad_dlg& d, int i) {
    const wvpl_par& w = *d.wvp;
    char* l = d.view.label[i];
    if (i == dig)
        std::snprintf(l, sizeof d.view.label[i], "%d dB", w.wvpl_p[i] * 6);
    else
        std::snprintf(l, sizeof d.view.label[i], i == w.wvpl_mode ? "(%d)" : "%d", w.wvpl_p[i]);
}

int factor(int pitl) { return pitl == 0 ? 4 : pitl == 1 ? 2 : 1; }

// The marks of a click outside the area: a line per 10-pixel row, a second
// one on the rows of the black keys, and the columns in the scale modes.
void stripes(pad_dlg& d) {
    for (int k = 0; k < 40; ++k) {
        d.view.lines.push_back({0, 10 * k + 1, 256, 10 * k + 1, false});
        const int m = k % 12;
        if (m == 1 || m == 3 || m == 6 || m == 8 || m == 10)
            d.view.lines.push_back({32, 10 * k + 6, 256, 10 * k + 6, false});
    }
    if (d.wvp->wvpl_pitq >= 2)
        for (int x = 16; x <= 256; x += 16) d.view.lines.push_back({x, 0, x, 400, false});
}

}  // namespace

const char* pad_modetext(int mode) {
    static const char* const t[6] = {"&Volume", "&Length", "&Pulsewidth", "De&tune", "&Envelope", "&Panning"};
    return mode >= 0 && mode < 6 ? t[mode] : nullptr;
}
const char* pad_pitltext(int pitl) {
    static const char* const t[3] = {"&High", "&Medium", "Lo&w"};
    return pitl >= 0 && pitl < 3 ? t[pitl] : nullptr;
}
const char* pad_pitqtext(int pitq) {
    static const char* const t[4] = {"&Halftones", "&FreePitch", "&HT Scale", "&FreeScale"};
    return pitq >= 0 && pitq < 4 ? t[pitq] : nullptr;
}

void pad_prepare(wvpl_par& w, int algomod, rov_handle* roh, const int16_t* sample, int32_t len) {
    w.wvpl_p[0] = 96;
    w.wvpl_p[1] = 8;
    w.wvpl_p[2] = 128;
    w.wvpl_p[3] = 8;
    w.wvpl_p[5] = 128;
    w.wvpl_alg = static_cast<uint16_t>(algomod);
    w.wvpl_mode = 4;
    w.wvpl_pitl = 1;
    w.wvpl_pitq = 0;
    w.wvpl_roh = roh;
    w.wvpl_notes = tonnotes;
    if (sample && len > 0) {
        w.wvpl_smp = sample;
        w.wvpl_sl = len;
    } else {
        w.wvpl_smp = nullptr;
        w.wvpl_sl = rov_row_sampling(algomod) ? -1 : 0;
    }
}

void pad_open(pad_dlg& d, wvpl_par* w, int setnr) {
    d.wvp = w;
    d.view = pad_view{};
    w->wvpl_setnr = setnr;
    for (int i = 0; i < pad_nsliders; ++i) {
        if (i == dig) {
            d.view.max[i] = 6;
            const int v = w->wvpl_roh ? 16 - w->wvpl_roh->g->rov_volshift : 0;
            w->wvpl_p[i] = static_cast<uint16_t>(v < 0 ? 0 : v > 6 ? 6 : v);
        } else {
            d.view.max[i] = 256;
        }
        d.view.pos[i] = static_cast<int16_t>(w->wvpl_p[i] > d.view.max[i] ? d.view.max[i] : w->wvpl_p[i]);
        show_label(d, i);
    }
    if (const char* t = pad_modetext(w->wvpl_mode)) d.view.env = t;
    if (const char* t = pad_pitltext(w->wvpl_pitl)) d.view.mid = t;
    if (const char* t = pad_pitqtext(w->wvpl_pitq)) d.view.qtz = t;
}

void pad_mode(pad_dlg& d) {
    wvpl_par& w = *d.wvp;
    const int old = w.wvpl_mode;
    w.wvpl_mode = old >= 5 || old < 0 ? 0 : old + 1;
    if (old >= 0 && old < pad_nsliders && old != 4) show_label(d, old);
    if (w.wvpl_mode != 4) show_label(d, w.wvpl_mode);
    d.view.env = pad_modetext(w.wvpl_mode);
}

void pad_range(pad_dlg& d) {
    wvpl_par& w = *d.wvp;
    w.wvpl_pitl = w.wvpl_pitl >= 2 || w.wvpl_pitl < 0 ? 0 : w.wvpl_pitl + 1;
    d.view.mid = pad_pitltext(w.wvpl_pitl);
}

void pad_pitq(pad_dlg& d) {
    wvpl_par& w = *d.wvp;
    w.wvpl_pitq = w.wvpl_pitq >= 3 || w.wvpl_pitq < 0 ? 0 : w.wvpl_pitq + 1;
    d.view.qtz = pad_pitqtext(w.wvpl_pitq);
}

void pad_scroll(pad_dlg& d, int i, rov_scrollcode code, int pos) {
    if (i < 0 || i >= pad_nsliders) return;
    wvpl_par& w = *d.wvp;
    const int page = i == dig ? 1 : 16;
    int v = w.wvpl_p[i];
    switch (code) {
    case rov_sc_lineup: v -= 1; break;
    case rov_sc_linedown: v += 1; break;
    case rov_sc_pageup: v -= page; break;
    case rov_sc_pagedown: v += page; break;
    case rov_sc_thumbpos:
    case rov_sc_thumbtrack: v = pos; break;
    default: return;
    }
    v = v < 0 ? 0 : v > 256 ? 256 : v;
    if (i == dig) {
        if (v > 6) v = 6;
        if (w.wvpl_roh) w.wvpl_roh->g->rov_volshift = static_cast<int16_t>(16 - v);
    }
    w.wvpl_p[i] = static_cast<uint16_t>(v);
    d.view.pos[i] = static_cast<int16_t>(v);
    show_label(d, i);
}

void pad_click(pad_dlg& d, int x, int y) {
    wvpl_par& w = *d.wvp;
    d.view.lines.clear();
    d.view.voice = -1;
    if (x < 0 || x > pad_area_w || y < 0) {
        stripes(d);
        return;
    }
    const bool envmode = w.wvpl_mode == 4 || w.wvpl_mode < 0 || w.wvpl_mode >= pad_nsliders;
    uint16_t saved = 0;
    if (envmode) {
        w.wvpl_env = static_cast<uint16_t>(x);
    } else {
        saved = w.wvpl_p[w.wvpl_mode];
        w.wvpl_p[w.wvpl_mode] = static_cast<uint16_t>(x);
    }
    const int f = factor(w.wvpl_pitl);
    const bool freepitch = w.wvpl_pitq == 1 || w.wvpl_pitq == 3;
    if (freepitch) {
        w.wvpl_pit = static_cast<uint16_t>(f * y);
    } else {
        // One semitone per 10-pixel row, from note 12 at the top; rows
        // below the table's last note stay on it (the end mark is no note).
        int n = y / 10 + 12;
        if (n > tonnotes_n - 2) n = tonnotes_n - 2;
        w.wvpl_pit = static_cast<uint16_t>(w.wvpl_notes[n] * f);
    }
    if (w.wvpl_pitq <= 1) {
        d.view.voice = plyov(&w);
        if (d.view.voice >= 0) ++d.view.played;
        if (!envmode) w.wvpl_p[w.wvpl_mode] = saved;
        return;
    }
    // The scale modes change an entry of the running scale or phrase.
    if (x == 256) x = 255;
    if (w.wvpl_pit < 32) w.wvpl_pit = 0;
    const int col = x / 16;
    if (w.wvpl_roh) {
        rov_globphase& g = *w.wvpl_roh->g;
        int16_t* entry = rov_row(w.wvpl_alg).plays_phrase ? &g.rov_phrase[col] : &g.rov_toncur[col];
        *entry = static_cast<int16_t>(w.wvpl_pit);
    }
    const int lx = ((x + 16) / 16) * 16, ly = (y / 10) * 10 + 1;
    d.view.lines.push_back({lx, 0, lx, 400, false});
    d.view.lines.push_back({lx, ly, lx, ly + 10, true});
}

namespace {

struct pad_helptext {
    const char* name;  // under a slider
    const char* caption;
    const char* text;
};

const pad_helptext help_of[pad_part_area + 1] = {
    {"Volume", "Volume",
     "volume of the part manually played.\nThis slider doesn't change the volume\nof the soundscape "
     "automatically playing"},
    {"Length", "Length", "length of the tones manually played."},
    {"Pulse", "Pulsewidth", "waveform, pulsewidth or position\n(dependent of algorithm)"},
    {"Detune", "Detune", "If the algorithm provides a second oscillator,\nit can be tuned"},
    {"Digital", "Digital Volume", "Reduce the digital volume if the sound is distorted"},
    {"Pan", "Panorama", "Panorama position of the part manually played"},
    {"", "Pitch alignment",
     "selecting the pitch alignment\n(free or halftone)\nand the pitch assignment\n(play direct or change "
     "scale)"},
    {"", "pitch level", "Select the pitch level for playing"},
    {"", "effect of horizontal position", "Select the effect of the \nhorizontal mouse position on playing"},
    {"", "Player Area",
     "By clicking in the player area you can\nplay extra tones. Higher positions in the area\nproduce lower "
     "tones. If you fail the player area,\nit will be marked by horizontal stripes."},
};

}  // namespace

rov_helpbox pad_part_help(int part) {
    const pad_helptext& h = help_of[part >= 0 && part < pad_part_area ? part : pad_part_area];
    return {h.caption, h.text};
}

const char* pad_slider_name(int i) { return i >= 0 && i < pad_nsliders ? help_of[i].name : ""; }

int pad_part_at(int x, int y) {
    // The texts above the sliders, and the names under them.
    if ((y >= 8 && y <= 16) || (y >= 101 && y <= 107)) {
        if (x >= 140 && x <= 239) return (x - 140) / 20;
        if (x >= 240 && x <= 260) return 5;
    }
    // Beside the buttons.
    if (x >= 195 && x <= 204 && y >= 108 && y <= 119) return pad_part_qtz;
    if (x >= 195 && x <= 204 && y >= 125 && y <= 136) return pad_part_env;
    if (x >= 255 && y >= 108 && y <= 119) return pad_part_mid;
    return pad_part_area;
}

std::string pad_dump(const pad_dlg& d) {
    std::string s;
    for (int i = 0; i < pad_nsliders; ++i) {
        s += "label" + std::to_string(i) + "=" + d.view.label[i] + "\n";
        s += "pos" + std::to_string(i) + "=" + std::to_string(d.view.pos[i]) + "\n";
    }
    s += std::string("qtz=") + d.view.qtz + "\nmid=" + d.view.mid + "\nenv=" + d.view.env + "\n";
    s += "played=" + std::to_string(d.view.played) + "\n";
    return s;
}
