// WAV files written buffer by buffer: the header tells the length after
// every buffer, a killed writer leaves a valid file, buffers at another rate
// are converted, and a full disc gives false and a valid file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

#include "files/wavwriter.h"
#include "tests/files/wav_files.h"
#include "support/scratch.h"

using namespace wavtest;

namespace {

// One played buffer of 16-bit stereo: frames of a pattern that differs per buffer.
std::vector<uint8_t> stereo_buffer(int frames, int seed) {
    std::vector<int16_t> w(static_cast<std::size_t>(2 * frames));
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = static_cast<int16_t>(i * 31 + seed * 1000);
    return bytes_of(w);
}

// A sine of `frames` frames at `rate` Hz, as 16-bit stereo bytes.
std::vector<uint8_t> sine_buffer(int frames, double hz, int32_t rate, long& phase) {
    std::vector<int16_t> w;
    for (int i = 0; i < frames; ++i, ++phase) {
        const auto v = static_cast<int16_t>(std::lround(12000 * std::sin(2 * M_PI * hz * static_cast<double>(phase) / rate)));
        w.push_back(v);
        w.push_back(v);
    }
    return bytes_of(w);
}

// The header sizes agree with the file's length.
void expect_header_agrees(const std::vector<uint8_t>& f) {
    ASSERT_GE(f.size(), 44u);
    EXPECT_EQ(le32(&f[4]), f.size() - 8);
    EXPECT_EQ(le32(&f[40]), f.size() - 44);
}

// Frames in the file as libsndfile sees it, or -1 if it cannot read it.
long sf_frames(const std::string& p) {
    SF_INFO info{};
    SNDFILE* sf = sf_open(p.c_str(), SFM_READ, &info);
    if (!sf) return -1;
    sf_close(sf);
    return static_cast<long>(info.frames);
}

using size_limit = test_size_limit;

// The planned header of a recording of 15 s at 22050 Hz stereo with
// 32768-byte buffers: 41 buffers of 7936 frames.
constexpr uint32_t planned = 7936u * 41u * 4u;

}  // namespace

// From the first byte the header tells the length written: no data at
// creation (the planned size stays in memory), after each buffer the length
// so far (read back while the file is open); finishing keeps the real
// sizes. The file holds every buffer as given.
TEST(WavWriter, HeaderFollowsEveryBuffer) {
    scratch d;
    const std::string p = d / "rec.wav";
    fi_hdrec rec;
    int err = -1;
    ASSERT_TRUE(rec.create(p, 2, 16, 22050, planned, err));
    EXPECT_EQ(err, 0);
    {
        const auto f = slurp(p);
        ASSERT_EQ(f.size(), 44u);
        expect_header_agrees(f);
        EXPECT_EQ(le16(&f[22]), 2u);
        EXPECT_EQ(le32(&f[24]), 22050u);
        EXPECT_EQ(le16(&f[34]), 16u);
    }
    std::vector<uint8_t> all;
    for (int b = 0; b < 5; ++b) {
        const auto buf = stereo_buffer(7936, b);
        ASSERT_TRUE(rec.append(buf.data(), static_cast<uint32_t>(buf.size()), 22050));
        all.insert(all.end(), buf.begin(), buf.end());
        const auto f = slurp(p);
        ASSERT_EQ(f.size(), 44u + all.size());
        expect_header_agrees(f);
        EXPECT_EQ(sf_frames(p), 7936L * (b + 1));
    }
    EXPECT_EQ(rec.databytes(), all.size());
    ASSERT_TRUE(rec.finish());
    EXPECT_FALSE(rec.is_open());
    const auto f = slurp(p);
    expect_header_agrees(f);
    EXPECT_EQ(chunk(f, "data"), all);
}

