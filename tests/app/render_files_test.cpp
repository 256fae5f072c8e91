// `tessellon render` with files: a setup file, a sample, a mix file, and
// output converted to a standard rate; checked with libsndfile and sox as
// other programs read the results.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/run_program.h"
#include "audio/options.h"
#include "audio/setup.h"
#include "files/setup_file.h"
#include "support/scratch.h"

namespace fs = std::filesystem;

namespace {

using scratch = test_scratch;

std::vector<uint8_t> slurp(const std::string& p) { return test_bytes(p); }

// The frames of a sound file as libsndfile reads it.
struct sound {
    SF_INFO info{};
    std::vector<int16_t> w;
};
sound read_sound(const std::string& path) {
    sound s;
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &s.info);
    if (!f) return s;
    s.w.resize(static_cast<std::size_t>(s.info.frames * s.info.channels));
    sf_readf_short(f, s.w.data(), s.info.frames);
    sf_close(f);
    return s;
}

bool have_sox() { return std::system("command -v sox >/dev/null 2>&1") == 0; }

const std::string base = "render --algorithm 0 --set 4 --buffers 6 ";  // set 4 plays at 11025 Hz

}  // namespace

TEST(RenderFiles, OutRateConvertsToAStandardRate) {
    scratch tmp;
    auto r = run_program(base + "-o " + tmp / "a.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    r = run_program(base + "--out-rate 48000 -o " + tmp / "b.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("written at 48000 Hz"), std::string::npos) << r.out;
    const sound a = read_sound(tmp / "a.wav"), b = read_sound(tmp / "b.wav");
    ASSERT_EQ(a.info.samplerate, 11025);
    ASSERT_EQ(b.info.samplerate, 48000);
    EXPECT_EQ(b.info.channels, 2);
    // The same time: 6 buffers of 7936 frames.
    EXPECT_NEAR(static_cast<double>(b.info.frames) / 48000, 6.0 * 7936 / 11025, 0.002);
    // The same loudness (a converter, not a different sound).
    auto rms = [](const sound& s) {
        double e = 0;
        for (int16_t v : s.w) e += double(v) * v;
        return std::sqrt(e / static_cast<double>(s.w.size()));
    };
    EXPECT_NEAR(rms(b) / rms(a), 1.0, 0.05);
    // Into a pipe the header cannot be patched: the planned size holds.
    r = run_program(base + "--out-rate 44100 -o /dev/stdout", "2>/dev/null > " + tmp / "p.wav");
    ASSERT_EQ(r.status, 0);
    const sound p = read_sound(tmp / "p.wav");
    EXPECT_EQ(p.info.samplerate, 44100);
    EXPECT_EQ(slurp(tmp / "p.wav").size(), 44 + static_cast<std::size_t>(p.info.frames) * 4);
    // Raw samples are converted too.
    r = run_program(base + "--out-rate 22050 --raw -o " + tmp / "r.raw");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NEAR(static_cast<double>(fs::file_size(tmp / "r.raw")) / 4, 2.0 * 6 * 7936, 64);
    EXPECT_EQ(run_program(base + "--out-rate 300 -o " + tmp / "x.wav").status, 2);
}

