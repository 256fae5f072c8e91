// Setting files from arbitrary bytes: decoding never reads past the bytes
// given, a short input leaves the setting untouched, and a whole one encodes
// back to exactly its first 672 bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "files/setting_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // A copy of exactly the input, so that reading past it is caught.
    uint8_t* in = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size) std::memcpy(in, data, size);

    rov_setting s;
    std::memset(&s, 0xa5, sizeof s);
    rov_setting before;
    std::memcpy(&before, &s, sizeof s);

    if (!fi_setting_decode(in, size, s)) {
        if (size >= rov_setting_bytes || std::memcmp(&s, &before, sizeof s) != 0) std::abort();
    } else {
        if (size < rov_setting_bytes) std::abort();
        uint8_t out[rov_setting_bytes];
        fi_setting_encode(s, out);
        if (std::memcmp(out, in, rov_setting_bytes) != 0) std::abort();
    }
    std::free(in);
    return 0;
}
