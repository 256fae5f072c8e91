// The mix file: stereo frames at the output rate from a 16-bit file of one
// or two channels, the short read at the end, and the files refused.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "files/mixfile.h"
#include "tests/files/wav_files.h"

using namespace wavtest;

namespace {

// Reads the whole file in blocks of `block` frames at `rate`; every block
// but the last is full.
std::vector<int16_t> read_all(fi_mixfile& m, int32_t block, int32_t rate) {
    std::vector<int16_t> all, buf(static_cast<std::size_t>(2 * block));
    for (;;) {
        const int32_t n = m.read(buf.data(), block, rate);
        all.insert(all.end(), buf.begin(), buf.begin() + n);
        if (n < 2 * block) break;
    }
    return all;
}

int crossings(const std::vector<int16_t>& w, std::size_t from, std::size_t frames) {
    int c = 0;
    for (std::size_t i = from; i < from + frames; ++i) c += (w[2 * i] < 0) != (w[2 * i + 2] < 0);
    return c;
}

}  // namespace

// Stereo at the output rate: the file's words as they are; mono: each word
// on both channels.
TEST(MixFile, SameRateStereoAndMono) {
    scratch d;
    ASSERT_TRUE(d.sox("-n -r 22050 -b 16 -c 2 st.wav synth 0.5 sine 440 sine 660"));
    ASSERT_TRUE(d.sox("-n -r 22050 -b 16 -c 1 mo.wav synth 0.5 sine 440"));
    fi_mixfile m;
    ASSERT_TRUE(m.open(d / "st.wav"));
    EXPECT_EQ(m.channels(), 2);
    EXPECT_EQ(m.file_rate(), 22050);
    EXPECT_EQ(read_all(m, 1000, 22050), words16(chunk(slurp(d / "st.wav"), "data")));

    ASSERT_TRUE(m.open(d / "mo.wav"));
    EXPECT_EQ(m.channels(), 1);
    const auto mono = words16(chunk(slurp(d / "mo.wav"), "data"));
    const auto got = read_all(m, 7936, 22050);
    ASSERT_EQ(got.size(), 2 * mono.size());
    for (std::size_t i = 0; i < mono.size(); ++i) {
        ASSERT_EQ(got[2 * i], mono[i]) << i;
        ASSERT_EQ(got[2 * i + 1], mono[i]) << i;
    }
}

// A file shorter than one block gives what it has, then nothing.
TEST(MixFile, ShortFileShortCount) {
    scratch d;
    put(d / "tiny.wav", plain_wav(1, 11025, 16, std::vector<uint8_t>(1000, 7)));
    fi_mixfile m;
    ASSERT_TRUE(m.open(d / "tiny.wav"));
    std::vector<int16_t> buf(2 * 7936);
    EXPECT_EQ(m.read(buf.data(), 7936, 11025), 1000);
    EXPECT_EQ(m.read(buf.data(), 7936, 11025), 0);
    m.close();
    EXPECT_FALSE(m.is_open());
    EXPECT_EQ(m.read(buf.data(), 7936, 11025), 0);
}

// A file at another rate is converted: the length follows the ratio, a
// sine keeps its frequency; a change of the output rate mid-way goes on
// where the file stood.
TEST(MixFile, OtherRateConverted) {
    scratch d;
    ASSERT_TRUE(d.sox("-n -r 11025 -b 16 -c 1 lo.wav synth 1 sine 441"));
    ASSERT_TRUE(d.sox("-n -r 48000 -b 16 -c 2 hi.wav synth 1 sine 441 sine 441"));
    fi_mixfile m;
    ASSERT_TRUE(m.open(d / "lo.wav"));
    auto got = read_all(m, 7936, 44100);
    EXPECT_NEAR(static_cast<double>(got.size() / 2), 44100, 4);
    EXPECT_NEAR(crossings(got, 1000, 22050), 441, 2);
    ASSERT_TRUE(m.open(d / "hi.wav"));
    got = read_all(m, 1500, 22050);
    EXPECT_NEAR(static_cast<double>(got.size() / 2), 22050, 4);
    EXPECT_NEAR(crossings(got, 1000, 11025), 441, 2);

    ASSERT_TRUE(m.open(d / "lo.wav"));
    std::vector<int16_t> buf(2 * 5000);
    ASSERT_EQ(m.read(buf.data(), 5000, 11025), 10000);
    got = read_all(m, 7936, 22050);
    EXPECT_NEAR(static_cast<double>(got.size() / 2), 2 * (11025 - 5000), 4);
}

// Only 16-bit files of one or two channels are mixed.
TEST(MixFile, OtherFilesRefused) {
    scratch d;
    ASSERT_TRUE(d.sox("-n -r 22050 -b 8 -c 1 u8.wav synth 0.1 sine 440"));
    ASSERT_TRUE(d.sox("-n -r 22050 -b 24 -c 2 s24.wav synth 0.1 sine 440"));
    ASSERT_TRUE(d.sox("-n -r 22050 -e floating-point -b 32 -c 1 f.wav synth 0.1 sine 440"));
    ASSERT_TRUE(d.sox("-n -r 22050 -b 16 -c 3 three.wav synth 0.1 sine 440"));
    ASSERT_TRUE(d.sox("-n -r 22050 -b 16 -c 2 ok.wav synth 0.1 sine 440"));
    put(d / "garbage.wav", std::vector<uint8_t>(300, 0x5a));
    fi_mixfile m;
    for (const char* f : {"u8.wav", "s24.wav", "f.wav", "three.wav", "garbage.wav", "missing.wav"}) {
        EXPECT_FALSE(m.open(d / f)) << f;
        EXPECT_FALSE(m.is_open()) << f;
        // Only the file that is not there could not be opened.
        EXPECT_EQ(m.open_error(), std::string(f) == "missing.wav" ? ENOENT : 0) << f;
    }
    // A refused file closes the one open before.
    ASSERT_TRUE(m.open(d / "ok.wav"));
    EXPECT_FALSE(m.open(d / "u8.wav"));
    EXPECT_FALSE(m.is_open());
}
