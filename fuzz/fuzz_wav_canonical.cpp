// WAV files in the plain 44-byte layout: the first bytes of the input choose
// the capacity and the format fields, the rest is the body after the
// header. Loaded samples must stay inside their area.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "files/wav.h"
#include "files/wavload.h"

namespace {
void check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    const int32_t K = 3072 + static_cast<int32_t>(data[0] | data[1] << 8) % 20000;
    const int channels = data[2] % 4;
    const int bits = data[3] & 0x80 ? data[3] : (data[3] & 1 ? 16 : 8);
    const int32_t rate = static_cast<int32_t>(data[4] | data[5] << 8) + 1;
    const std::size_t body = size - 8;
    uint32_t declared = static_cast<uint32_t>(body);
    switch (data[6] % 4) {
        case 1: declared = 0; break;
        case 2: declared = static_cast<uint32_t>(body / 2); break;
        case 3: declared = 0xffffffffu - data[7]; break;
        default: break;
    }
    std::vector<uint8_t> file(wav_header_bytes + body);
    wav_header44(file.data(), channels, rate, bits, declared);
    for (std::size_t i = 0; i < body; ++i) file[wav_header_bytes + i] = data[8 + i];

    fi_sample s;
    std::vector<fi_filemsg> msgs;
    const fi_wav r = fi_sample_load_bytes(file.data(), file.size(), K, s, msgs);
    if (r == fi_wav::loaded) {
        check(s.area.size() == static_cast<std::size_t>(K));
        check(s.length >= 0 && s.length <= K - 24);
        check(s.nwords() >= 0 && 24 + 2 * static_cast<int64_t>(s.nwords()) <= K);
        check(s.nwords() == (s.length > 24 ? (s.length - 24) / 2 : 0));
        int64_t sum = 0;
        for (int32_t i = 0; i < s.nwords(); ++i) sum += s.words()[i];
        (void)sum;
    } else {
        check(s.area.empty() && s.length == 0);
    }
    for (const auto& m : msgs) check(!m.caption.empty() && !m.text.empty());
    return 0;
}
