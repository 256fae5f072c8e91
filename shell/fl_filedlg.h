// The Load and Save dialogs of the main window.
#pragma once

#include "shell/commands.h"

// Runs the native file chooser with the four file types; false when the
// user cancelled. With the test hook and TESSELLON_TEST_FILE set, no
// chooser opens: that path is taken as chosen.
bool fl_filedlg(sh_filereq& req);
