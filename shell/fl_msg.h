// Message boxes of the window program, and the test hook: with the
// environment variable TESSELLON_TEST_HOOK set, the program reports on
// standard output what its windows and boxes show, so that tests driving
// it through X events can check the texts.
#pragma once

#include <string>

#include "editor/fl_hook.h"
#include "shell/commands.h"


// A modal message box with the question's caption, text, buttons and icon.
sh_answer fl_msgbox(const sh_question& q);
// A text shown as it is in a label: FLTK reads '@' as the start of a
// symbol, and (plain) '&' as the mark of a mnemonic.
std::string fl_symbol_free(const std::string& s);
std::string fl_plain_label(const std::string& s);
// The same for a Yes/No(/Cancel) question with a "Don't ask again" box;
// `remember` tells whether it was ticked.
sh_answer fl_msgbox_remember(const sh_question& q, bool& remember);
