// The algorithm rows: for each, its table entry (icon, place, menu command,
// routine, beat kind, argument kind, title), its traits, its menu item,
// naming records, information text and how the pad, the scale editor and the
// visual effects treat it; and the rules that rewrite its parameter sets for
// another playback rate or sample length.
#include "engine/rows.h"

#include "engine/algs.h"
#include "engine/blocks.h"

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

}  // namespace

// The routines, defined in their own sources.
ROV_ALG(ranov);
ROV_ALG(ranov1);
ROV_ALG(ranov2);
ROV_ALG(ranov3);
ROV_ALG(ranov4);
ROV_ALG(ranov5);
ROV_ALG(ranov6);
ROV_ALG(ranov7);
ROV_ALG(ranov8);
ROV_ALG(ranov9);
ROV_ALG(ranov10);
ROV_ALG(ranov11);
ROV_ALG(ranov12);
ROV_ALG(ranov13);
ROV_ALG(ranov14);
ROV_ALG(ranov15);
ROV_ALG(ranov16);
ROV_ALG(ranov17);
ROV_ALG(ranov18);
ROV_ALG(ranov19);

namespace {
using mg = rov_menugroup;
using vk = rov_viskind;
using pl = rov_padloop;
using po = rov_padosc3;
using pm = rov_padmemory;
using sk = rov_scalekind;
}  // namespace

