// Blow-up: the routine computes a buffer at one half or one quarter of the
// output rate and the last stage of the output chain stretches it in place
// by 2 or 4, stepped, linear or cubic, carrying the last frame of each
// buffer into the next so that the interpolation runs across the seams.
#pragma once

#include <cstdint>

#include "audio/chain.h"

// The methods (blowopt), in the menu's order, with the menu's text and the
// stretch factor; method 0 stretches nothing.
struct wv_blowmethod {
    const char* menu;
    int factor;
};
constexpr wv_blowmethod wv_blow_methods[] = {
    {"&None", 1},     {"&Stepped2", 2}, {"Linear&2", 2}, {"Cu&bic2", 2},
    {"S&tepped4", 4}, {"Linear&4", 4},  {"C&ubic4", 4},
};
constexpr int wv_blow_nmethods = static_cast<int>(sizeof wv_blow_methods / sizeof wv_blow_methods[0]);
// The stepped methods repeat each frame instead of interpolating.
constexpr bool wv_blow_stepped(int method) { return method == 1 || method == 4; }

// Stretches `origlen` interleaved stereo words (origlen/2 frames) at w in
// place by the factor of `option` (a method above 0; anything else leaves the
// buffer alone). w has room for origlen * factor words. wvoflow holds the
// carried frame (left, right): the linear and cubic methods read and rewrite
// it, the stepped ones leave it. Sums are 32-bit, divisions by powers of two
// arithmetic shifts, results their low 16 bits (no saturation).
// The cubic methods need 3 (2x) or 2 (4x) frames for their full shape; a
// shorter buffer gets the linear segments only.
void wvexpand(int16_t* w, int16_t* wvoflow, long origlen, int option);

// The blow-up as the last computing stage of the chain: each buffer whose
// method (chosen for it by the rate rule) is above 0. `blowo` is the carried
// frame, from one buffer into the next of the same play; zero at the start
// of each play.
struct wv_blowstage final : wv_stage {
    int16_t blowo[4] = {};
    void run(wv_chainbuf& b) override;
    void reset() override;
};
