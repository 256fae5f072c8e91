// The window program: `tessellon` without a subcommand.
#pragma once

#include <string>
#include <vector>

// Runs the main window until it is closed. Options: --no-intro. Returns the
// exit status: 0, 1 without an X display, 2 for a bad option.
int sh_window_main(const std::vector<std::string>& args);