TEST(RenderFiles, MixFileIsAddedAtItsLevelAndConverted) {
    if (!have_sox()) GTEST_SKIP() << "sox is not installed";
    scratch tmp;
    // A mono 16-bit tone at another rate than the set's, with a comment chunk.
    ASSERT_EQ(std::system(("sox -n -r 8000 -b 16 -c 1 --comment hello " + tmp / "m.wav" +
                           " synth 10 sine 300 vol 0.3 2>/dev/null").c_str()),
              0);
    auto r = run_program(base + "-o " + tmp / "plain.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    r = run_program(base + "--mix " + tmp / "m.wav" + " --mix-level 0 -o " + tmp / "zero.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(slurp(tmp / "zero.wav"), slurp(tmp / "plain.wav"));  // level 0 adds nothing
    r = run_program(base + "--mix " + tmp / "m.wav" + " --mix-level 100 -o " + tmp / "mixed.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    const sound plain = read_sound(tmp / "plain.wav"), mixed = read_sound(tmp / "mixed.wav");
    ASSERT_EQ(plain.w.size(), mixed.w.size());
    // The difference is the tone, on both channels alike, at 300 Hz.
    std::vector<double> d(plain.w.size() / 2);
    for (std::size_t i = 0; i < d.size(); ++i) {
        const int l = static_cast<int16_t>(mixed.w[2 * i] - plain.w[2 * i]);
        const int rr = static_cast<int16_t>(mixed.w[2 * i + 1] - plain.w[2 * i + 1]);
        EXPECT_EQ(l, rr) << i;
        d[i] = l;
        if (l != rr) break;
    }
    int crossings = 0;
    for (std::size_t i = 1000; i < 12025; ++i) crossings += (d[i - 1] < 0) != (d[i] < 0);
    EXPECT_NEAR(crossings, 600, 6);  // one second at 11025 Hz of a 300 Hz tone
    // What is not a 16-bit file is refused with a message.
    ASSERT_EQ(std::system(("sox -n -r 8000 -b 24 " + tmp / "m24.wav" + " synth 1 sine 300 2>/dev/null").c_str()), 0);
    r = run_program(base + "--mix " + tmp / "m24.wav" + " -o " + tmp / "x.wav");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("not a 16 bit *.WAV file"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(tmp / "x.wav"));
}

TEST(RenderFiles, SampleFileIsLoadedOrRefusedWithItsMessage) {
    if (!have_sox()) GTEST_SKIP() << "sox is not installed";
    scratch tmp;
    ASSERT_EQ(std::system(("sox -n -r 22050 -b 24 -c 2 " + tmp / "s.wav" + " synth 0.2 saw 200 2>/dev/null").c_str()),
              0);
    auto r = run_program(base + "-o " + tmp / "plain.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    r = run_program(base + "--sample " + tmp / "s.wav" + " -o " + tmp / "smp.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    // Row 0 plays windows of a loaded sample: the sound differs.
    EXPECT_NE(slurp(tmp / "smp.wav"), slurp(tmp / "plain.wav"));
    // A long sample is cut to the buffer and said so.
    ASSERT_EQ(std::system(("sox -n -r 22050 -b 16 -c 1 " + tmp / "long.wav" + " synth 5 sine 200 2>/dev/null").c_str()), 0);
    r = run_program(base + "--sample " + tmp / "long.wav" + " -o " + tmp / "l.wav");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Sound may be incomplete!"), std::string::npos) << r.out;
    // Garbage is refused and nothing is written.
    std::ofstream(tmp / "junk.wav") << "this is no sound file at all";
    r = run_program(base + "--sample " + tmp / "junk.wav" + " -o " + tmp / "j.wav");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("unsupported WAV or illegal file format"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(tmp / "j.wav"));
}

TEST(RenderFiles, SetupFileSetsTheOptionsUnderTheCommandLine) {
    scratch tmp;
    wv_options o;
    o.maxv = 1;
    o.bufszorig = 8192;
    o.stereoset = false;  // 8-bit mono
    int err = 0;
    ASSERT_TRUE(fi_setup_write(tmp / "s.ini", wv_setup_from(o, 0), err));
    auto r = run_program(base + "--setup " + tmp / "s.ini" + " -o " + tmp / "a.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    sound a = read_sound(tmp / "a.wav");
    EXPECT_EQ(a.info.channels, 1);
    EXPECT_EQ(a.info.frames, 6 * (8192 / 4 - 256));
    // The command line's own buffer size wins over the setup's.
    r = run_program(base + "--setup " + tmp / "s.ini" + " --buffer-kb 16 -o " + tmp / "b.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(read_sound(tmp / "b.wav").info.frames, 6 * (16384 / 4 - 256));
    // Not a setup file.
    std::ofstream(tmp / "short.ini") << "tiny";
    r = run_program(base + "--setup " + tmp / "short.ini" + " -o " + tmp / "c.wav");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("not a setup file"), std::string::npos) << r.out;
}
