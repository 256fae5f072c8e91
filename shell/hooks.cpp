#include "shell/hooks.h"

void (*sh_editor_hook)(int algomod) = nullptr;
void (*sh_intro_hook)(int flag) = nullptr;
sh_probe_fn sh_device_probe = nullptr;
wv_capture* sh_capture_dev = nullptr;
wv_device* sh_output_dev = nullptr;

sh_state& sh_program_state() {
    static sh_state st;
    return st;
}
