// The animated icon of toolbar slot 6: which frame shows, and how the
// main window's timer moves it on.
#pragma once

#include <string>

#include "shell/state.h"

// Name of the frame `iconcnt` shows: "WVTESSEL", "WVTESSE1".."WVTESSE9"
// while no recording runs, "HDREC0".."HDREC7" while one does. While the
// timer is stopped (icontim 0) the still icon "WVTESSEL".
std::string sh_icon_frame(const sh_state& st);

// One timer tick: the frame to draw now, then the counter moves on (10
// frames, 8 while recording).
std::string sh_icon_tick(sh_state& st);
