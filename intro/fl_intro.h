// The introduction's dialog window "Wave Tessellon Intro", run modally at
// start-up before the main window shows.
#pragma once

#include "audio/device.h"
#include "audio/stream.h"

// Draws a named 32 x 32 icon with its top-left corner at (x, y).
using fl_icon_painter = void (*)(const char* name, int x, int y, bool active);

// Runs the introduction with the start-up flag (0: no sound; bit 0: 16-bit
// stereo; 4 or more: device 0) through the stream `ws` on the output device
// `dev` (nullptr: none), until OK or the close box. `welcome` is the first
// header line. Returns 1.
int fl_intro_run(int flag, wv_stream& ws, wv_device* dev, fl_icon_painter icon, const char* welcome);
