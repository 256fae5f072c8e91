// Arbitrary bytes as a WAV sample: whatever libsndfile makes of them, the
// loader refuses or loads a sample that stays inside its area.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "files/wavload.h"

namespace {
void check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    constexpr int32_t K = 8192;
    fi_sample s;
    std::vector<fi_filemsg> msgs;
    const fi_wav r = fi_sample_load_bytes(data, size, K, s, msgs);
    if (r == fi_wav::loaded) {
        check(s.area.size() == static_cast<std::size_t>(K));
        check(s.length >= 0 && s.length <= K - 24);
        check(s.nwords() >= 0 && 24 + 2 * static_cast<int64_t>(s.nwords()) <= K);
        check(s.rate > 0);
        int64_t sum = 0;
        for (int32_t i = 0; i < s.nwords(); ++i) sum += s.words()[i];
        (void)sum;
    } else {
        check(r == fi_wav::refused && msgs.size() == 1 && s.area.empty());
    }
    return 0;
}
