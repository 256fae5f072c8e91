#include "files/convert.h"

#include "engine/rov.h"

#include <algorithm>
#include <cstdlib>

namespace {

inline int16_t lo16(int32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }

// The words of a sample from its first word: `want` words, never past its
// buffer.
int16_t* sample_words(fi_sample& s, int64_t want, int64_t& n) {
    const int64_t held = s.area.size() >= 24 ? static_cast<int64_t>(s.area.size() - 24) / 2 : 0;
    n = std::clamp<int64_t>(want, 0, held);
    return held > 0 ? reinterpret_cast<int16_t*>(s.area.data() + 24) : nullptr;
}

}  // namespace

void smpexpand(int16_t* w, long origlen, char expand) {
    if (!w || origlen <= 0) return;
    const long n = origlen;
    if (!expand) {
        for (long i = 0; i < n / 2; ++i) w[i] = w[2 * i];
        return;
    }
    for (long i = n - 1; i >= 0; --i) w[2 * i + 1] = w[i];
    auto x = [w](long k) -> int32_t { return w[2 * k + 1]; };
    w[0] = lo16(x(0) >> 1);
    if (n >= 3) w[2] = lo16((9 * (x(0) + x(1)) - x(2)) >> 4);
    for (long k = 2; k <= n - 2; ++k) w[2 * k] = lo16((9 * (x(k - 1) + x(k)) - x(k - 2) - x(k + 1)) >> 4);
    if (n >= 2) w[2 * n - 2] = lo16((x(n - 2) + x(n - 1)) >> 1);
}

int smplopt(int16_t* w, long origlen, char doit) {
    if (!w || origlen <= 0) return 0;
    int32_t mx = 0, mn = 0;
    for (long i = 0; i < origlen; ++i) {
        if (w[i] > mx)
            mx = w[i];
        else if (w[i] < mn)
            mn = w[i];
    }
    const int32_t peak = std::max(mx, -mn);
    if (!doit) return peak;
    const int32_t g = peak * 9 / 16;
    if (g == 0) return 0;
    for (long i = 0; i < origlen; ++i) w[i] = lo16(w[i] * 16384 / (g + 2));
    return peak;
}

bool fi_sample_expand(fi_sample& s, int32_t capacity) {
    if (s.length <= 0 || capacity / 2 < s.length) return false;
    int64_t n = 0;
    int16_t* w = sample_words(s, s.length / 2, n);
    // The doubled words must lie inside the buffer too.
    int64_t room = 0;
    sample_words(s, 2 * n, room);
    if (!w || room < 2 * n) return false;
    smpexpand(w, static_cast<long>(n), 1);
    s.length *= 2;
    return true;
}

bool fi_sample_compress(fi_sample& s) {
    if (s.length <= 0) return false;
    int64_t n = 0;
    int16_t* w = sample_words(s, s.length / 2, n);
    if (!w) return false;
    smpexpand(w, static_cast<long>(n), 0);
    s.length /= 2;
    return true;
}

int fi_sample_optimize(fi_sample& s) {
    int64_t n = 0;
    int16_t* w = sample_words(s, s.length / 2, n);
    return smplopt(w, static_cast<long>(n), 1);
}

int32_t fi_rate_min() { return pbrates[0]; }
int32_t fi_rate_max() { return pbrates[pbrates_n - 1]; }
bool fi_rate_playable(long rate) { return rate >= fi_rate_min() && rate <= fi_rate_max(); }