// A row's number is its place here; settings and setup files store it, so
// rows are only ever added at the end.
constexpr rov_rowdesc rov_rows[] = {
    // 0
    {.tab = {"RANOVLAP", 5, 5, 3, ranov, 2, rov_arg_sine, "Experimental with Adjustable Panning"},
     .sample_any = true,
     .rate = r_spread,
     .menu = {mg::experimental, "&Panning"},
     .names = &slots_panning,
     .info = "Random tones overlap: every beat step may start a tone whose pitch comes from a pseudo-random "
         "sequence around the Pitch value, shaped by an attack and a decay envelope and placed in the stereo "
         "field by the Panning parameter.",
     .vis = {vk::scale},
     .pad = {128, true},
     .scale = {sk::scale}},
    // 1
    {.tab = {"RANOVLAP1", 40, 5, 4, ranov1, 2, rov_arg_sine, "Experimental with Dual Oscillator"},
     .rate = r_spread,
     .menu = {mg::experimental, "&Dual Oscillator"},
     .names = &slots_dual,
     .info = "Like the panning algorithm, but every tone sounds from two oscillators whose second one is detuned; "
         "the beating between them gives the sound its movement.",
     .vis = {vk::scale},
     .pad = {128, false},
     .scale = {sk::scale}},
    // 2
    {.tab = {"RANOVLAP2", 75, 5, 5, ranov2, 2, rov_arg_sine, "Experimental, mixing Two Scales with Random Tones"},
     .rate = r_spread,
     .menu = {mg::experimental, "Two &Scales"},
     .names = &slots_twoscales,
     .info = "Two scales are mixed: the tones are taken alternately from the playing scale and from a second scale "
         "buffer, with random tones in between.",
     .vis = {vk::two_scales},
     .pad = {32, true},
     .scale = {sk::scale, true}},
    // 3
    {.tab = {"RANOVLAP3", 110, 5, 6, ranov1, 2, rov_arg_sine, "Minimal Music Machine"},
     .loop_slice = true,
     .rate = r_spread,
     .menu = {mg::experimental, "&Minimal"},
     .names = &slots_minimal,
     .info = "A short pattern is computed slice by slice into the two play buffers and the rest of the buffers is "
         "replayed, so the music repeats with small changes like minimal music.",
     .vis = {vk::scale},
     .pad = {128, false},
     .scale = {sk::scale}},
    // 4
    {.tab = {"RANOVLAP4", 145, 5, 7, ranov3, 2, rov_arg_echo, "Ambient Experimental, with Echo, Fuzzy and Chords"},
     .rate = r_ambient,
     .menu = {mg::experimental, "&Ambient"},
     .names = &slots_ambient,
     .info = "An ambient texture: the previous buffer comes back as an echo under the new tones; chords and a "
         "fuzzy timbre can be switched in.",
     .vis = {vk::scale},
     .pad = {128, true},
     .scale = {sk::scale}},
    // 5
    {.tab = {"RANOVLAP5", 180, 5, 8, ranov4, 2, rov_arg_sine, "Interval Studies, with Noise Option"},
     .menu = {mg::experimental, "&Intervals"},
     .names = &slots_intervals,
     .info = "Interval studies: each new tone keeps an interval from the scale to the one before; the switch adds "
         "noise tones.",
     .vis = {vk::intervals},
     .pad = {32, true},
     .scale = {sk::intervals}},
    // 6
    {.tab = {"SMPOVLAP1", 5, 85, 9, ranov5, 1, rov_arg_sample, "Interval Studies, with Samples"},
     .block = 64,
     .min_sample = 256,
     .resample = s_intervals,
     .menu = {mg::sampling, "&Intervals"},
     .names = &slots_smpintervals,
     .info = "Interval studies played with the recorded or loaded sample instead of an oscillator.",
     .vis = {vk::intervals, true},
     .pad = {32, false, pl::fine_coarse},
     .scale = {sk::intervals}},
    // 7
    {.tab = {"SMPOVLAP2", 40, 85, 10, ranov6, 1, rov_arg_sample, "Sample Player, with Crossfade Loops"},
     .block = 64,
     .min_sample = 288,
     .rate = r_spread,
     .resample = s_crossfade,
     .menu = {mg::sampling, "Cross&fade"},
     .names = &slots_crossfade,
     .info = "The sample is played in loops that cross-fade into each other.",
     .vis = {vk::scale, true},
     .pad = {32, false, pl::fine_coarse},
     .scale = {sk::scale}},
    // 8
    {.tab = {"SMPOVLAP3", 75, 85, 11, ranov7, 1, rov_arg_sample, "Sample Player with Static Loops"},
     .block = 64,
     .min_sample = 256,
     .rate = r_spread,
     .resample = s_static,
     .menu = {mg::sampling, "&Static"},
     .names = &slots_staticloops,
     .info = "The sample is played in fixed loops.",
     .vis = {vk::scale, true},
     .pad = {32, false, pl::sixteenths},
     .scale = {sk::scale}},
    // 9
    {.tab = {"PHROVLAP1", 110, 85, 12, ranov8, 2, rov_arg_sine, "Fantasy - composing around a given phrase"},
     .menu = {mg::phrase, "&Fantasy"},
     .names = &slots_fantasy,
     .info = "Fantasy: a phrase taken from a scale buffer is played, varied and extended around its notes.",
     .vis = {vk::phrase},
     .pad = {128, false},
     .plays_phrase = true,
     .scale = {sk::phrase_or_scale}},
    // 10
    {.tab = {"PHROVLAP2", 145, 85, 13, ranov9, 2, rov_arg_sine, "Session with two channels and two fixed phrases"},
     .two_channels = true,
     .menu = {mg::phrase, "&Session"},
     .names = &slots_session,
     .names2 = &slots_session_odd,
     .info = "A session of two channels, each with its own parameter set and fixed phrase.",
     .vis = {vk::two_phrases},
     .pad = {128, false},
     .plays_phrase = true,
     .scale = {sk::scale_or_phrase, true}},
    // 11
    {.tab = {"PHROVLAP3", 180, 85, 14, ranov10, 2, rov_arg_sine, "Jazzy Playing, changing a phrase automatically"},
     .menu = {mg::phrase, "&Jazzy"},
     .names = &slots_jazzy,
     .info = "Jazzy playing: the phrase changes automatically while it is played.",
     .vis = {vk::phrase},
     .pad = {128, false},
     .scale = {sk::scale}},
    // Stumbling chords stretch the control block by a varying amount.
    // 12
    {.tab = {"RANOVLAP6", 215, 5, 15, ranov11, 2, rov_arg_sine, "Stumbling Chords / Triple Oscillator alternatively"},
     .block = 0,
     .menu = {mg::experimental, "Ch&ords"},
     .names = &slots_chords,
     .info = "Stumbling chords, or a triple oscillator when the switch is set.",
     .vis = {vk::intervals},
     .pad = {128, true},
     .scale = {sk::chords}},
    // 13
    {.tab = {"ENVOVLAP1", 250, 5, 18, ranov12, 2, rov_arg_sine, "Experimental - with Complex Envelopes"},
     .rate = r_envelope,
     .menu = {mg::v3, "&Envelope"},
     .names = &slots_envelope,
     .info = "Tones with complex envelopes of several stages.",
     .vis = {vk::scale},
     .pad = {128, false, pl::none, po::envelope},
     .scale = {sk::envelope, true}},
    // 14
    {.tab = {"MULRANGE", 285, 5, 19, ranov13, 2, rov_arg_sine, "Multiple Pitch Range - with Glissando"},
     .rate = r_ranges,
     .menu = {mg::v3, "&PitchRanges"},
     .names = &slots_ranges,
     .info = "Several pitch ranges at once, with glissando between them.",
     .vis = {vk::pitch_pairs},
     .pad = {128, false, pl::none, po::glissando, pm::raster},
     .scale = {sk::pitch_pairs}},
    // 15
    {.tab = {"SMPOVLAP4", 215, 85, 20, ranov14, 1, rov_arg_sample, "Sample Player, around a given phrase"},
     .block = 64,
     .min_sample = 128,
     .resample = s_phrase,
     .menu = {mg::v3, "&Sample Phrase"},
     .names = &slots_samphrase,
     .info = "A phrase played with the sample.",
     .vis = {vk::phrase, true},
     .pad = {32, false, pl::table, po::detuned, pm::detune},
     .plays_phrase = true,
     .scale = {sk::phrase_transpose}},
    // 16
    {.tab = {"CHORDLAP0", 250, 85, 21, ranov15, 2, rov_arg_notes, "Cluster - with scaled envelopes"},
     .rate = r_cluster,
     .menu = {mg::v3, "Cl&uster Chords"},
     .names = &slots_cluster,
     .info = "Cluster chords whose envelopes are scaled by the pitch.",
     .vis = {vk::cluster},
     .pad = {128, false},
     .scale = {sk::scale}},
    // 17
    {.tab = {"OSTINAT0", 285, 85, 22, ranov16, 2, rov_arg_sine, "Ostinato phrase"},
     .phrase = rov_phrasefrom::playing_scale,
     .menu = {mg::v3, "&Ostinato "},
     .names = &slots_ostinato,
     .info = "An ostinato phrase repeated from the playing scale.",
     .vis = {vk::phrase},
     .pad = {128, false, pl::none, po::phase_mod},
     .plays_phrase = true,
     .scale = {sk::phrase}},
    // 18
    {.tab = {"OSTIWAV0", 320, 5, 23, ranov17, 2, rov_arg_sine, "Ostinato and Complex Waveforms"},
     .timbre_names = true,
     .rate = r_waveforms,
     .menu = {mg::v4, "&Waveforms"},
     .names = &slots_waveforms,
     .names2 = &slots_waveforms_tv,
     .info = "An ostinato with complex waveforms.",
     .vis = {vk::phrase},
     .pad = {128, false, pl::none, po::vibrato, pm::wave},
     .plays_phrase = true,
     .scale = {sk::phrase_wave, true}},
    // 19
    {.tab = {"RLFO1", 355, 5, 24, ranov18, 2, rov_arg_sine, "Random Pitch with Slow Controls"},
     .timbre_names = true,
     .rate = r_lfo,
     .menu = {mg::v4, "&LFO"},
     .names = &slots_lfo,
     .names2 = &slots_lfo_tv,
     .info = "Random pitch driven by slow random controls (LFOs).",
     .vis = {vk::random_pitch},
     .pad = {128, false},
     .scale = {sk::lfo_waves}},
    // 20
    {.tab = {"MULOOP", 320, 85, 25, ranov19, 1, rov_arg_sample, "Multiple Sample Loop Algorithm"},
     .block = 64,
     .min_sample = 1024,
     .rate = r_multiloop,
     .resample = s_multiloop,
     .menu = {mg::v4, "&MultiLoop"},
     .names = &slots_multiloop,
     .info = "Several loops of the sample played together; the loop lengths come from a table.",
     .vis = {vk::none},
     .pad = {32, false, pl::scale_pairs, po::detuned, pm::zero},
     .scale = {sk::scale, true}},
    // 21
    {.tab = {"WVMULPL", 250, 45, 17, nullptr, 0, rov_arg_sine, "Quad Track Player"},
     .block = 0,
     .multiple = true,
     .menu = {mg::top, "&Multiple"},
     .names = &slots_blank,
     .info = "Multiple play: the foreground setting and the three setting banks as four tracks, mixed.",
     .vis = {vk::none},
     .pad = {128, false},
     .scale = {sk::scale}},
    // 22
    {.tab = {"", 999, 999, 0, nullptr, 0, rov_arg_sine, ""},
     .block = 0,
     .empty = true,
     .menu = {mg::none, nullptr},
     .names = &slots_blank,
     .info = "The empty algorithm: nothing new is computed; the last two buffers are played again, fading by the "
         "Chg.Dly value. It is what plays after a Rotate emergency.",
     .vis = {vk::none},
     .pad = {128, false},
     .scale = {sk::scale}},
};

