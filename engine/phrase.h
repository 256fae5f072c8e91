// Octave folding and the phrase step shared by the routines that compose
// around phrases. Pitches are phase increments (uint16 per frame); phrase
// steps are relative values with 262 meaning unison.
#pragma once

#include <cstdint>

#include "engine/rov.h"

// Folding bounds from Pitch and PitRange, both kept to 16 bits like the
// increments they bound (unsigned: at the top of the Pitch and PitRange
// ranges hi passes 32767, e.g. 36072 for Pitch 1000 and PitRange 256):
// lo = (64 - PitRange/4) * (Pitch*3/32), hi = ((Pitch*12 + 24) / (24 - PitRange/16)) * 24.
// PitRange 384..399 (only a damaged setting holds one) would make the divisor
// 0; it is then taken as 1.
int32_t rov_foldlo(int32_t pitch, int32_t pitrange);
int32_t rov_foldhi(int32_t pitch, int32_t pitrange);

// Folds a candidate increment by octaves (up to three at once) into lo..hi;
// far below lo / 8 it becomes 0, a silent tone.
int32_t rov_fold(int32_t u, int32_t lo, int32_t hi);

// The phrase-step rule: the phrase at position k (1..15) continues to k + 1
// while 8k is below PhraseLen or the density state z is below PhrLenMod, and
// k < 15; otherwise it ends (0).
int16_t rov_phrasemore(int16_t k, int32_t phraselen, int32_t phrlenmod, uint16_t z);

// One step of the running phrase at position k (1..15): returns the candidate
// phrase[0] * phrase[k] / 262 and moves k on to k + 1, or ends the phrase
// (k = 0) once 8k reaches PhraseLen and the density state z is not below
// PhrLenMod, or after step 15.
int32_t rov_phrasestep(const rov_globphase& g, int16_t& k, int32_t phraselen, int32_t phrlenmod, uint16_t z);
