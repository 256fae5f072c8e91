// The parameter catalogue: per algorithm row the names and help texts of the
// sixteen parameter slots, the switch and the numbered buttons; the value
// texts of the slots; and the two rewrites of parameter sets for a playback
// rate or sample length changed by a factor of two.
//
// A parameter or switch text is two strings back to back: the name (label,
// popup caption, check-box caption), its NUL, then the help text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/rows.h"

// Naming record of one algorithm.
struct rov_strg {
    const char* rName;      // title (the editor window's caption)
    const char* rPar[16];   // parameter texts of slots 0..15
    const char* rSwi;       // switch text
    const char* rNumAssg;   // numbered buttons' help while assigning scale buffers
    const char* rNumChg;    // numbered buttons' help while viewing/editing scale buffers
};

// The record to show for table row `algomod` and set `setnr`: a two-channel
// row has one record for even and one for odd sets, a row with timbre names
// one for each state of the Timbre Variation flag `tvar`; Multiple play, the
// empty algorithm and rows outside the table get the blank record.
const rov_strg* ranovs(int algomod, int setnr, bool tvar);

// The help text stored behind the name of a parameter or switch text.
const char* rov_helptext(const char* text);

// Longest value text including the terminating NUL.
constexpr std::size_t rov_valtext_max = 24;

// The text shown beside slot `slot`'s scroll bar for value v, with `mark`
// '*' while the slot is still morphing, else ' ' (slots 13 and 14 show no
// mark). v is expected inside the slot's range.
void rov_valtext(char out[rov_valtext_max], int slot, int v, char mark);
