// The options side of the setup file: which option each field holds, and the
// range tests a loaded setup passes before it changes an option.
#pragma once

#include <cstdint>
#include <functional>

#include "audio/options.h"
#include "files/setup_file.h"

struct wv_recsink;

// The setup record of the options in effect and the row played (saving).
fi_setup wv_setup_from(const wv_options& o, int algomod);

struct wv_setup_target {
    wv_options* opt = nullptr;
    int* algomod = nullptr;
    int16_t* volshift = nullptr;  // the mixer shift of the playing global phase
    const wv_recsink* rec = nullptr;  // the harddisc recording (nullptr: none)
    std::function<bool(unsigned devno, wv_caps& caps)> probe;  // the device's capabilities
};

// Applies a decoded setup of `records` complete records (0, 1 or 2): each
// value in range becomes its option, in the order the options depend on one
// another; nothing at all for 0 records. The output device is probed; false
// when that failed (its capabilities are then taken as none, so 16-bit
// stereo is off). While a recording is open the played format (stereoset)
// and Buff.Beat are never changed.
bool wv_setup_apply(const fi_setup& f, int records, wv_setup_target& t);
