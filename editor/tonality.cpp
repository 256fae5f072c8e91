// The scale editor's behaviour, independent of the window system.
#include "editor/tonality.h"

#include <cstdio>
#include <cstring>

#include "engine/rows.h"
#include "engine/scales.h"

const int16_t tonini[ton_nmodes][16] = {
    {262, 262, 262, 262, 262, 262, 262, 262, 262, 262, 262, 262, 262, 262, 262, 262},
    {0, 128, 256, 384, 512, 640, 768, 896, 1024, 896, 768, 640, 512, 384, 256, 128},
    {512, 448, 384, 320, 256, 192, 128, 64, 0, 64, 128, 192, 256, 320, 384, 448},
    {544, 576, 608, 640, 672, 704, 736, 768, 800, 832, 864, 896, 928, 960, 992, 1024},
    {0, 256, 512, 768, 1024, 768, 512, 256, 0, 256, 512, 768, 1024, 768, 512, 256},
};

namespace {

constexpr int last_note = tonnotes_n - 1;  // index of the end mark

// Modes 2 and 3 are symmetric around 512 and show the distance from it.
bool symmetric(int mode) { return mode == 2 || mode == 3; }
int page_of(int mode) { return mode == 1 || mode == 4 ? 128 : 64; }
int shown(const ton_editor& te, int v) { return symmetric(te.mode) ? v - 512 : v; }

int clamp(int v) { return v < 0 ? 0 : v > ton_max ? ton_max : v; }

void status_value(ton_editor& te, int i, int v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d / %d / %d", te.ts.ttonr, i, shown(te, v));
    te.view.status = buf;
}

void status_note(ton_editor& te, int i, int note) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d / %d / %s", te.ts.ttonr, i, te.ts.tnames[note]);
    te.view.status = buf;
}

// Slider positions follow the values (the bars show 0..1024).
void show_all(ton_editor& te) {
    for (int i = 0; i < 16; ++i) te.view.pos[i] = static_cast<int16_t>(clamp(te.ts.rovtones[i]));
}

void put_all(ton_editor& te, const int16_t* from) {
    std::memcpy(te.ts.rovtones, from, 16 * sizeof(int16_t));
    show_all(te);
}

}  // namespace

const char* ton_caption(int algo, int tonr) {
    const bool even = tonr % 2 == 0;
    switch (rov_row(algo).scale.kind) {
    case rov_scalekind::phrase_transpose: return even ? "Phrase/Pitch editing (16 tones)" : "Editing  transpositions";
    case rov_scalekind::phrase_wave: return even ? "Phrase/Pitch/Wave editing" : "Editing transposition/wave";
    case rov_scalekind::phrase: return "Phrase editing (16 tones)";
    case rov_scalekind::phrase_or_scale:
        if (even) return "Phrase editing (16 tones)";
        break;
    case rov_scalekind::chords: return "Editing pitch (0-7) and chords (8-15)";
    case rov_scalekind::intervals: return "Editing pitch (0-7) and intervals (8-15)";
    case rov_scalekind::scale_or_phrase: return "Editing scale or phrase";
    case rov_scalekind::envelope: return "Editing scale or envelope";
    case rov_scalekind::pitch_pairs: return "Editing 8 pairs of (center pitch, range)";
    case rov_scalekind::lfo_waves: return "Editing LFO waveforms (0-7;8-15)";
    case rov_scalekind::scale:
    case rov_scalekind::unset: break;
    }
    return "Scale editing (16 pitch values)";
}

const char* ton_modename(int mode) {
    static const char* const names[ton_nmodes] = {"&Tone", "En&v", "Wa&v", "Mod&T", "LFOW&V"};
    return mode >= 0 && mode < ton_nmodes ? names[mode] : names[0];
}

bool ton_asks_assign(int algo) { return rov_row(algo).scale.asks_assign; }

void ton_open(ton_editor& te, const tonscal& ts) {
    te.ts = ts;
    te.mode = 0;
    te.shownext = 0;
    std::memcpy(te.resetcopy, ts.rovtones, sizeof te.resetcopy);
    te.view = ton_view{};
    te.view.caption = ton_caption(ts.algo, ts.ttonr);
    te.view.modename = ton_modename(0);
    show_all(te);
}

void ton_scroll(ton_editor& te, int i, rov_scrollcode code, int pos) {
    // The end of a scroll action is no step: the text of the step stays.
    if (i < 0 || i >= 16 || code == rov_sc_other) return;
    const int16_t* notes = te.ts.tnotes;
    const int old = te.ts.rovtones[i];
    int v = old;
    int note = -1;  // the note a page step of mode 0 reached
    switch (code) {
    case rov_sc_lineup: v -= 1; break;
    case rov_sc_linedown: v += 1; break;
    case rov_sc_thumbpos:
    case rov_sc_thumbtrack: v = pos; break;
    case rov_sc_pageup:
        if (te.mode != 0) {
            v -= page_of(te.mode);
        } else {
            // The note below v: the last one under v - 1 ... or, at or
            // below the lowest note, where there is none, one step down.
            const int w = v - 1;
            int j = 1;
            while (j < last_note + 1 && notes[j] < w) ++j;
            if (notes[j - 1] < old) {
                v = notes[j - 1];
                note = j - 1;
            } else {
                v = w;
            }
        }
        break;
    case rov_sc_pagedown:
        if (te.mode != 0) {
            v += page_of(te.mode);
        } else {
            const int w = v + 1;
            int j = 0;
            while (j < last_note && notes[j] < w) ++j;
            v = notes[j];
            note = j;
        }
        break;
    default: return;
    }
    v = clamp(v);
    te.ts.rovtones[i] = static_cast<int16_t>(v);
    te.view.pos[i] = static_cast<int16_t>(v);
    if (note >= 0)
        status_note(te, i, note);
    else
        status_value(te, i, v);
}

