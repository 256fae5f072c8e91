// Click routines of the setting editor: the help box for a Shift-click and
// the finishing of morphs for a Control-click. Positions are in dialog units
// of the editor (280 x 160).
#pragma once

#include <string>

#include "engine/rov.h"
#include "player/controls.h"

// The controls that have a help: 0..15 the slots (label, value and scroll
// bar), then the fixed ones.
enum rov_helpitem {
    rov_hi_numbered = 17,  // the numbered buttons
    rov_hi_v = 18,
    rov_hi_q = 19,         // Z or Q
    rov_hi_switch = 20,
    rov_hi_tonality = 21,
    rov_hi_read = 22,
    rov_hi_status = 23,    // the message line
    rov_hi_play = 24,      // Start, Stop, Pause, Exit
};

// The help of item `item` (a slot 0..15 or a rov_helpitem); false for any
// other number. The other arguments are those of teswinhlp.
bool teswinhlp_item(rov_helpbox& out, int item, int algomod, bool rd, bool sca, int setnr, bool tvar);

// The tooltip of a control: the caption and text of its help box.
std::string rov_help_tip(const rov_helpbox& hb);

// Fills `out` with the help for the item under (x, y) and returns true, or
// returns false where no item is. `algomod` is the row whose names are shown
// (in Multiple play the active setting's standard algorithm), `rd` and `sca`
// the "&Read Setting" and "Tonalit&y" toggles, `setnr` the playing set and
// `tvar` the playing global phase's Timbre Variation flag.
bool teswinhlp(rov_helpbox& out, int algomod, int x, int y, bool rd, bool sca, int setnr,
               bool tvar);

// Control-click: on a slot label of the left column that slot's gliding value
// jumps to the set's value; on the "Chg.Dly" heading all thirteen do. Returns
// true when a region was hit.
bool teswinmph(rov_handle* roh, int setnr, int x, int y);
