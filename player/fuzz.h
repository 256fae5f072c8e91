// Fuzz: distorts or thickens one computed buffer of interleaved 16-bit
// stereo words in place. One degree value drives all seven types; nothing is
// kept from one buffer to the next.
#pragma once

#include <cstdint>

// Fuzz types (the menu's order).
enum wv_fuzztype : int {
    wv_fuzz_none = 0,
    wv_fuzz_clip = 1,     // gain, hard clip at half scale
    wv_fuzz_knee = 2,     // gain with saturation, quarter-sine soft knee
    wv_fuzz_sine = 3,     // gain, sine wave folding
    wv_fuzz_reso = 4,     // 7/8 dry plus 1/8 of a sine-folded copy
    wv_fuzz_reschor = 5,  // as Reso, the sine phase turning once across the buffer
    wv_fuzz_chorus = 6,   // cross-channel chorus, delay sweeping within the buffer
    wv_fuzz_bias = 7,     // dead zone around zero
};
constexpr int wv_fuzz_types = 8;

// The types as the user chooses them, in the order above: the menu's text
// with its & mnemonic and the command line's name.
struct wv_fuzzname {
    const char* menu;
    const char* name;
};
constexpr wv_fuzzname wv_fuzz_names[wv_fuzz_types] = {
    {"&None", "none"},   {"Cli&p", "clip"},        {"&Knee", "knee"},      {"&Sine", "sine"},
    {"&Reso", "reso"},   {"ResC&hor", "reschor"},  {"Ch&orus", "chorus"},  {"&Bias", "bias"},
};

// The degree: its range (beyond it Chorus would read outside the buffer),
// and the steps of a slider that sets it (a click, a page).
constexpr int wv_fuzz_degree_min = 0, wv_fuzz_degree_max = 1600;
constexpr int wv_fuzz_degree_step = 1, wv_fuzz_degree_page = 25;

// Processes the `origlen` words of `wvData` (2 x frames) in place with fuzz
// type `type` at `degree` (wv_fuzz_degree_min..max). `sintab` is the 257-entry sine table.
// A type outside 1..7 does nothing; Chorus leaves buffers of fewer than 3072
// words alone.
void wvfuzz(int16_t* wvData, int32_t origlen, const int16_t* sintab, int16_t degree, int16_t type);