void ton_reset(ton_editor& te) { put_all(te, te.resetcopy); }

void ton_init(ton_editor& te) { put_all(te, tonini[te.mode]); }

void ton_show(ton_editor& te) {
    const int k = te.shownext;
    const int v = te.ts.rovtones[k];
    int j = 0;
    while (j < last_note && te.ts.tnotes[j] < v) ++j;
    if (te.mode == 0 && te.ts.tnotes[j] == v && j < last_note)
        status_note(te, k, j);
    else
        status_value(te, k, v);
    te.shownext = k == 15 ? 0 : k + 1;
}

void ton_mode(ton_editor& te) {
    te.mode = te.mode + 1 >= ton_nmodes ? 0 : te.mode + 1;
    te.view.modename = ton_modename(te.mode);
}

void ton_store(ton_editor& te) {
    std::memcpy(te.tonsav1[te.mode], te.ts.rovtones, sizeof te.tonsav1[0]);
}

void ton_load(ton_editor& te) { put_all(te, te.tonsav1[te.mode]); }

rov_helpbox ton_help(const ton_editor& te, int x, int y) {
    if (y >= 98 && y <= 113 && x >= 10 && x <= 220) {
        if (x < 58)
            return {"Init",
                    "initialize all pitch values\nto the basic value 262/f1, resp. the\nenvelope, waveform, or "
                    "phase modulation\ntable to a standard setting"};
        if (x < 126) return {"Display", "showing scale number, pitch number,\nand pitch value"};
        if (x < 174) return {"Reset", "Reset to the state before\nthis dialog box was called"};
        return {"Show", "show the pitch values\none after another"};
    }
    if (x >= 205 && y >= 10 && y <= 69) {
        if (y < 32)
            return {"Select scrollbar mode",
                    "select between an exponential\n(e.g. for pitch), an asymmetric linear mode\n(e.g. for "
                    "envelope), or a symmetric linear\nmode (e.g. for waveform or modulation table)"};
        if (y < 54)
            return {"Store",
                    "store the current setting\ninto buffer 1 (Tone), buffer 2 (Env),\nbuffer 3 (Wav), buffer 4 "
                    "(ModT),\nor buffer 5 (LFOWV)"};
        return {"Load",
                "load setting from\nbuffer 1 (Tone), buffer 2 (Env),\nbuffer 3 (Wav), buffer 4 (ModT),\nor buffer 5 "
                "(LFOWV)"};
    }
    const bool even = te.ts.ttonr % 2 == 0;
    const char* t = "edit a user scale";
    switch (rov_row(te.ts.algo).scale.kind) {
    case rov_scalekind::phrase_or_scale:
    case rov_scalekind::phrase_transpose:
        if (even) t = "edit a phrase of 16 tones.\nThe first tone is assumed to be 262/f1";
        break;
    case rov_scalekind::phrase: t = "edit a phrase of 16 tones.\nThe first tone is assumed to be 262/f1"; break;
    case rov_scalekind::phrase_wave:
        t = even ? "edit a phrase or a wave.\nIn the phrase, the first tone is assumed to\nbe 262/f1. The wave is "
                   "either a real half \nwaveform (medium position is 0), or the \nhalf of a waveshaping function"
                 : "edit transpositions or a wave.\nThe wave is either a real half waveform\n(medium position is 0), "
                   "or the half\nof a waveshaping function";
        break;
    case rov_scalekind::chords:
        t = "edit chords and their transpositions:\nSlider 0 to 3 edit the transpositions for\nthe chords f1/8/9 and "
            "f1/12/13, and 4 to 7\nfor the chords f1/10/11 and f1/14/15";
        break;
    case rov_scalekind::intervals:
        t = "edit absolute pitch values (slider 0 to 7)\nand intervals relative to f1/262 (8 to 15)";
        break;
    case rov_scalekind::scale_or_phrase: t = "edit scale or phrase"; break;
    case rov_scalekind::envelope:
        t = "edit scale or envelope:\nslider 0 to 8 form the attack curve,\nslider 8 to 15 the decay curve.";
        break;
    case rov_scalekind::pitch_pairs:
        t = "edit 8 pitch areas specified\nby center pitch (even sliders) and\npitch range (odd sliders)";
        break;
    case rov_scalekind::lfo_waves:
        t = "edit a pair of LFO waveforms.\nThe sliders 0 to 7 correspond to LFO1\nthe sliders 8 to 15 to LFO2";
        break;
    case rov_scalekind::scale:
    case rov_scalekind::unset: break;
    }
    return {"Edit", t};
}

std::string ton_dump(const ton_editor& te) {
    std::string d = "caption=" + te.view.caption + "\n";
    d += "status=" + te.view.status + "\n";
    d += std::string("mode=") + te.view.modename + "\n";
    for (int i = 0; i < 16; ++i) d += "pos" + std::to_string(i) + "=" + std::to_string(te.view.pos[i]) + "\n";
    return d;
}
