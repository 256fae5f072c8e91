// The parameter catalogue: the naming record (names and help texts of the
// sixteen parameter slots, the switch and the numbered buttons, and the
// slots' ranges) that a row shows, and the value texts of the slots. The
// records are declared per routine family in engine/slots.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/rows.h"

// Naming record of one algorithm.
using rov_strg = rov_family;

// The record to show for table row `algomod` and set `setnr`: a two-channel
// row has one record for even and one for odd sets, a row with timbre names
// one for each state of the Timbre Variation flag `tvar`; Multiple play, the
// empty algorithm and rows outside the table get the blank record.
const rov_strg* ranovs(int algomod, int setnr, bool tvar);

// The help text stored behind the name of a parameter or switch text.
const char* rov_helptext(const char* text);

// Longest value text including the terminating NUL.
constexpr std::size_t rov_valtext_max = 24;

// The text shown beside a scroll bar of range `r` for value v, with `mark`
// '*' while the slot is still morphing, else ' ' (the rate and volume
// displays show no mark). v is expected inside the slot's range.
void rov_valtext(char out[rov_valtext_max], const rov_slotrange& r, int v, char mark);
// The same for slot `slot` of the shared ranges.
void rov_valtext(char out[rov_valtext_max], int slot, int v, char mark);
