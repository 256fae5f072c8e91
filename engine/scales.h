// The note table: equal-tempered pitch values around 262 ("f1", the basic
// value of a scale) and their names. A pitch value v sounds at 8 * v * R / 65536 Hz
// at playback rate R; entry 45 ("d2") is 440, which at 11025 Hz is about 592 Hz.
#pragma once

#include <cstdint>

constexpr int tonnotes_n = 62;          // 61 notes and the end mark
constexpr int16_t tonnotes_end = 9999;  // value of the end mark (entry 61)

extern const int16_t tonnotes[tonnotes_n];
// Names of 3 characters padded with blanks, each followed by its terminating zero.
extern const char tonnames[tonnotes_n][4];
