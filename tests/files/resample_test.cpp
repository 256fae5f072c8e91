// The streaming converter: pieces of any size give the same output as one
// piece, the flushed tail completes the length, and equal input gives equal
// output (no dither).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "files/resample.h"

namespace {

std::vector<int16_t> tone(std::size_t frames, int channels) {
    std::vector<int16_t> w(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = static_cast<int16_t>(9000 * std::sin(0.05 * static_cast<double>(i / channels)) + (i % 2) * 500);
    return w;
}

std::vector<int16_t> convert(const std::vector<int16_t>& in, int channels, double from, double to, std::size_t piece) {
    fi_resampler rs(channels, from, to);
    std::vector<int16_t> out;
    const std::size_t frames = in.size() / static_cast<std::size_t>(channels);
    for (std::size_t at = 0; at < frames; at += piece)
        rs.process(in.data() + at * static_cast<std::size_t>(channels), std::min(piece, frames - at), out);
    rs.flush(out);
    return out;
}

}  // namespace

TEST(Resampler, PiecesJoinAndLengthFollowsRatio) {
    for (int channels : {1, 2}) {
        for (auto [from, to] : {std::pair{44100.0, 48000.0}, {5512.0, 44100.0}, {48000.0, 11025.0}}) {
            const auto in = tone(20000, channels);
            const auto whole = convert(in, channels, from, to, 20000);
            EXPECT_NEAR(static_cast<double>(whole.size() / channels), 20000 * to / from, 2) << from << "->" << to;
            EXPECT_EQ(convert(in, channels, from, to, 7), whole);
            EXPECT_EQ(convert(in, channels, from, to, 4096), whole);
        }
    }
}

// After a flush the converter starts afresh: the same input converts the same.
TEST(Resampler, FlushStartsAfresh) {
    const auto in = tone(3000, 2);
    fi_resampler rs(2, 22050, 44100);
    std::vector<int16_t> a, b;
    rs.process(in.data(), 3000, a);
    rs.flush(a);
    rs.process(in.data(), 3000, b);
    rs.flush(b);
    EXPECT_EQ(a, b);
}
