#include "shell/hooks.h"

void (*sh_editor_hook)(int algomod) = nullptr;
sh_probe_fn sh_device_probe = nullptr;

sh_state& sh_program_state() {
    static sh_state st;
    return st;
}