constexpr int rov_nrows = sizeof rov_rows / sizeof rov_rows[0];
const int rov_natab = rov_nrows;

namespace {

constexpr bool text(const char* t) { return t && t[0]; }

// A row is complete: nothing the menus, the editor, the pad, the scale
// editor, the visual effects or the information pages read is missing.
constexpr bool complete(const rov_rowdesc& d) {
    const bool special = d.multiple || d.empty;
    if (!special && (!d.tab.alg || !text(d.tab.icon) || !text(d.tab.title) || d.tab.mitem <= 0 || d.tab.beat == 0))
        return false;
    if (d.multiple && (!text(d.tab.icon) || d.tab.mitem <= 0)) return false;
    if (d.menu.group == mg::unset || (d.menu.group == mg::none) != (d.tab.mitem == 0)) return false;
    if (d.menu.group != mg::none && !text(d.menu.text)) return false;
    if (!d.names || ((d.two_channels || d.timbre_names) && !d.names2)) return false;
    if (!text(d.info) || d.vis.kind == vk::unset || d.scale.kind == sk::unset) return false;
    if (d.pad.stages != 32 && d.pad.stages != 128) return false;
    // A sampling row says how the pad loops its sample, and only a sampling row does.
    if ((d.tab.algtyp == rov_arg_sample) != (d.pad.loop != pl::none)) return false;
    if ((d.tab.algtyp == rov_arg_sample) != (d.block == 64)) return false;
    return true;
}

constexpr bool all_complete() {
    int multiple = 0, empty = 0;
    for (const rov_rowdesc& d : rov_rows) {
        if (!complete(d)) return false;
        multiple += d.multiple;
        empty += d.empty;
    }
    // Menu commands and icon places are each one row's.
    for (int i = 0; i < rov_nrows; ++i)
        for (int j = i + 1; j < rov_nrows; ++j) {
            const rov_algtab &a = rov_rows[i].tab, &b = rov_rows[j].tab;
            if (a.mitem != 0 && a.mitem == b.mitem) return false;
            if (a.ixpos == b.ixpos && a.iypos == b.iypos) return false;
        }
    return multiple == 1 && empty == 1;
}

static_assert(all_complete(), "a row of the table lacks part of its description");

}  // namespace

namespace {
constexpr int row_with(bool rov_rowdesc::*trait) {
    for (int i = 0; i < rov_nrows; ++i)
        if (rov_rows[i].*trait) return i;
    return -1;
}
constexpr int empty_row = row_with(&rov_rowdesc::empty);
constexpr int multiple_row = row_with(&rov_rowdesc::multiple);
}  // namespace

int rov_row_empty() { return empty_row; }
int rov_row_multiple() { return multiple_row; }

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

void ranovpd(rov_setting& ros, int setnr, int algo, bool half) {
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
    const int beat = d.tab.beat;
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
    for (const rov_setrule* r = d.rate; r && *r; ++r) (*r)(p, half);
}

void ranovps(rov_setting& ros, int algo, bool half) {
    if (algo < 0 || algo >= rov_natab || rov_rows[algo].tab.algtyp != rov_arg_sample) return;
    const rov_rowdesc& d = rov_rows[algo];
    // After Expand a loop needs twice the increment, after Compress half.
    for (int n = 0; n < rov_nsets; ++n) {
        int16_t* p = &ros.rov_p[16 * n];
        scale_slot(p, rov_par::Pitch, !half);
        for (const rov_setrule* r = d.resample; r && *r; ++r) (*r)(p, half);
    }
}
