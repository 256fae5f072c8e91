#include "engine/smpmem.h"

#include <algorithm>

#include "engine/rov.h"

namespace {
uintptr_t addr(const int16_t* p) { return reinterpret_cast<uintptr_t>(p); }
}  // namespace

rov_smpview rov_smpview_of(const int16_t* tab, int64_t len, const rov_smparea& mem) {
    rov_smpview v;
    v.w = tab;
    v.len = static_cast<int32_t>(std::clamp<int64_t>(len, 0, INT32_MAX));
    if (!tab) return v;
    if (tab == sintab) {
        v.hi = 257;
        return v;
    }
    v.hi = v.len;
    const uintptr_t a = addr(tab), e = a + 2 * static_cast<uintptr_t>(v.len);
    const uintptr_t b = addr(mem.begin), z = addr(mem.end);
    if (mem.begin && b < z && a >= b && e <= z) {
        v.lo = -static_cast<int64_t>((a - b) / 2);
        v.hi = static_cast<int64_t>((z - a) / 2);
    }
    return v;
}
