// Connections to parts of the program built elsewhere: the setting editor
// and the device layer's capability probe. The program entry sets them; a
// hook left empty means the function is not part of this build.
#pragma once

#include "audio/capture.h"
#include "shell/state.h"

// The setting editor, run modally for atab row `algomod`; the
// program entry points it at rov_editor_run of the editor.
extern void (*sh_editor_hook)(int algomod);

// The start-up introduction, run modally with the flag of the start-up
// question (0: without sound); the program entry points it at the intro.
extern void (*sh_intro_hook)(int flag);

// The capability probe of the output device layer.
extern sh_probe_fn sh_device_probe;

// The sound devices of the sample functions (nullptr: none).
extern wv_capture* sh_capture_dev;
extern wv_device* sh_output_dev;

// The state of the running window program (one per process).
sh_state& sh_program_state();
