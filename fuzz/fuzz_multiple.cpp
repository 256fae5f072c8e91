// Multiple play with hostile banks: the active setting and the three banks
// decoded from arbitrary bytes (as setting files loaded one after another),
// with set and scale numbers from the input, played through the streaming
// cycle on a virtual device; Z may turn the banks while it plays. Every
// buffer sent must have the size of the opening's buffers.
#include <cstdint>
#include <memory>

#include "files/setting_file.h"
#include "fuzz/cycle_rig.h"

// Input: 8 header bytes (flags, active set and scale, bank sets and scales,
// turns), then up to four 672-byte setting images: the active setting and
// banks 0..2. A missing image leaves the built-in one.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    auto r = std::make_unique<cycle_rig>(rov_row_multiple());
    const uint8_t flags = data[0];
    rov_banks_init(r->bk);
    const uint8_t* img = data + 8;
    std::size_t left = size - 8;
    for (int k = -1; k < rov_nbanks && left >= rov_setting_bytes; ++k, img += rov_setting_bytes, left -= rov_setting_bytes)
        fi_setting_decode(img, rov_setting_bytes, k < 0 ? r->st.s : r->bk.rosbk[k]);
    for (int k = 0; k < rov_nbanks; ++k) {
        r->bk.setnrbk[k] = data[2 + k] % rov_nsets;
        r->bk.tonrbk[k] = (data[2 + k] >> 4) % rov_nscales;
        // Some banks were playing when they were pushed, others never were.
        if (flags & (1 << k)) {
            rov_handle h = rov_bank_handle(r->bk, k);
            rov_open(&h, false, false, 8);
            rov_start(&h, r->bk.rosbk[k].rov_stdalg, r->bk.setnrbk[k], r->bk.tonrbk[k]);
        }
    }
    if (flags & 8) wv_mult_prepare_banks(r->bk, 8, flags & 16, flags & 32);
    r->s.banks = &r->bk;
    r->s.setnr = data[1] % rov_nsets;
    r->s.tonr = (data[1] >> 4) % rov_nscales;
    if (!wv_probe(r->s)) return 0;
    wv_stream_open(r->s);
    const bool started = wv_start(r->s);
    if (started) {
        const int turns = 2 + data[5] % 6;
        for (int i = 0; i < turns; ++i) {
            if (data[6] & (1 << i)) wv_rotate(r->s);
            r->play_out();
        }
        wv_stop(r->s);
    }
    wv_stream_close(r->s);
    check(!started || !r->dev.log.empty());
    for (const auto& b : r->dev.log) check(b.bytes.size() == r->dev.log.front().bytes.size());
    return 0;
}
