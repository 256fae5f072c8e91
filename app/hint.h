// What the command line and the window program say when no output device
// opens: the audio systems SDL tried and what to do.
#pragma once

#include "audio/sdlcalls.h"

// Prints the hint on stderr, each line starting with `who` and ": "; `calls`
// are those of the device that failed.
void cli_print_audio_hint(const char* who, const wv_sdlcalls& calls);
