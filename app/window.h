// The window program's connections between the main window (shell/), the
// setting editor (editor/), the introduction (intro/) and the sound devices
// (audio/).
#pragma once

#include <string>

// Runs the window program: starts the audio subsystem, makes the program
// state with its devices, runs the main window on it with the editor and
// the introduction connected (see sh_window_main), and stops the audio
// subsystem again. Returns the main window's exit status. `preset` (when
// not empty) is opened and played as the Presets menu does.
int tess_window_run(const std::string& setting, bool intro, const std::string& preset = "");
