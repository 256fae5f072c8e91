// What the command line and the window program say when no output device
// opens: the audio systems SDL tried and what to do.
#pragma once

// Prints the hint on stderr, each line starting with `who` and ": ".
void cli_print_audio_hint(const char* who);
