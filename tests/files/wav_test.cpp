// The 44-byte WAV header, field by field, as a player reads it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "files/wav.h"

namespace {

uint32_t le16(const uint8_t* h, int at) { return h[at] | h[at + 1] << 8; }
uint32_t le32(const uint8_t* h, int at) {
    return h[at] | h[at + 1] << 8 | h[at + 2] << 16 | static_cast<uint32_t>(h[at + 3]) << 24;
}
std::string tag(const uint8_t* h, int at) { return std::string(reinterpret_cast<const char*>(h + at), 4); }

struct fmt {
    int channels;
    int32_t rate;
    int bits;
    uint32_t databytes;
};

}  // namespace

// One case written out byte by byte, so that the byte order itself is
// checked and not only the decoding of it.
TEST(WavHeader, StereoSixteenBitBytesAsWritten) {
    uint8_t h[wav_header_bytes];
    std::memset(h, 0xee, sizeof h);
    wav_header44(h, 2, 44100, 16, 0x01020304);
    const uint8_t want[wav_header_bytes] = {
        'R',  'I',  'F',  'F',  0x28, 0x03, 0x02, 0x01,  // RIFF, data + 36
        'W',  'A',  'V',  'E',  'f',  'm',  't',  ' ',   //
        0x10, 0x00, 0x00, 0x00,                          // format chunk: 16 bytes
        0x01, 0x00, 0x02, 0x00,                          // PCM, 2 channels
        0x44, 0xac, 0x00, 0x00,                          // 44100 Hz
        0x10, 0xb1, 0x02, 0x00,                          // 176400 bytes per second
        0x04, 0x00, 0x10, 0x00,                          // block align 4, 16 bits
        'd',  'a',  't',  'a',  0x04, 0x03, 0x02, 0x01,  // data size
    };
    for (int i = 0; i < wav_header_bytes; ++i) EXPECT_EQ(h[i], want[i]) << "byte " << i;
}

// Every field for the formats the program writes: 16-bit stereo output and
// 8-bit or 16-bit mono samples, at the rates of the rate table.
TEST(WavHeader, EveryFieldForStereoAndMonoAtSeveralRates) {
    const fmt cases[] = {
        {2, 44100, 16, 0},        {2, 22050, 16, 352800},  {2, 11025, 16, 4},
        {2, 5512, 16, 1234568},   {1, 11025, 8, 11025},    {1, 8000, 8, 1},
        {1, 22050, 8, 0x7fffffff}, {1, 44100, 16, 88200},
    };
    for (const fmt& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " ch, " + std::to_string(c.rate) + " Hz, " +
                     std::to_string(c.bits) + " bits, " + std::to_string(c.databytes) + " bytes");
        uint8_t h[wav_header_bytes];
        std::memset(h, 0xee, sizeof h);
        wav_header44(h, c.channels, c.rate, c.bits, c.databytes);
        const uint32_t align = static_cast<uint32_t>(c.channels * (c.bits / 8));
        EXPECT_EQ(tag(h, 0), "RIFF");
        EXPECT_EQ(le32(h, 4), c.databytes + 36);
        EXPECT_EQ(tag(h, 8), "WAVE");
        EXPECT_EQ(tag(h, 12), "fmt ");
        EXPECT_EQ(le32(h, 16), 16u);
        EXPECT_EQ(le16(h, 20), 1u);
        EXPECT_EQ(le16(h, 22), static_cast<uint32_t>(c.channels));
        EXPECT_EQ(le32(h, 24), static_cast<uint32_t>(c.rate));
        EXPECT_EQ(le32(h, 28), static_cast<uint32_t>(c.rate) * align);
        EXPECT_EQ(le16(h, 32), align);
        EXPECT_EQ(le16(h, 34), static_cast<uint32_t>(c.bits));
        EXPECT_EQ(tag(h, 36), "data");
        EXPECT_EQ(le32(h, 40), c.databytes);
    }
}

// The largest data size a WAV file can describe: the RIFF size reaches the
// top of 32 bits without wrapping.
TEST(WavHeader, LargestDataSizeFillsTheRiffSize) {
    uint8_t h[wav_header_bytes];
    wav_header44(h, 2, 44100, 16, 0xffffffffu - 36);
    EXPECT_EQ(le32(h, 4), 0xffffffffu);
    EXPECT_EQ(le32(h, 40), 0xffffffffu - 36);
}
