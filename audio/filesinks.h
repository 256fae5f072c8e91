// The harddisc recording and the mix file as the output chain sees them:
// the file layer's writer and reader behind the chain's two small
// interfaces. The window program and the command line own them; they live
// across openings of the editor.
#pragma once

#include "audio/chain.h"
#include "files/mixfile.h"
#include "files/wavwriter.h"

struct wv_hdrec_sink final : wv_recsink {
    fi_hdrec f;
    bool append(const void* data, uint32_t bytes, int32_t rate) override { return f.append(data, bytes, rate); }
    bool finish() override { return f.finish(); }
    bool is_open() const override { return f.is_open(); }
};

struct wv_mixfile_source final : wv_mixsource {
    fi_mixfile f;
    int32_t read(int16_t* out, int32_t frames, int32_t rate) override { return f.read(out, frames, rate); }
    void close() override { f.close(); }
    bool is_open() const override { return f.is_open(); }
};
