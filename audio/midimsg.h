// One short MIDI message, placed at a frame of the buffer it goes with.
#pragma once

#include <cstdint>

struct wv_midimsg {
    uint32_t frame = 0;  // frame within the buffer, at the buffer's own rate
    uint8_t len = 0;     // bytes used in b: 1 to 3
    uint8_t b[3] = {};
};
