// The scroll bars of the sixteen parameter slots: ranges, page steps and
// display kinds of the naming record shown (declared per routine family in
// engine/slots.h), with the Voices bound following the voice maximum.
#pragma once

#include "engine/slots.h"

using rov_scrollrow = rov_slotrange;

// Slot s (0..15) of record `f` for the voice maximum `maxv` (1..64): the
// declared row, with slot 0's upper bound raised to 16 * maxv (at most
// 1024) where that is above it.
rov_scrollrow rovscroll_row(const rov_family& f, int s, int maxv);
