// The algorithm rows: for each, its table entry (icon, place, menu item,
// routine, beat kind, argument kind, title) and its traits, and the rules
// that rewrite its parameter sets for another playback rate or sample length.
#include "engine/rows.h"

#include "engine/algs.h"
#include "engine/blocks.h"
#include "engine/slots.h"

const int16_t logtab[13] = {262, 277, 294, 311, 330, 349, 370, 392, 415, 440, 466, 494, 524};

namespace {

// Halving truncates toward zero; doubling is a 16-bit shift left by one.
int16_t halve(int v) { return rov_s16(v / 2); }
int16_t dbl(int v) { return rov_s16(static_cast<int64_t>(static_cast<uint16_t>(v)) << 1); }

// A pitch-like value is a phase step per frame (or per sample position): half
// the rate, or twice the sample, needs twice the step.
void scale_slot(int16_t* p, int slot, bool half) { p[slot] = half ? dbl(p[slot]) : halve(p[slot]); }

// --- rate rewrites beyond Pitch and Beat ------------------------------------

void rate_spread(int16_t* p, bool half) { scale_slot(p, par_panning::PitSpread, half); }

void rate_echo(int16_t* p, bool half) {
    int16_t& e = p[par_ambient::Echo];
    if (half)
        e = halve(e);
    else if (e <= 64)
        e = dbl(e);
}

// Honky: a piecewise scale.
void rate_honky(int16_t* p, bool half) {
    int16_t& v = p[par_envelope::Honky];
    const int h = v;
    if (half)
        v = rov_s16(h <= 32 ? h * 2 : h <= 64 ? h / 4 + 56 : h * 2 - 56);
    else
        v = rov_s16(h <= 64 ? h / 2 : h <= 72 ? h * 4 - 224 : h / 2 + 28);
}

// PitRaster: a piecewise scale.
void rate_raster(int16_t* p, bool half) {
    int16_t& v = p[par_ranges::PitRaster];
    const int r = v;
    if (half)
        v = rov_s16(r <= 64 ? r * 2 : r <= 128 ? r / 2 + 96 : r * 2 - 96);
    else
        v = rov_s16(r <= 128 ? r / 2 : r <= 160 ? r * 2 - 192 : r / 2 + 48);
}

// The tone length (Voices) against EnvScaling e: one note of the octave
// table per five steps away from the middle.
void rate_envscaling(int16_t* p, bool half) {
    const int e = p[par_cluster::EnvScaling];
    const int64_t v = p[rov_par::Voices];
    int64_t r = v;
    if (e < 60) {
        const int k = (64 - e) / 5 < 12 ? (64 - e) / 5 : 12;
        r = half ? rov_s32(v * 262) / logtab[k] : rov_s32(v * logtab[k]) / 262;
    } else if (e > 68) {
        const int k = (e - 64) / 5 < 12 ? (e - 64) / 5 : 12;
        r = half ? rov_s32(v * logtab[k]) / 262 : rov_s32(v * 262) / logtab[k];
    }
    p[rov_par::Voices] = rov_s16(r > 1024 ? 1024 : r);
}

// Vibrato / WaveSweep: the low four bits are a speed.
void rate_vibrato(int16_t* p, bool half) {
    int16_t& v = p[par_ostinato::Vibrato];
    int n = v & 15;
    if (half)
        n = n < 8 ? 2 * n : 15;
    else
        n = (n + 1) / 2;
    v = rov_s16((v / 16) * 16 + n);
}

void rate_lfo2beat(int16_t* p, bool half) {
    int16_t& v = p[par_lfo::LFO2Beat];
    v = half ? rov_s16((v + 1) / 2) : rov_s16(v < 64 ? 2 * v : 128);
}

void rate_loopchng(int16_t* p, bool half) {
    int16_t& v = p[par_multiloop::LoopChng];
    if (!half)
        v = halve(v);
    else if (v <= 128)
        v = dbl(v);
}

// --- sample-length rewrites beyond Pitch ---------------------------------------

// `half`: the sample was compressed; a loop then needs half the increment.
void smp_spread(int16_t* p, bool half) { scale_slot(p, par_sampling::PitSpread, !half); }
void smp_drift(int16_t* p, bool half) { scale_slot(p, par_sampling::LoopDrift, !half); }
void smp_phrase_loop(int16_t* p, bool half) {
    scale_slot(p, par_samphrase::LoopDrift, !half);
    int16_t& l = p[par_samphrase::LoopLength];
    if (!half && l >= 115)
        l = rov_s16(l - 3);
    else if (half && l >= 112 && l <= 125)
        l = rov_s16(l + 3);
}

constexpr rov_setrule r_none[] = {nullptr};
constexpr rov_setrule r_spread[] = {rate_spread, nullptr};
constexpr rov_setrule r_ambient[] = {rate_spread, rate_echo, nullptr};
constexpr rov_setrule r_envelope[] = {rate_spread, rate_honky, nullptr};
constexpr rov_setrule r_ranges[] = {rate_spread, rate_raster, nullptr};
constexpr rov_setrule r_cluster[] = {rate_envscaling, nullptr};
constexpr rov_setrule r_waveforms[] = {rate_vibrato, nullptr};
constexpr rov_setrule r_lfo[] = {rate_spread, rate_lfo2beat, nullptr};
constexpr rov_setrule r_multiloop[] = {rate_spread, rate_loopchng, nullptr};

constexpr rov_setrule s_intervals[] = {smp_drift, nullptr};
constexpr rov_setrule s_crossfade[] = {smp_spread, smp_drift, nullptr};
constexpr rov_setrule s_static[] = {smp_spread, nullptr};
constexpr rov_setrule s_phrase[] = {smp_phrase_loop, nullptr};
constexpr rov_setrule s_multiloop[] = {smp_spread, nullptr};

using ph = rov_phrasefrom;

// A tone row: 256-frame blocks, no sample.
constexpr rov_rowdesc tone(rov_algtab t, const rov_setrule* rate) {
    return {t, 256, false, false, false, 0, ph::even_scale, false, false, false, rate, r_none};
}
// A sampling row: 64-frame blocks, its shortest sample.
constexpr rov_rowdesc sampling(rov_algtab t, int32_t min, const rov_setrule* rate,
                               const rov_setrule* resample) {
    return {t, 64, false, false, false, min, ph::even_scale, false, false, false, rate, resample};
}

constexpr rov_rowdesc with(rov_rowdesc d, auto rov_rowdesc::*field, auto value) {
    d.*field = value;
    return d;
}

}  // namespace

