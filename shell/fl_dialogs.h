// The main window's small modal dialogs: the modulo calculator, the
// information pages and the capability dialog. They only show what
// shell/calc.h and shell/info.h compute.
#pragma once

#include <string>

#include "engine/rov.h"
#include "shell/state.h"

void fl_calc_run(rov_setting& s);
void fl_info_run(const std::string& name);
void fl_caps_run(const sh_woc& woc, uint32_t devno);
