// The window program: `tessellon` without a subcommand.
#pragma once

#include <string>

// Runs the main window until it is closed, with the introduction offered
// first when `intro`, and the setting file `setting` (if not empty) loaded.
// Returns the exit status: 0, 1 without an X display.
int sh_window_main(const std::string& setting, bool intro);
