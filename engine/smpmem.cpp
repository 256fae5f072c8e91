#include "engine/smpmem.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "engine/rov.h"

namespace {

struct region {
    const rov_smpmem* owner;
    uintptr_t begin, end;  // bytes [begin, end)
};

// Never destroyed: owners that are themselves static objects unregister
// during exit, in whatever order their destructors run.
std::mutex& lock() {
    static std::mutex* m = new std::mutex;
    return *m;
}
std::vector<region>& regions() {
    static std::vector<region>* r = new std::vector<region>;
    return *r;
}

uintptr_t addr(const int16_t* p) { return reinterpret_cast<uintptr_t>(p); }

}  // namespace

void rov_smpmem::set(const int16_t* begin, const int16_t* end) {
    clear();
    if (!begin || end <= begin) return;
    std::lock_guard<std::mutex> g(lock());
    regions().push_back({this, addr(begin), addr(end)});
    held_ = true;
}

void rov_smpmem::clear() {
    if (!held_) return;
    std::lock_guard<std::mutex> g(lock());
    auto& r = regions();
    r.erase(std::remove_if(r.begin(), r.end(), [this](const region& x) { return x.owner == this; }), r.end());
    held_ = false;
}

void rov_smpmem::take(rov_smpmem& o) noexcept {
    if (!o.held_) return;
    std::lock_guard<std::mutex> g(lock());
    for (region& r : regions())
        if (r.owner == &o) r.owner = this;
    o.held_ = false;
    held_ = true;
}

rov_smpview rov_smpview_of(const int16_t* tab, int64_t len) {
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
    std::lock_guard<std::mutex> g(lock());
    for (const region& r : regions()) {
        if (a >= r.begin && e <= r.end) {
            v.lo = -static_cast<int64_t>((a - r.begin) / 2);
            v.hi = static_cast<int64_t>((r.end - a) / 2);
            break;
        }
    }
    return v;
}
