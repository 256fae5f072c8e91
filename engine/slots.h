// Names of the sixteen parameter slots of a set. Slots 0..2 and 9..15 mean
// the same in every routine; slots 3..8 (and 12 in the sampling routines,
// 9..10 in the slow-controls routine) are the routine family's own, except
// that the shared sequence step reads slot 6 as the density multiplier
// (rov_par::DensMult) whatever the family calls it. Code says
// `rov_par::Beat` or `par_ambient::Echo`, never a bare slot number.
//
// Each name is an index into one set (rov_p[16 * setnr + slot]) and into the
// gliding copy rov_currp for slots 0..12.
//
// Beside each family's slot names stands its naming record (slots.cpp): the
// editor's caption, the name and help text of every slot and of the switch,
// the numbered buttons' help, and the slots' ranges, page steps and display.
// The rows table names the records; a record missing a text or a range
// fails the build (rov_family_complete). A new routine may keep its slot
// names and record in its own source instead, and check it there.
#pragma once

#include <cstdint>

constexpr int rov_slotcount = 16;

// How a slot's value is shown beside its scroll bar.
enum rov_slotshow : int16_t {
    rov_show_number = 0,  // the value, or value / disdiv (see rov_valtext)
    rov_show_volume = 1,  // percent of full volume: 255 is silent, 0 loudest
    rov_show_rate = 2,    // the playback rate in Hz of the rate index
};

// Range, page step and display of one slot.
struct rov_slotrange {
    int16_t physmin;   // lowest value
    int16_t physmax;   // highest value (slot 0: see rov_slotmax)
    int16_t largeinc;  // page step of the scroll bar
    int16_t disdiv;    // display divisor
    rov_slotshow invert;  // display kind
};

// Ranges of the sixteen slots: lowest, highest, page step, display divisor,
// display kind. Every family so far shares them.
inline constexpr rov_slotrange rov_slot_std[rov_slotcount] = {
    {0, 256, 16, 16, rov_show_number},  {0, 256, 16, 256, rov_show_number}, {0, 1024, 32, 1, rov_show_number},
    {0, 256, 16, 1, rov_show_number},   {0, 256, 16, 256, rov_show_number}, {0, 128, 16, 128, rov_show_number},
    {0, 128, 16, 1, rov_show_number},   {0, 128, 16, 1, rov_show_number},   {0, 64, 8, 1, rov_show_number},
    {0, 128, 16, 128, rov_show_number}, {0, 128, 16, 1, rov_show_number},   {0, 256, 16, 1, rov_show_number},
    {0, 256, 16, 256, rov_show_number}, {0, 50, 12, 1, rov_show_rate},      {0, 255, 16, 1, rov_show_volume},
    {0, 128, 16, 1, rov_show_number},
};
inline constexpr const rov_slotrange* rov_slotranges = rov_slot_std;

// The upper bound of slot `slot` in `range` for the voice maximum `maxv`:
// Voices (slot 0) reaches 16 * maxv, at most 1024, where that is above its
// declared bound.
inline int rov_slotmax(const rov_slotrange* range, int slot, int maxv) {
    const int declared = range[slot].physmax;
    if (slot != 0) return declared;
    const int bound = 16 * maxv > 1024 ? 1024 : 16 * maxv;
    return bound > declared ? bound : declared;
}

// The naming record of a routine family. A slot or switch text is two
// strings back to back: the name (label, popup caption, check-box caption),
// its NUL, then the help text.
struct rov_family {
    const char* rName;      // title (the editor window's caption)
    const char* rPar[rov_slotcount];  // slot texts 0..15
    const char* rSwi;       // switch text
    const char* rNumAssg;   // numbered buttons' help while assigning scale buffers
    const char* rNumChg;    // numbered buttons' help while viewing/editing scale buffers
    const rov_slotrange* range;  // slots 0..15
};

// A name, its NUL and a help text, both there.
constexpr bool rov_slottext_ok(const char* t) {
    if (!t || !t[0]) return false;
    while (*t) ++t;
    return t[1] != '\0';
}

// Every slot, the switch and both button helps carry a name and a help text,
// and every range is a range. A family's record is checked where it is
// defined: static_assert(rov_family_complete(slots_...)).
constexpr bool rov_family_complete(const rov_family& f) {
    if (!f.rName || !f.rName[0] || !rov_slottext_ok(f.rSwi) || !f.rNumAssg || !f.rNumAssg[0] || !f.rNumChg ||
        !f.rNumChg[0] || !f.range)
        return false;
    for (int s = 0; s < rov_slotcount; ++s)
        if (!rov_slottext_ok(f.rPar[s]) || f.range[s].physmin >= f.range[s].physmax || f.range[s].largeinc < 1 ||
            f.range[s].disdiv < 1)
            return false;
    return true;
}

// The record of rows without slots of their own (Multiple play, the empty
// algorithm): blank names, Rate and Volume.
extern const rov_family slots_blank;

