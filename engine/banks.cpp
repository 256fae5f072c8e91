#include "engine/banks.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <type_traits>

// The push copies whole records: none may point into itself or elsewhere.
static_assert(std::is_trivially_copyable_v<rov_setting> && std::is_trivially_copyable_v<rov_globphase>);

void rov_banks_init(rov_banks& b) {
    std::memset(&b, 0, sizeof b);
    for (rov_setting& s : b.rosbk) {
        rov_default_setting(s);
        s.rov_stdalg = 3;
    }
}

void rov_bank_push(rov_banks& b, const rov_setting& ros, const rov_globphase& rog, int setnr, int tonr) {
    // Copies first: the records pushed may be banks themselves.
    const rov_setting s = ros;
    const rov_globphase g = rog;
    for (int k = rov_nbanks - 1; k > 0; --k) {
        b.rosbk[k] = b.rosbk[k - 1];
        b.rogbk[k] = b.rogbk[k - 1];
        b.setnrbk[k] = b.setnrbk[k - 1];
        b.tonrbk[k] = b.tonrbk[k - 1];
    }
    b.rosbk[0] = s;
    b.rogbk[0] = g;
    b.setnrbk[0] = setnr;
    b.tonrbk[0] = tonr;
}

void rov_bank_rotate(rov_banks& b, const rov_handle& fg, int& setnr, int& tonr) {
    // Three swaps move every group one place along S0 <- S1 <- S2 <- S3 <- S0.
    std::swap(*fg.s, b.rosbk[0]);
    std::swap(*fg.g, b.rogbk[0]);
    std::swap_ranges(fg.t, fg.t + rov_nslots, b.rotbk);
    std::swap(setnr, b.setnrbk[0]);
    std::swap(tonr, b.tonrbk[0]);
    for (int k = 0; k + 1 < rov_nbanks; ++k) {
        std::swap(b.rosbk[k], b.rosbk[k + 1]);
        std::swap(b.rogbk[k], b.rogbk[k + 1]);
        std::swap_ranges(b.rotbk + k * rov_nslots, b.rotbk + (k + 1) * rov_nslots, b.rotbk + (k + 1) * rov_nslots);
        std::swap(b.setnrbk[k], b.setnrbk[k + 1]);
        std::swap(b.tonrbk[k], b.tonrbk[k + 1]);
    }
}

rov_handle rov_bank_handle(rov_banks& b, int k) { return {&b.rosbk[k], &b.rogbk[k], b.rotbk + k * rov_nslots}; }
