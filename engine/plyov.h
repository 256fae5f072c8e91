// Tones played by hand over the running soundscape: the player pad's
// parameter block and `plyov`, which starts one tone in a free voice of the
// running engine state. The routine of the playing row then plays that
// voice in the following buffers like one of its own tones.
#pragma once

#include <cstdint>

#include "engine/rov.h"

// Loop lengths of the multiple-loop algorithm, also used by the pad.
constexpr int looptab_n = 17;
extern const int16_t looptab[looptab_n];

// Slider indexes of wvpl_p.
namespace wvpl_slider {
enum : int { Volume = 0, Length = 1, Pulsewidth = 2, Detune = 3, DigVolume = 4, Panorama = 5 };
}

struct wvpl_par {
    uint16_t wvpl_env = 0;          // envelope split 0..256 between attack and decay
    uint16_t wvpl_pit = 0;          // pitch of the next tone
    uint16_t wvpl_p[8] = {};        // sliders (see wvpl_slider); 6 and 7 unused
    uint16_t wvpl_alg = 0;          // table row of the playing algorithm
    const int16_t* wvpl_smp = nullptr;  // the recorded sample, or null
    int32_t wvpl_sl = 0;            // its length; -1: a sampling row without a sample
    int wvpl_setnr = 0;             // active parameter set
    rov_handle* wvpl_roh = nullptr;  // engine state of the playing setting
    int wvpl_mode = 4;              // what a click's x sets: 0..3, 5 a slider, 4 the envelope
    int wvpl_pitl = 1;              // pitch range: 0 High, 1 Medium, 2 Low
    int wvpl_pitq = 0;              // 0 Halftones, 1 FreePitch, 2 HT Scale, 3 FreeScale
    const int16_t* wvpl_notes = nullptr;  // the note table (tonnotes_n entries)
};

// Voices the pad may take: the first 16 below rov_maxvoc.
constexpr int wvpl_maxvoices = 16;

// Starts one tone from the block in the first idle voice. Does nothing
// without an engine state, when the block says a sampling row plays without
// a sample, or when no voice is idle. Returns the voice taken, or -1.
int plyov(wvpl_par* wpp);
