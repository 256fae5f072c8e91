// The sample conversions on arbitrary samples: Expand, Compress and Optimize
// in any order on a sample of any length inside a buffer of any capacity.
// The sample stays inside its area, Expand changes nothing when it has no
// room, Compress halves, Optimize never raises a peak above full scale.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "files/convert.h"

namespace {
void check(bool ok) {
    if (!ok) std::abort();
}
// The peak of the words a conversion works on: length / 2 from offset 24.
int peak(const fi_sample& s) {
    int p = 0;
    const int32_t n = std::min<int32_t>(s.length / 2, static_cast<int32_t>((s.area.size() - 24) / 2));
    for (int32_t i = 0; i < n; ++i) p = std::max(p, std::abs(static_cast<int>(s.words()[i])));
    return p;
}
}  // namespace

// Input: capacity (2 bytes), length (2 bytes), rate (2 bytes), the steps
// (1 byte each up to a 0xff), then the sample's words.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 7) return 0;
    const int32_t K = fi_sample_min_capacity + (data[0] | data[1] << 8) % 16384;
    fi_sample s;
    s.area.assign(static_cast<std::size_t>(K), 0);
    s.length = (data[2] | data[3] << 8) % (K - 23);
    s.rate = 1 + (data[4] | data[5] << 8);
    std::size_t i = 6;
    const std::size_t steps = i;
    while (i < size && data[i] != 0xff && i - steps < 16) ++i;
    const std::size_t nsteps = i - steps;
    if (i < size) ++i;
    std::memcpy(s.area.data(), data + i, std::min(size - i, s.area.size()));
    const int32_t capacity = K - 96;
    for (std::size_t k = 0; k < nsteps; ++k) {
        const int32_t before = s.length;
        const fi_sample keep = s;
        switch (data[steps + k] % 3) {
        case 0:
            if (!fi_sample_expand(s, capacity)) {
                check(s.area == keep.area && s.length == before);
            } else {
                check(s.length == 2 * before && s.length <= capacity);
            }
            break;
        case 1:
            fi_sample_compress(s);
            check(s.length == before / 2);
            break;
        default: {
            // Scaled, the peak lands at most at 16384 * 16 / 9.
            if (fi_sample_optimize(s) != 0) check(peak(s) <= 29127);
            else check(s.area == keep.area);
            check(s.length == before);
            break;
        }
        }
        check(s.area.size() == static_cast<std::size_t>(K) && s.length >= 0 && s.length <= K - 24);
        check(24 + 2 * static_cast<int64_t>(s.nwords()) <= K);
    }
    return 0;
}
