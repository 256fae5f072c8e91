#include "player/fuzz.h"

#include <algorithm>

namespace {

// 512 times the sine table interpolated at v / 512 table steps, the table
// index moved on by `turn` steps; one period is 131072 units of v.
inline int32_t sine_at(const int16_t* sintab, int32_t v, int32_t turn = 0) {
    const int32_t k = (turn + (v >> 9)) & 255;
    const int32_t f = v & 511;
    return (512 - f) * sintab[k] + f * sintab[k + 1];
}

inline int16_t low16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v))); }

// The cross-channel chorus: frames from both ends towards the middle, the
// delay shrinking from the ends to nothing at the middle.
void chorus(int16_t* w, int32_t origlen, int degree) {
    if (origlen < 3072) return;
    // Beyond its range the delay would reach outside the buffer.
    degree = std::clamp(degree, wv_fuzz_degree_min, wv_fuzz_degree_max);
    const int32_t n = origlen / 2;
    // The wet sum of a channel read from the other channel `c` (0 left, 1
    // right) at frames a and b, weighted 128 - f and f.
    auto wet = [w](int c, int32_t a, int32_t b, int32_t f) {
        return static_cast<int64_t>(128 - f) * w[2 * a + c] + static_cast<int64_t>(f) * w[2 * b + c];
    };
    for (int32_t F = 1; 2 * F < n; ++F) {
        const int32_t B = n - 1 - F;
        const int32_t v = static_cast<int32_t>(static_cast<int64_t>(origlen - 4 * F) * degree / 100);
        const int32_t D = v >> 7, f = v & 127;
        auto mix = [F](int16_t s, int64_t S) -> int16_t {
            if (F < 512) return low16(((1536 - F) * static_cast<int64_t>(s) + ((S * 2 * F) >> 7)) >> 11);
            return low16(((S >> 7) + s) >> 1);
        };
        for (int c = 0; c < 2; ++c) w[2 * F + c] = mix(w[2 * F + c], wet(1 - c, F + D, F + D + 1, f));
        for (int c = 0; c < 2; ++c) w[2 * B + c] = mix(w[2 * B + c], wet(1 - c, B - D, B - D - 1, f));
    }
}

}  // namespace

void wvfuzz(int16_t* w, int32_t origlen, const int16_t* sintab, int16_t degree_in, int16_t type) {
    const int32_t degree = degree_in;
    switch (type) {
    case wv_fuzz_clip:
        for (int32_t i = 0; i < origlen; ++i) {
            const int32_t v = w[i] * degree / 100;
            w[i] = static_cast<int16_t>(std::clamp(v, -16384, 16383));
        }
        break;
    case wv_fuzz_knee:
        for (int32_t i = 0; i < origlen; ++i) {
            const int32_t v = std::clamp(w[i] * degree / 100, -32768, 32767);
            w[i] = low16(sine_at(sintab, v) >> 9);
        }
        break;
    case wv_fuzz_sine:
        for (int32_t i = 0; i < origlen; ++i) w[i] = low16(sine_at(sintab, w[i] * degree / 100) >> 9);
        break;
    case wv_fuzz_reso:
        for (int32_t i = 0; i < origlen; ++i) {
            const int32_t s = w[i];
            w[i] = low16(((7 * s) >> 3) + (sine_at(sintab, s * degree / 25) >> 12));
        }
        break;
    case wv_fuzz_reschor:
        for (int32_t i = 0; i < origlen; ++i) {
            const int32_t s = w[i];
            const int32_t turn = static_cast<int32_t>(static_cast<int64_t>(i) * 256 / origlen);
            w[i] = low16(((7 * s) >> 3) + (sine_at(sintab, s * degree / 25, turn) >> 12));
        }
        break;
    case wv_fuzz_chorus: chorus(w, origlen, degree); break;
    case wv_fuzz_bias: {
        const int32_t t = 10 * degree;
        for (int32_t i = 0; i < origlen; ++i) {
            const int32_t s = w[i];
            w[i] = low16(s > t ? s - t : s < -t ? s + t : 0);
        }
        break;
    }
    default: break;
    }
}
