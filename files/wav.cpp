#include "files/wav.h"

#include <cstring>

namespace {
void put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    put16(p, v & 0xffff);
    put16(p + 2, v >> 16);
}
}  // namespace

void wav_header44(uint8_t out[wav_header_bytes], int channels, int32_t rate, int bits, uint32_t databytes) {
    const uint32_t align = static_cast<uint32_t>(channels * bits / 8);
    std::memcpy(out, "RIFF", 4);
    put32(out + 4, 36 + databytes);
    std::memcpy(out + 8, "WAVEfmt ", 8);
    put32(out + 16, 16);
    put16(out + 20, 1);  // PCM
    put16(out + 22, static_cast<uint32_t>(channels));
    put32(out + 24, static_cast<uint32_t>(rate));
    put32(out + 28, static_cast<uint32_t>(rate) * align);
    put16(out + 32, align);
    put16(out + 34, static_cast<uint32_t>(bits));
    std::memcpy(out + 36, "data", 4);
    put32(out + 40, databytes);
}
