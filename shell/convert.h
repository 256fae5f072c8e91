// "&Convert Sample" of the main window's Options menu (the "&Blow Up"
// choices are the options table's, audio/options.h).
#pragma once

#include "shell/commands.h"

// "E&xpand" (141), "&Compress" (142), "&Optimize" (143) on the sample, with
// their questions ("Adjust Rate ?", "Adjust Parameters", caption "Sample
// Conversion"). Without a sample, or without room to expand, nothing
// happens and nothing is shown.
void sh_convert_cmd(sh_state& st, const sh_ui& ui, int id);
