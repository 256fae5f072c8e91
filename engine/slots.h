// Names of the sixteen parameter slots of a set. Slots 0..2 and 9..15 mean
// the same in every routine; slots 3..8 (and 12 in the sampling routines,
// 9..10 in the slow-controls routine) are the routine family's own, except
// that the shared sequence step reads slot 6 as the density multiplier
// (rov_par::DensMult) whatever the family calls it. Code says
// `rov_par::Beat` or `par_ambient::Echo`, never a bare slot number.
//
// Each name is an index into one set (rov_p[16 * setnr + slot]) and into the
// gliding copy rov_currp for slots 0..12.
#pragma once

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
// Dual oscillator, and the loop algorithm that shares its routine.
namespace par_dual {
enum : int { PitSpread = 3, Tonality = 4, Density = 5, DensMode = 6, Detune = 7, Filter = 8 };
}
// Two scales mixed with random tones.
namespace par_twoscales {
enum : int { PitSpread = 3, Tonality = 4, Density = 5, DensMode = 6, Tonality2 = 7, Select = 8 };
}
// Ambient: echo, fuzz and chords.
namespace par_ambient {
enum : int { PitSpread = 3, Tonality = 4, Echo = 5, EchoFB = 6, Fuzz = 7, FuzzEnv = 8 };
}
// Interval studies with noise.
namespace par_intervals {
enum : int { PitRange = 3, Intervals = 4, Density = 5, DensMode = 6, Noise = 7, NoiseType = 8 };
}
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
// Stumbling chords / triple oscillator.
namespace par_chords {
enum : int { Hold = 3, Chords = 4, Stumble = 5, StumMode = 6, Detune = 7, Detune2 = 8 };
}
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

// Complex envelopes.
namespace par_envelope {
enum : int { PitSpread = 3, Tonality = 4, Density = 5, DensMode = 6, Honky = 7, EnvSelect = 8 };
}
// Multiple pitch ranges with glissando.
namespace par_ranges {
enum : int { PitSpread = 3, PitRaster = 4, Density = 5, DensMode = 6, Gliss1 = 7, Gliss2 = 8 };
}
// Cluster chords.
namespace par_cluster {
enum : int { PitSpread = 3, Tonality = 4, ScaleSize = 5, ScaleDistr = 6, EnvScaling = 7, Clustering = 8 };
}
// Ostinato and complex waveforms (the rest of the ostinato family is par_phrase).
namespace par_ostinato {
enum : int { PhaseMod = 8, WaveSel = 6, Vibrato = 8, WaveSweep = 8 };
}
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
// Multiple sample loops.
namespace par_multiloop {
enum : int { PitSpread = 3, Tonality = 4, Density = 5, DensMode = 6, Crossfade = 7, LoopSel = 8, LoopChng = 12 };
}
// Sample player around a given phrase (the rest is par_phrase).
namespace par_samphrase {
enum : int { LoopLength = 7, LoopDrift = 8, Position = 12 };
}