constexpr rov_rowdesc rov_rows[rov_natab] = {
    with(tone({"RANOVLAP", 5, 5, 3, ranov, 2, rov_arg_sine, "Experimental with Adjustable Panning"}, r_spread),
         &rov_rowdesc::sample_any, true),
    tone({"RANOVLAP1", 40, 5, 4, ranov1, 2, rov_arg_sine, "Experimental with Dual Oscillator"}, r_spread),
    tone({"RANOVLAP2", 75, 5, 5, ranov2, 2, rov_arg_sine, "Experimental, mixing Two Scales with Random Tones"},
         r_spread),
    with(tone({"RANOVLAP3", 110, 5, 6, ranov1, 2, rov_arg_sine, "Minimal Music Machine"}, r_spread),
         &rov_rowdesc::loop_slice, true),
    tone({"RANOVLAP4", 145, 5, 7, ranov3, 2, rov_arg_echo, "Ambient Experimental, with Echo, Fuzzy and Chords"},
         r_ambient),
    tone({"RANOVLAP5", 180, 5, 8, ranov4, 2, rov_arg_sine, "Interval Studies, with Noise Option"}, r_none),
    sampling({"SMPOVLAP1", 5, 85, 9, ranov5, 1, rov_arg_sample, "Interval Studies, with Samples"}, 256, r_none,
             s_intervals),
    sampling({"SMPOVLAP2", 40, 85, 10, ranov6, 1, rov_arg_sample, "Sample Player, with Crossfade Loops"}, 288,
             r_spread, s_crossfade),
    sampling({"SMPOVLAP3", 75, 85, 11, ranov7, 1, rov_arg_sample, "Sample Player with Static Loops"}, 256,
             r_spread, s_static),
    tone({"PHROVLAP1", 110, 85, 12, ranov8, 2, rov_arg_sine, "Fantasy - composing around a given phrase"}, r_none),
    with(tone({"PHROVLAP2", 145, 85, 13, ranov9, 2, rov_arg_sine, "Session with two channels and two fixed phrases"},
              r_none),
         &rov_rowdesc::two_channels, true),
    tone({"PHROVLAP3", 180, 85, 14, ranov10, 2, rov_arg_sine, "Jazzy Playing, changing a phrase automatically"},
         r_none),
    // Stumbling chords stretch the control block by a varying amount.
    with(tone({"RANOVLAP6", 215, 5, 15, ranov11, 2, rov_arg_sine, "Stumbling Chords / Triple Oscillator alternatively"},
              r_none),
         &rov_rowdesc::block, 0),
    tone({"ENVOVLAP1", 250, 5, 18, ranov12, 2, rov_arg_sine, "Experimental - with Complex Envelopes"}, r_envelope),
    tone({"MULRANGE", 285, 5, 19, ranov13, 2, rov_arg_sine, "Multiple Pitch Range - with Glissando"}, r_ranges),
    sampling({"SMPOVLAP4", 215, 85, 20, ranov14, 1, rov_arg_sample, "Sample Player, around a given phrase"}, 128,
             r_none, s_phrase),
    tone({"CHORDLAP0", 250, 85, 21, ranov15, 2, rov_arg_notes, "Cluster - with scaled envelopes"}, r_cluster),
    with(tone({"OSTINAT0", 285, 85, 22, ranov16, 2, rov_arg_sine, "Ostinato phrase"}, r_none), &rov_rowdesc::phrase,
         ph::playing_scale),
    with(tone({"OSTIWAV0", 320, 5, 23, ranov17, 2, rov_arg_sine, "Ostinato and Complex Waveforms"}, r_waveforms),
         &rov_rowdesc::timbre_names, true),
    with(tone({"RLFO1", 355, 5, 24, ranov18, 2, rov_arg_sine, "Random Pitch with Slow Controls"}, r_lfo),
         &rov_rowdesc::timbre_names, true),
    sampling({"MULOOP", 320, 85, 25, ranov19, 1, rov_arg_sample, "Multiple Sample Loop Algorithm"}, 1024,
             r_multiloop, s_multiloop),
    with(with(tone({"WVMULPL", 250, 45, 17, nullptr, 0, rov_arg_sine, "Quad Track Player"}, r_none),
              &rov_rowdesc::block, 0),
         &rov_rowdesc::multiple, true),
    with(with(tone({"", 999, 999, 0, nullptr, 0, rov_arg_sine, ""}, r_none), &rov_rowdesc::block, 0),
         &rov_rowdesc::empty, true),
};

