// Per-slot ranges, page steps and display kinds of the sixteen parameter
// slots; the same table serves every algorithm.
#pragma once

#include <cstdint>

struct rov_scrollrow {
    int16_t physmin;   // lowest value
    int16_t physmax;   // highest value
    int16_t largeinc;  // page step of the scroll bar
    int16_t disdiv;    // display divisor
    int16_t invert;    // display kind: 0 number, 1 volume, 2 rate
};

extern rov_scrollrow rovscroll[16];

// The voice maximum m (1..64) raises slot 0's upper bound to 16*m (at most
// 1024) when that exceeds it; the bound is never lowered during a run.
void rovscroll_raise_voices(int maxv);
