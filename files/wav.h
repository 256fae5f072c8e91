// WAV files: the canonical 44-byte RIFF header.
#pragma once

#include <cstdint>

constexpr int wav_header_bytes = 44;

// Fills a canonical PCM header for `databytes` bytes of sample data.
void wav_header44(uint8_t out[wav_header_bytes], int channels, int32_t rate, int bits, uint32_t databytes);
