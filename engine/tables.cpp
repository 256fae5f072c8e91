// Read-only tables of the engine: the sine table, the playback rates and the
// algorithm table.
#include "engine/algs.h"

const int16_t sinemd[65] = {
    0,     511,   1023,  1534,  2044,  2553,  3060,  3566,  4069,  4570,  5068,  5563,  6055,
    6543,  7027,  7507,  7982,  8453,  8919,  9379,  9833,  10282, 10724, 11160, 11589, 12011,
    12426, 12834, 13233, 13625, 14009, 14384, 14750, 15108, 15456, 15795, 16125, 16445, 16755,
    17055, 17345, 17624, 17892, 18150, 18397, 18633, 18857, 19070, 19272, 19462, 19640, 19807,
    19962, 20105, 20235, 20353, 20459, 20553, 20634, 20703, 20760, 20804, 20835, 20854, 20860};

int16_t sintab[257];

void rov_build_sintab() {
    sintab[0] = sintab[128] = sintab[256] = 0;
    sintab[64] = sinemd[64];
    sintab[192] = static_cast<int16_t>(-sinemd[64]);
    for (int d = 1; d < 64; ++d) {
        sintab[d] = sintab[128 - d] = sinemd[d];
        sintab[128 + d] = sintab[256 - d] = static_cast<int16_t>(-sinemd[d]);
    }
}

namespace {
// Built before main so that every user of the table sees it filled.
const bool sintab_built = (rov_build_sintab(), true);
}  // namespace

const int32_t pbrates[pbrates_n] = {
    2756,  2960,  3094,  3150,  3473,  3663,  4026,  4130,  4375,  4635,  4911,  5203,  5512,
    5512,  6305,  6556,  6945,  7358,  7796,  8259,  8750,  9270,  9822,  10406, 11025, 11680,
    12375, 13111, 13890, 14717, 15592, 16518, 17501, 18541, 19644, 20812, 22050, 23361, 24750,
    26222, 27781, 29433, 31183, 33038, 35002, 37083, 39289, 41624, 44100, 48000, 50000};

int32_t rov_rate(int index) {
    if (index < 0) index = 0;
    if (index >= pbrates_n) index = pbrates_n - 1;
    return pbrates[index];
}



// Rows whose routine is not built yet hold nullptr.
const rov_algtab atab[rov_natab] = {
    {"RANOVLAP", 5, 5, 3, ranov, 2, 0, "Experimental with Adjustable Panning"},
    {"RANOVLAP1", 40, 5, 4, ranov1, 2, 0, "Experimental with Dual Oscillator"},
    {"RANOVLAP2", 75, 5, 5, ranov2, 2, 0, "Experimental, mixing Two Scales with Random Tones"},
    {"RANOVLAP3", 110, 5, 6, ranov1, 2, 0, "Minimal Music Machine"},
    {"RANOVLAP4", 145, 5, 7, ranov3, 2, 2, "Ambient Experimental, with Echo, Fuzzy and Chords"},
    {"RANOVLAP5", 180, 5, 8, ranov4, 2, 0, "Interval Studies, with Noise Option"},
    {"SMPOVLAP1", 5, 85, 9, nullptr, 1, 1, "Interval Studies, with Samples"},
    {"SMPOVLAP2", 40, 85, 10, nullptr, 1, 1, "Sample Player, with Crossfade Loops"},
    {"SMPOVLAP3", 75, 85, 11, nullptr, 1, 1, "Sample Player with Static Loops"},
    {"PHROVLAP1", 110, 85, 12, ranov8, 2, 0, "Fantasy - composing around a given phrase"},
    {"PHROVLAP2", 145, 85, 13, ranov9, 2, 0, "Session with two channels and two fixed phrases"},
    {"PHROVLAP3", 180, 85, 14, ranov10, 2, 0, "Jazzy Playing, changing a phrase automatically"},
    {"RANOVLAP6", 215, 5, 15, ranov11, 2, 0, "Stumbling Chords / Triple Oscillator alternatively"},
    {"ENVOVLAP1", 250, 5, 18, nullptr, 2, 0, "Experimental - with Complex Envelopes"},
    {"MULRANGE", 285, 5, 19, nullptr, 2, 0, "Multiple Pitch Range - with Glissando"},
    {"SMPOVLAP4", 215, 85, 20, nullptr, 1, 1, "Sample Player, around a given phrase"},
    {"CHORDLAP0", 250, 85, 21, nullptr, 2, 3, "Cluster - with scaled envelopes"},
    {"OSTINAT0", 285, 85, 22, nullptr, 2, 0, "Ostinato phrase"},
    {"OSTIWAV0", 320, 5, 23, nullptr, 2, 0, "Ostinato and Complex Waveforms"},
    {"RLFO1", 355, 5, 24, nullptr, 2, 0, "Random Pitch with Slow Controls"},
    {"MULOOP", 320, 85, 25, nullptr, 1, 1, "Multiple Sample Loop Algorithm"},
    {"WVMULPL", 250, 45, 17, nullptr, 0, 0, "Quad Track Player"},
    {"", 999, 999, 0, nullptr, 0, 0, ""},
};
