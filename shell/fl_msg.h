// Message boxes of the window program, and the test hook: with the
// environment variable TESSELLON_TEST_HOOK set, the program reports on
// standard output what its windows and boxes show, so that tests driving
// it through X events can check the texts.
#pragma once

#include <string>

#include "shell/commands.h"

bool fl_test_hook();
// One line "hook: ..." on standard output (only with the test hook).
void fl_hook(const std::string& line);
// Text with newlines and quotes escaped, for hook lines.
std::string fl_hook_quote(const std::string& s);

// A modal message box with the question's caption, text, buttons and icon.
sh_answer fl_msgbox(const sh_question& q);
