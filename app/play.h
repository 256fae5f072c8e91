// `tessellon play` and `tessellon devices`: the streaming cycle on the real
// output device, driven by a small blocking loop instead of a window.
#pragma once

#include <string>
#include <vector>

#include "audio/device.h"

// Runs `tessellon play` on its arguments (without the word "play"); returns
// the exit status.
int cmd_play(const std::vector<std::string>& args);

// Runs `tessellon devices`: the output devices with their capabilities.
int cmd_devices(const std::vector<std::string>& args);

// The capability record as the capability dialog shows it: the device name,
// then each format row with the rates it offers, then the two support lines.
std::string wv_caps_text(const wv_caps& c);