// The table part of every description, in row order.
const rov_algtab atab[rov_natab] = {
    rov_rows[0].tab,  rov_rows[1].tab,  rov_rows[2].tab,  rov_rows[3].tab,  rov_rows[4].tab,  rov_rows[5].tab,
    rov_rows[6].tab,  rov_rows[7].tab,  rov_rows[8].tab,  rov_rows[9].tab,  rov_rows[10].tab, rov_rows[11].tab,
    rov_rows[12].tab, rov_rows[13].tab, rov_rows[14].tab, rov_rows[15].tab, rov_rows[16].tab, rov_rows[17].tab,
    rov_rows[18].tab, rov_rows[19].tab, rov_rows[20].tab, rov_rows[21].tab, rov_rows[22].tab,
};

int rov_row_empty() {
    static const int r = [] {
        for (int i = 0; i < rov_natab; ++i)
            if (rov_rows[i].empty) return i;
        return rov_natab - 1;
    }();
    return r;
}

int rov_row_multiple() {
    static const int r = [] {
        for (int i = 0; i < rov_natab; ++i)
            if (rov_rows[i].multiple) return i;
        return -1;
    }();
    return r;
}

const rov_rowdesc& rov_row(int row) {
    return row >= 0 && row < rov_natab ? rov_rows[row] : rov_rows[rov_row_empty()];
}

bool rov_row_computed(int row) { return rov_row(row).tab.alg != nullptr; }

bool rov_row_available(int row, bool mix_ready) {
    const rov_rowdesc& d = rov_row(row);
    return d.tab.alg != nullptr || d.empty || (d.multiple && mix_ready);
}

int rov_row_glideset(int row, int setnr) { return rov_row(row).two_channels ? (setnr & ~1) : setnr; }

int rov_row_phrasescale(int row, int tonr) {
    return rov_row(row).phrase == rov_phrasefrom::playing_scale ? tonr : (tonr & ~1);
}

void ranovpd(rov_setting& ros, int setnr, const rov_algtab* algt, int algo, bool half) {
    if (setnr < 0 || setnr > 9 || algo < 0 || algo >= rov_natab) return;
    const rov_rowdesc& d = rov_rows[algo];
    if (d.multiple || d.empty) return;
    int16_t* p = &ros.rov_p[16 * setnr];
    int16_t* q = &ros.rov_p[16 * (setnr ^ 1)];  // partner set of a two-channel pair

    // Rate: one octave is 12 steps of the rate table.
    int16_t& rate = p[rov_par::Rate];
    if (half) {
        if (rate < 12) return;
        rate = rov_s16(rate - 12);
    } else {
        if (rate > 36) return;
        rate = rov_s16(rate + 12);
    }

    // Control blocks are a fixed number of frames, so their count per beat
    // step halves or doubles.
    const int beat = algt[algo].beat;
    auto rescale_beat = [&](int16_t& b) {
        if (beat == 1)
            b = half ? rov_s16((b - 2) / 2) : rov_s16(2 * b + 3);
        else if (beat == 2)
            b = half ? halve(b) : rov_s16(2 * b + 1);
    };
    scale_slot(p, rov_par::Pitch, half);
    rescale_beat(p[rov_par::Beat]);
    if (d.two_channels) {
        scale_slot(q, rov_par::Pitch, half);
        rescale_beat(q[rov_par::Beat]);
    }
    for (const rov_setrule* r = d.rate; *r; ++r) (*r)(p, half);
}

void ranovps(rov_setting& ros, const rov_algtab* algt, int algo, bool half) {
    if (algo < 0 || algo >= rov_natab || algt[algo].algtyp != rov_arg_sample) return;
    const rov_rowdesc& d = rov_rows[algo];
    // After Expand a loop needs twice the increment, after Compress half.
    for (int n = 0; n < rov_nsets; ++n) {
        int16_t* p = &ros.rov_p[16 * n];
        scale_slot(p, rov_par::Pitch, !half);
        for (const rov_setrule* r = d.resample; *r; ++r) (*r)(p, half);
    }
}