// Slots every routine shares.
namespace rov_par {
enum : int {
    Voices = 0,     // tone length in sixteenths of a beat period: overlapping voices
    Envelope = 1,   // attack share of 256
    Pitch = 2,      // basic pitch
    DensMult = 6,   // multiplier of the density sequence: DensMode, PhrLenMod, StumMode
    Accents = 9,    // probability of an accent, in 1/128
    AccMode = 10,   // multiplier of the dynamic sequence
    Beat = 11,      // control blocks per beat step (minus the routine's offset)
    Waveform = 12,  // pulse width / triangle peak, times 256
    Rate = 13,      // playback rate, index into pbrates
    Volume = 14,    // device volume, 0 loudest .. 255 silent
    ChgDly = 15,    // beat steps between glide steps; 0 at once
};
}  // namespace rov_par

// Random tones with adjustable panning.
namespace par_panning {
enum : int { PitSpread = 3, Tonality = 4, Density = 5, DensMode = 6, Panning = 7, PanVar = 8 };
}
extern const rov_family slots_panning;

// Dual oscillator, and the loop algorithm that shares its routine.
namespace par_dual {
enum : int { PitSpread = 3, Tonality = 4, Density = 5, DensMode = 6, Detune = 7, Filter = 8 };
}
extern const rov_family slots_dual;
extern const rov_family slots_minimal;  // the loop algorithm

// Two scales mixed with random tones.
namespace par_twoscales {
enum : int { PitSpread = 3, Tonality = 4, Density = 5, DensMode = 6, Tonality2 = 7, Select = 8 };
}
extern const rov_family slots_twoscales;

// Ambient: echo, fuzz and chords.
namespace par_ambient {
enum : int { PitSpread = 3, Tonality = 4, Echo = 5, EchoFB = 6, Fuzz = 7, FuzzEnv = 8 };
}
extern const rov_family slots_ambient;

// Interval studies with noise.
namespace par_intervals {
enum : int { PitRange = 3, Intervals = 4, Density = 5, DensMode = 6, Noise = 7, NoiseType = 8 };
}
extern const rov_family slots_intervals;

// The phrase routines (fantasy, session, jazzy, and the ostinato family).
namespace par_phrase {
enum : int {
    PitRange = 3,
    Phrase = 4,       // probability of phrase play
    PhraseLen = 5,
    PhrLenMod = 6,
    Detune = 7,       // fantasy, jazzy, ostinato
    Phrase2 = 7,      // session: balance main / alternative phrase
    DetEnv = 8,       // fantasy
    Select = 8,       // session: the alternative phrase
    PhrCreate = 8,    // jazzy
};
}
extern const rov_family slots_fantasy;
extern const rov_family slots_session;
extern const rov_family slots_session_odd;  // odd sets
extern const rov_family slots_jazzy;
extern const rov_family slots_ostinato;

// Stumbling chords / triple oscillator.
namespace par_chords {
enum : int { Hold = 3, Chords = 4, Stumble = 5, StumMode = 6, Detune = 7, Detune2 = 8 };
}
extern const rov_family slots_chords;

// The sampling routines.
namespace par_sampling {
enum : int {
    PitRange = 3,     // intervals
    PitSpread = 3,    // crossfade, static
    Intervals = 4,    // intervals
    Tonality = 4,     // crossfade, static
    LoopDrift = 5,    // intervals, crossfade
    Density = 5,      // static
    LoopSkip = 6,
    LoopLength = 7,
    LoopCoarse = 8,
    Position = 12,    // loop start position (takes the Waveform slot)
};
}
extern const rov_family slots_smpintervals;
extern const rov_family slots_crossfade;
extern const rov_family slots_staticloops;


// Complex envelopes.
namespace par_envelope {
enum : int { PitSpread = 3, Tonality = 4, Density = 5, DensMode = 6, Honky = 7, EnvSelect = 8 };
}
extern const rov_family slots_envelope;

// Multiple pitch ranges with glissando.
namespace par_ranges {
enum : int { PitSpread = 3, PitRaster = 4, Density = 5, DensMode = 6, Gliss1 = 7, Gliss2 = 8 };
}
extern const rov_family slots_ranges;

// Cluster chords.
namespace par_cluster {
enum : int { PitSpread = 3, Tonality = 4, ScaleSize = 5, ScaleDistr = 6, EnvScaling = 7, Clustering = 8 };
}
extern const rov_family slots_cluster;

// Ostinato and complex waveforms (the rest of the ostinato family is par_phrase).
namespace par_ostinato {
enum : int { PhaseMod = 8, WaveSel = 6, Vibrato = 8, WaveSweep = 8 };
}
extern const rov_family slots_waveforms;
extern const rov_family slots_waveforms_tv;  // under Timbre Variation

// Random pitch with slow controls.
namespace par_lfo {
enum : int {
    PitSpread = 3,
    LFO1speed = 4,
    LFO1Voice = 5,
    LFO1Wave = 6,
    LFO2speed = 7,
    LFO2Env = 8,
    LFO1Pitch = 8,   // with Timbre Variation
    LFO2Beat = 9,
    LFO2Spread = 10,
};
}
extern const rov_family slots_lfo;
extern const rov_family slots_lfo_tv;  // under Timbre Variation

// Multiple sample loops.
namespace par_multiloop {
enum : int { PitSpread = 3, Tonality = 4, Density = 5, DensMode = 6, Crossfade = 7, LoopSel = 8, LoopChng = 12 };
}
extern const rov_family slots_multiloop;

// Sample player around a given phrase (the rest is par_phrase).
namespace par_samphrase {
enum : int { LoopLength = 7, LoopDrift = 8, Position = 12 };
}
extern const rov_family slots_samphrase;

