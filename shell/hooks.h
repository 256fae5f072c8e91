// Connections to parts of the program built elsewhere, which the program
// entry hands to the main window with the program state: the setting editor
// and the introduction. A part left empty is not part of this build.
#pragma once

#include <functional>

#include "shell/state.h"

struct sh_parts {
    // The setting editor, run modally on the main window's state for atab
    // row `algomod`.
    std::function<void(sh_state& st, int algomod)> editor;
    // The start-up introduction, run modally with the flag of the start-up
    // question (0: without sound).
    std::function<void(int flag)> intro;
};