// 8-bit mono recordings too, with an odd number of bytes.
TEST(WavWriter, EightBitMono) {
    scratch d;
    fi_hdrec rec;
    int err;
    ASSERT_TRUE(rec.create(d / "m.wav", 1, 8, 11025, 1000, err));
    std::vector<uint8_t> buf(333);
    for (std::size_t i = 0; i < buf.size(); ++i) buf[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(rec.append(buf.data(), 333, 11025));
    ASSERT_TRUE(rec.append(buf.data(), 333, 11025));
    ASSERT_TRUE(rec.finish());
    const auto f = slurp(d / "m.wav");
    expect_header_agrees(f);
    EXPECT_EQ(f.size(), 44u + 666u);
    EXPECT_EQ(le16(&f[32]), 1u);
    EXPECT_EQ(sf_frames(d / "m.wav"), 666);
}

// A writer killed between buffers leaves a file that libsndfile and sox read,
// holding every buffer written.
TEST(WavWriter, KilledWriterLeavesValidFile) {
    scratch d;
    const std::string p = d / "killed.wav";
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        fi_hdrec rec;
        int err;
        if (!rec.create(p, 2, 16, 22050, planned, err)) _exit(1);
        for (int b = 0; b < 3; ++b) {
            const auto buf = stereo_buffer(7936, b);
            if (!rec.append(buf.data(), static_cast<uint32_t>(buf.size()), 22050)) _exit(1);
        }
        raise(SIGKILL);
        _exit(2);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    const auto f = slurp(p);
    expect_header_agrees(f);
    EXPECT_EQ(f.size(), 44u + 3u * 7936u * 4u);
    EXPECT_EQ(sf_frames(p), 3L * 7936);
    EXPECT_TRUE(d.sox("killed.wav -n stat"));
}

// Buffers at another rate than the file's are converted to it: the length
// follows the ratio and a sine keeps its frequency; the rate may change from
// buffer to buffer, and 8-bit goes the same way.
TEST(WavWriter, OtherRatesConverted) {
    scratch d;
    fi_hdrec rec;
    int err;
    ASSERT_TRUE(rec.create(d / "r.wav", 2, 16, 44100, 0, err));
    long phase = 0;
    for (int b = 0; b < 10; ++b) {
        const auto buf = sine_buffer(7936, 441, 22050, phase);
        ASSERT_TRUE(rec.append(buf.data(), static_cast<uint32_t>(buf.size()), 22050));
    }
    // The tail of the conversion is written when the rate changes back.
    const auto same = stereo_buffer(100, 1);
    ASSERT_TRUE(rec.append(same.data(), static_cast<uint32_t>(same.size()), 44100));
    ASSERT_TRUE(rec.finish());
    const auto f = slurp(d / "r.wav");
    expect_header_agrees(f);
    const auto w = words16(chunk(f, "data"));
    const long frames = static_cast<long>(w.size() / 2) - 100;
    EXPECT_NEAR(frames, 2 * 10 * 7936, 4);
    // The converted part: zero crossings of the left channel over a second
    // at 44100 Hz count 2 × 441.
    int crossings = 0;
    for (long i = 2000; i < 2000 + 44100; ++i) crossings += (w[2 * i] < 0) != (w[2 * i + 2] < 0);
    EXPECT_NEAR(crossings, 882, 2);
    // The same-rate buffer follows unchanged.
    EXPECT_EQ(bytes_of(std::vector<int16_t>(w.end() - 200, w.end())), same);

    // 8-bit mono at 11025 into a 22050 file.
    fi_hdrec r8;
    ASSERT_TRUE(r8.create(d / "r8.wav", 1, 8, 22050, 0, err));
    std::vector<uint8_t> b8(5000);
    for (std::size_t i = 0; i < b8.size(); ++i) b8[i] = static_cast<uint8_t>(128 + 100 * std::sin(i * 0.1));
    ASSERT_TRUE(r8.append(b8.data(), 5000, 11025));
    ASSERT_TRUE(r8.append(b8.data(), 5000, 11025));
    ASSERT_TRUE(r8.finish());
    EXPECT_NEAR(sf_frames(d / "r8.wav"), 20000, 4);
}

// A short write on a file (a size limit standing in for a full disc): false,
// the file is cut back to whole frames and its header agrees; nothing more
// is appended afterwards, and finishing still leaves a valid file.
TEST(WavWriter, ShortWriteLeavesValidFile) {
    scratch d;
    const std::string p = d / "full.wav";
    fi_hdrec rec;
    int err;
    ASSERT_TRUE(rec.create(p, 2, 16, 22050, planned, err));
    const auto buf = stereo_buffer(1000, 3);
    {
        size_limit lim(44 + 2 * 4000 + 1001);  // two buffers and a bit (not a whole frame)
        ASSERT_TRUE(rec.append(buf.data(), 4000, 22050));
        ASSERT_TRUE(rec.append(buf.data(), 4000, 22050));
        errno = 0;
        EXPECT_FALSE(rec.append(buf.data(), 4000, 22050));
        EXPECT_EQ(errno, EFBIG);
    }
    auto f = slurp(p);
    expect_header_agrees(f);
    EXPECT_EQ(f.size(), 44u + 8000u + 1000u);
    EXPECT_FALSE(rec.append(buf.data(), 4000, 22050));
    EXPECT_FALSE(rec.finish());
    f = slurp(p);
    expect_header_agrees(f);
    EXPECT_EQ(sf_frames(p), 2250);
}

// A file that cannot take its header (the disc full at once) is removed;
// a file behind a link keeps its link, and a device is never removed.
TEST(WavWriter, FileWithoutHeaderIsRemoved) {
    scratch d;
    fi_hdrec rec;
    int err = 0;
    {
        size_limit lim(20);
        EXPECT_FALSE(rec.create(d / "none.wav", 2, 16, 22050, planned, err));
        EXPECT_EQ(err, EFBIG);
        ASSERT_EQ(symlink((d / "target.wav").c_str(), (d / "link.wav").c_str()), 0);
        EXPECT_FALSE(rec.create(d / "link.wav", 2, 16, 22050, planned, err));
    }
    EXPECT_FALSE(rec.is_open());
    EXPECT_EQ(access((d / "none.wav").c_str(), F_OK), -1);
    EXPECT_EQ(access((d / "link.wav").c_str(), F_OK), 0);
    if (access("/dev/full", W_OK) != 0) return;
    EXPECT_FALSE(rec.create("/dev/full", 2, 16, 22050, planned, err));
    EXPECT_EQ(err, ENOSPC);
    EXPECT_EQ(access("/dev/full", F_OK), 0);
}

// A stream (a pipe; /dev/full) cannot be patched: the planned sizes are
// kept, nothing is written past them, finishing pads with silence; a device
// that is full reports false.
TEST(WavWriter, StreamsKeepThePlannedSize) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::FILE* w = fdopen(fds[1], "wb");
    fi_wavwriter wr;
    ASSERT_TRUE(wr.open(w, false, 2, 16, 22050, 6000));
    const auto buf = stereo_buffer(1000, 1);
    EXPECT_TRUE(wr.append(buf.data(), 4000, 22050));
    EXPECT_FALSE(wr.append(buf.data(), 4000, 22050));  // past the plan
    EXPECT_EQ(wr.databytes(), 6000u);
    EXPECT_FALSE(wr.finish());  // the refused buffer is reported again
    std::fclose(w);
    std::vector<uint8_t> got(10000);
    std::size_t n = 0;
    for (ssize_t k; (k = read(fds[0], got.data() + n, got.size() - n)) > 0;) n += static_cast<std::size_t>(k);
    close(fds[0]);
    got.resize(n);
    ASSERT_EQ(got.size(), 44u + 6000u);
    expect_header_agrees(got);
    std::vector<uint8_t> want(6000);
    for (std::size_t i = 0; i < want.size(); ++i) want[i] = buf[i % 4000];
    EXPECT_EQ(std::vector<uint8_t>(got.begin() + 44, got.end()), want);

    // Padded with silence up to the plan.
    ASSERT_EQ(pipe(fds), 0);
    w = fdopen(fds[1], "wb");
    fi_wavwriter pad;
    ASSERT_TRUE(pad.open(w, false, 2, 16, 22050, 6000));
    EXPECT_TRUE(pad.append(buf.data(), 400, 22050));
    EXPECT_TRUE(pad.finish());
    std::fclose(w);
    got.assign(10000, 0xee);
    n = 0;
    for (ssize_t k; (k = read(fds[0], got.data() + n, got.size() - n)) > 0;) n += static_cast<std::size_t>(k);
    close(fds[0]);
    got.resize(n);
    ASSERT_EQ(got.size(), 44u + 6000u);
    for (std::size_t i = 44 + 400; i < got.size(); ++i) ASSERT_EQ(got[i], 0) << i;

    std::FILE* full = std::fopen("/dev/full", "wb");
    if (!full) GTEST_SKIP() << "no /dev/full";
    fi_hdrec rec;
    int err = 0;
    EXPECT_FALSE(rec.create("/dev/full", 2, 16, 22050, 6000, err));
    EXPECT_EQ(err, ENOSPC);
    std::fclose(full);
}
