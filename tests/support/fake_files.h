// Stand-ins for the harddisc recording and the mix file, so that a test can
// have one open without a file behind it.
#pragma once

#include <cstdint>
#include <memory>

#include "audio/program.h"

struct fake_recsink final : wv_recsink {
    bool open = true;
    bool append(const void*, uint32_t, int32_t) override { return true; }
    bool finish() override {
        open = false;
        return true;
    }
    bool is_open() const override { return open; }
};

struct fake_mixsource final : wv_mixsource {
    bool open = true;
    int32_t read(int16_t*, int32_t, int32_t) override { return 0; }
    void close() override { open = false; }
    bool is_open() const override { return open; }
};

// Opens a stand-in recording in the program state, or finishes it.
inline void fake_recording(wv_program& pg, bool on) {
    if (on) pg.hd = std::make_unique<fake_recsink>();
    else if (pg.hd) pg.hd->finish();
}

// Opens a stand-in mix file in the program state, or closes it.
inline void fake_mixing(wv_program& pg, bool on) {
    if (on) pg.mix = std::make_unique<fake_mixsource>();
    else if (pg.mix) pg.mix->close();
}
