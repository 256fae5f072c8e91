// A setup file applied to a running cycle: a setting plays on a virtual
// device, then a setup decoded from arbitrary bytes is applied to the
// options the cycle reads (buffer size, voices, blow-up, fuzz, visuals, mix
// level ...) and to the playing mixer shift, and the cycle plays on. The
// options stay in range and every buffer sent holds whole frames.
#include <cstdint>
#include <memory>

#include "audio/setup.h"
#include "fuzz/cycle_rig.h"

namespace {

// A harddisc recording that is open: while one is, a setup keeps the format.
struct open_rec final : wv_recsink {
    bool append(const void*, uint32_t, int32_t) override { return true; }
    bool finish() override { return true; }
    bool is_open() const override { return true; }
};

}  // namespace

// Input: row, set, turns before and after, flags; then the setup's bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    // Any row, Multiple play too (without banks).
    const int row = data[0] % rov_natab;
    auto r = std::make_unique<cycle_rig>(row);
    r->s.setnr = data[1] % rov_nsets;
    r->s.tonr = r->st.s.rov_tonindx[r->s.setnr] % rov_nscales;
    if (!wv_probe(r->s)) return 0;
    wv_stream_open(r->s);
    if (!wv_start(r->s)) {
        wv_stream_close(r->s);
        return 0;
    }
    const uint8_t flags = data[4];
    for (int i = 0; i < 1 + data[2] % 4; ++i) r->play_out();

    fi_setup f;
    const int records = fi_setup_decode(data + 5, size - 5, f);
    int algomod = row;
    const open_rec rec;
    wv_setup_target t{&r->opt, &algomod, &r->st.g.rov_volshift, (flags & 1) ? &rec : nullptr, [flags](unsigned, wv_caps& c) {
                          if (flags & 2) return false;
                          c.dwFormats = (flags & 4) ? wv_fmt_all : 0x777;
                          return true;
                      }};
    wv_setup_apply(f, records, t);
    check(r->opt.maxv >= 1 && r->opt.maxv <= 64);
    check(r->opt.bufszorig >= wv_opt_bufsize.stored_lo && r->opt.bufszorig <= wv_opt_bufsize.stored_hi);

    for (int i = 0; i < 1 + data[3] % 4; ++i) r->play_out();
    wv_stop(r->s);
    for (int i = 0; i < 2; ++i) r->play_out();
    wv_stream_close(r->s);
    for (const auto& b : r->dev.log) check(b.bytes.size() % b.fmt.nBlockAlign == 0);
    return 0;
}
