// The algorithm routines. The rows table (rows.cpp) declares and reaches each
// routine itself; this header serves the routines' sources, the tests and the intro.
#pragma once

#include "engine/rov.h"

#define ROV_ALG(name) \
    void name(rov_handle* roh, int16_t* buffer, int32_t bufsz, int setnr, int tonr, \
              const int16_t* tab, intptr_t tablen)

ROV_ALG(ranov);    // random tones with adjustable panning
ROV_ALG(ranov1);   // dual oscillator (also the loop algorithm's routine)
ROV_ALG(ranov2);   // two scales mixed with random tones
ROV_ALG(ranov3);   // ambient: echo, fuzz and chords (argument 6 is the echo source)
ROV_ALG(ranov4);   // interval studies with noise
ROV_ALG(ranov5);   // interval studies with samples
ROV_ALG(ranov6);   // sample player with crossfade loops
ROV_ALG(ranov7);   // sample player with static loops
ROV_ALG(ranov8);   // fantasy around a given phrase
ROV_ALG(ranov9);   // session with two channels and two fixed phrases
ROV_ALG(ranov10);  // jazzy playing, recording its own phrases
ROV_ALG(ranov11);  // stumbling chords / triple oscillator
ROV_ALG(ranov14);  // sample player around a given phrase
ROV_ALG(ranov19);  // multiple sample loops
ROV_ALG(ranov12);  // complex envelopes programmed in the scale memory
ROV_ALG(ranov13);  // multiple pitch ranges with glissando
ROV_ALG(ranov15);  // cluster chords with envelopes scaled by pitch (the length argument is the note table)
ROV_ALG(ranov16);  // ostinato phrase with detune and phase modulation
ROV_ALG(ranov17);  // ostinato with complex waveforms
ROV_ALG(ranov18);  // random pitch with slow controls (two LFOs)
