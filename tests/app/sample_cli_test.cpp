// `tessellon sample expand|compress|optimize` and `--blowup` of render and
// play, run as a user runs them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/run_program.h"
#include "support/scratch.h"

namespace fs = std::filesystem;

namespace {

using scratch = test_scratch;

std::vector<uint8_t> slurp(const std::string& p) { return test_bytes(p); }

void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

// A 16-bit mono WAV file of the given words.
void write_wav(const std::string& path, const std::vector<int16_t>& w, uint32_t rate) {
    std::vector<uint8_t> b;
    for (char c : std::string("RIFF")) b.push_back(static_cast<uint8_t>(c));
    put32(b, 36 + 2 * static_cast<uint32_t>(w.size()));
    for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<uint8_t>(c));
    put32(b, 16);
    put16(b, 1);
    put16(b, 1);
    put32(b, rate);
    put32(b, 2 * rate);
    put16(b, 2);
    put16(b, 16);
    for (char c : std::string("data")) b.push_back(static_cast<uint8_t>(c));
    put32(b, 2 * static_cast<uint32_t>(w.size()));
    for (int16_t s : w) put16(b, static_cast<uint16_t>(s));
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

uint32_t le32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
std::vector<int16_t> words(const std::vector<uint8_t>& b) {
    std::vector<int16_t> w;
    for (std::size_t i = 44; i + 1 < b.size(); i += 2) w.push_back(static_cast<int16_t>(b[i] | b[i + 1] << 8));
    return w;
}

}  // namespace

TEST(SampleCommand, CompressExpandOptimizeAFile) {
    scratch d;
    write_wav(d / "in.wav", {16, 16, 16, 16, 1, 2, 3, 4}, 22050);
    program_result r = run_program("sample expand --adjust-rate " + d / "in.wav" + " " + d / "x2.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    std::vector<uint8_t> b = slurp(d / "x2.wav");
    ASSERT_GE(b.size(), 44u);
    EXPECT_EQ(le32(b, 24), 44100u);
    EXPECT_EQ(le32(b, 40), 32u);
    const std::vector<int16_t> w = words(b);
    ASSERT_EQ(w.size(), 16u);
    EXPECT_EQ((std::vector<int16_t>(w.begin(), w.begin() + 4)), (std::vector<int16_t>{8, 16, 17, 16}));

    r = run_program("sample compress " + d / "in.wav" + " " + d / "half.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    b = slurp(d / "half.wav");
    EXPECT_EQ(le32(b, 24), 22050u);  // the rate stays without --adjust-rate
    EXPECT_EQ(words(b), (std::vector<int16_t>{16, 16, 1, 3}));

    write_wav(d / "quiet.wav", {-300, 200}, 8000);
    r = run_program("sample optimize " + d / "quiet.wav" + " " + d / "loud.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(words(slurp(d / "loud.wav")), (std::vector<int16_t>{-28912, 200 * 16384 / 170}));
}

TEST(SampleCommand, NoRoomToExpandAndBadInput) {
    scratch d;
    write_wav(d / "big.wav", std::vector<int16_t>(8000, 100), 22050);
    // 16000 bytes of sample need 32096 bytes: more than a 16 KiB buffer.
    program_result r = run_program("sample expand --buffer-kb 16 " + d / "big.wav" + " " + d / "o.wav");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("no room"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(d / "o.wav"));
    r = run_program("sample expand --buffer-kb 64 " + d / "big.wav" + " " + d / "o.wav");
    EXPECT_EQ(r.status, 0) << r.out;

    EXPECT_EQ(run_program("sample").status, 2);
    EXPECT_EQ(run_program("sample stretch a b").status, 2);
    EXPECT_EQ(run_program("sample expand " + d / "big.wav").status, 2);
    EXPECT_EQ(run_program("sample expand --buffer-kb 2 a b").status, 2);
    r = run_program("sample expand " + d / "missing.wav" + " " + d / "o2.wav");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("missing.wav"), std::string::npos) << r.out;
    std::ofstream(d / "junk.wav") << std::string(100, 'x');
    r = run_program("sample compress " + d / "junk.wav" + " " + d / "o3.wav");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_FALSE(fs::exists(d / "o3.wav"));
    r = run_program("sample compress " + d / "big.wav" + " " + d / "no/dir/o.wav");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(run_program("sample --help").status, 0);
}

TEST(BlowupOption, RenderRaisesTheRateAndKeepsTheLength) {
    scratch d;
    // Default set 0 plays at index 12 (5512 Hz); cubic 2x plays at index 24.
    program_result r = run_program("render --algorithm 1 --blowup 3 --buffers 2 -o " + d / "b.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    std::vector<uint8_t> b = slurp(d / "b.wav");
    EXPECT_EQ(le32(b, 24), 11025u);
    EXPECT_EQ(le32(b, 40), 2u * (32768 / 4 - 256) * 4);
    r = run_program("render --algorithm 1 --buffers 2 -o " + d / "n.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(le32(slurp(d / "n.wav"), 24), 5512u);
    // Every method gives whole buffers of sound.
    for (int m = 0; m <= 6; ++m) {
        r = run_program("render --algorithm 0 --blowup " + std::to_string(m) + " --buffers 1 -o " + d / "m.wav");
        EXPECT_EQ(r.status, 0) << m << r.out;
    }
    for (const char* bad : {"7", "-1", "x", ""}) {
        r = run_program(std::string("render --blowup ") + bad + " --buffers 1 -o " + d / "x.wav");
        EXPECT_EQ(r.status, 2) << bad;
    }
    r = run_program("play --blowup 9 --seconds 1");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("--blowup"), std::string::npos);
}

TEST(BlowupOption, SamplingRowRendersWithASample) {
    scratch d;
    std::vector<int16_t> w(3000);
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = static_cast<int16_t>((i * 37) % 2000 - 1000);
    write_wav(d / "s.wav", w, 22050);
    for (int row : {6, 7, 8, 15, 20}) {
        const program_result r = run_program("render --algorithm " + std::to_string(row) + " --sample " + d / "s.wav" +
                                             " --blowup 6 --buffers 3 -o " + d / "o.wav");
        EXPECT_EQ(r.status, 0) << row << r.out;
        const std::vector<int16_t> o = words(slurp(d / "o.wav"));
        bool sound = false;
        for (int16_t v : o) sound |= v != 0;
        EXPECT_TRUE(sound) << row;
    }
}

TEST(SampleCommand, AdjustedRatesOutsideThePlayableRangeAndCutsAreTold) {
    scratch d;
    write_wav(d / "slow.wav", {100, 200, 300, 400}, 1);
    program_result r = run_program("sample compress --adjust-rate " + d / "slow.wav" + " " + d / "o.wav");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("--adjust-rate would give 0 Hz, outside 2756..50000 Hz"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(d / "o.wav"));
    EXPECT_EQ(run_program("sample compress " + d / "slow.wav" + " " + d / "o.wav").status, 0);  // the file's own rate

    write_wav(d / "big.wav", std::vector<int16_t>(8000, 100), 22050);
    r = run_program("sample optimize --buffer-kb 3 " + d / "big.wav" + " " + d / "o2.wav");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Sound may be incomplete!"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2976 of its 16000 bytes of sample kept (0.067 of 0.363 s)"), std::string::npos) << r.out;
}
