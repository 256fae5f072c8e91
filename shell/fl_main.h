// The window program: `tessellon` without a subcommand.
#pragma once

#include <string>

#include "audio/program.h"
#include "shell/hooks.h"

// Runs the main window on program state `pg` until it is closed, with the
// introduction offered first when `intro`, and the setting file `setting`
// (if not empty) loaded. Returns the exit status: 0, 1 without an X display.
int sh_window_main(wv_program& pg, const sh_parts& parts, const std::string& setting, bool intro,
                   const std::string& preset = "");
