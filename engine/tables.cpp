// Read-only tables of the engine: the sine table and the playback rates.
#include <array>

#include "engine/rov.h"

constexpr int16_t sinemd[65] = {
    0,     511,   1023,  1534,  2044,  2553,  3060,  3566,  4069,  4570,  5068,  5563,  6055,
    6543,  7027,  7507,  7982,  8453,  8919,  9379,  9833,  10282, 10724, 11160, 11589, 12011,
    12426, 12834, 13233, 13625, 14009, 14384, 14750, 15108, 15456, 15795, 16125, 16445, 16755,
    17055, 17345, 17624, 17892, 18150, 18397, 18633, 18857, 19070, 19272, 19462, 19640, 19807,
    19962, 20105, 20235, 20353, 20459, 20553, 20634, 20703, 20760, 20804, 20835, 20854, 20860};

namespace {
// The full cycle from its first quarter: the quarter rises to the peak,
// the second quarter mirrors it, the second half negates the first.
constexpr std::array<int16_t, 257> full_cycle() {
    std::array<int16_t, 257> t{};
    t[64] = sinemd[64];
    t[192] = static_cast<int16_t>(-sinemd[64]);
    for (int d = 1; d < 64; ++d) {
        t[d] = t[128 - d] = sinemd[d];
        t[128 + d] = t[256 - d] = static_cast<int16_t>(-sinemd[d]);
    }
    return t;
}
constexpr std::array<int16_t, 257> cycle = full_cycle();
static_assert(cycle[0] == 0 && cycle[128] == 0 && cycle[256] == 0 && cycle[64] == 20860 && cycle[192] == -20860);
}  // namespace

const int16_t* const sintab = cycle.data();

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
