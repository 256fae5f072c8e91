// Setup files from arbitrary bytes: decoded and loaded into the default
// options with a stand-in device, every option must end within its range,
// and a whole setup must encode back to its bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "audio/chain.h"
#include "audio/refill.h"
#include "audio/setup.h"
#include "engine/rows.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

bool within(long v, long lo, long hi) { return v >= lo && v <= hi; }

// An open harddisc recording, as far as the setup load asks.
struct open_rec final : wv_recsink {
    bool append(const void*, uint32_t, int32_t) override { return true; }
    bool finish() override { return true; }
    bool is_open() const override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    uint8_t* in = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size) std::memcpy(in, data, size);

    fi_setup f;
    const int records = fi_setup_decode(in, size, f);
    check(records == (size < fi_setup_rec1 ? 0 : size < fi_setup_bytes ? 1 : 2));
    if (records == 2) {
        uint8_t out[fi_setup_bytes];
        fi_setup_encode(f, out);
        // All but the padding and the reserved byte, which are written as 0.
        for (std::size_t i = 0; i < fi_setup_bytes; ++i)
            check(out[i] == (i == fi_setup_rec1 - 1 || i == fi_setup_bytes - 1 ? 0 : in[i]));
    }

    // The device and the recording state come from bytes past the setup.
    const uint8_t extra = size > fi_setup_bytes ? in[fi_setup_bytes] : 0;
    const wv_options start;
    wv_options o = start;
    int algomod = 1;
    int16_t volshift = 12;
    const open_rec rec;
    wv_setup_target t{&o, &algomod, &volshift, (extra & 1) != 0 ? &rec : nullptr, [extra](unsigned devno, wv_caps& c) {
                          if (devno != wv_mapper && devno != wv_jack_devno && devno > 3) std::abort();
                          if (extra & 2) return false;
                          c.dwFormats = (extra & 4) ? wv_fmt_all : 0x777;
                          return true;
                      }};
    wv_setup_apply(f, records, t);

    check(within(o.maxv, 1, 64) && within(volshift, 11, 14));
    check(within(o.bufszorig, wv_opt_bufsize.stored_lo, wv_opt_bufsize.stored_hi));
    check(o.bufszorig == start.bufszorig ? o.bufincr == start.bufincr : o.bufszorig % 1024 == 0);
    check(o.bufincr == start.bufincr || o.bufincr == wv_bufincr(o.bufszorig));
    check(within(o.sampmaxidle, wv_opt_timetoplay.stored_lo, wv_opt_timetoplay.stored_hi));
    check(o.recsmpopt >= -2);
    check(o.wvodevno == wv_mapper || o.wvodevno == wv_jack_devno || o.wvodevno <= 3);
    check(within(algomod, 0, rov_natab - 1));
    check(within(o.playpaus, 1, 64) && within(o.dispmode, wv_disp_off, wv_disp_alllevels));
    check(within(o.blowopt, 0, 6) && within(o.playbmix, 0, 300) && within(o.fuzzlev, 0, 1600));
    check(o.fuzztyp >= 0 && o.vistyp >= 0);
    check(!o.stereo16 || wv_stereo16(o.woc));
    // Stereo is played only on a device that offers it, unless a recording
    // keeps the format it started with.
    check(!o.stereoset || o.stereo16 || (t.rec && start.stereoset));
    if (records == 0) check(o.maxv == start.maxv && volshift == 12 && o.wvodevno == start.wvodevno);
    std::free(in);
    return 0;
}
