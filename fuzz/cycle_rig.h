// The streaming cycle on a virtual device, for the fuzz targets that play:
// the tests' rig, with 4096-byte buffers and room for the setting banks.
#pragma once

#include <cstdlib>

#include "audio/multiple.h"
#include "engine/rows.h"
#include "tests/support/stream_rig.h"

inline void check(bool ok) {
    if (!ok) std::abort();
}

struct cycle_rig final : stream_rig {
    rov_banks bk;
    explicit cycle_rig(int row) : stream_rig(4, row) {
        opt.bufszorig = 4096;
        opt.bufincr = wv_bufincr(opt.bufszorig);
    }
};
