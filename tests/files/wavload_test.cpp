// Loading WAV files as the sample and saving the sample: plain files read
// at fixed offsets with the exact lengths and messages, files of every
// other kind through libsndfile to the same words, and bad files refused
// without losing the sample in memory.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "files/wavload.h"
#include "tests/files/wav_files.h"

using namespace wavtest;

namespace {

std::vector<int16_t> sample_words(const fi_sample& s) { return {s.words(), s.words() + s.nwords()}; }

fi_wav load(const std::vector<uint8_t>& f, int32_t K, fi_sample& s, std::vector<fi_filemsg>& msgs) {
    return fi_sample_load_bytes(f.data(), f.size(), K, s, msgs);
}

// Words of every sign and size, with odd sums so that rounding shows.
std::vector<int16_t> ramp(std::size_t n) {
    std::vector<int16_t> w(n);
    for (std::size_t i = 0; i < n; ++i) w[i] = static_cast<int16_t>((i * 7919 + (i & 1)) * 3 - 32768 * (i % 3 == 0));
    return w;
}

}  // namespace

// The stereo file of 4000 data bytes read completely: R = 4024, m = 1006,
// length 2000 bytes, 988 words, each left and right averaged towards zero.
TEST(WavLoadPlain, StereoSixteenBitAveragedWithExactLength) {
    const std::vector<int16_t> lr = ramp(2000);
    std::vector<int16_t> w = lr;
    w[0] = -3, w[1] = 0;        // -1.5 becomes -1
    w[2] = 32767, w[3] = 32767;  // no overflow
    w[4] = -32768, w[5] = -32767;
    fi_sample s;
    std::vector<fi_filemsg> msgs;
    ASSERT_EQ(load(plain_wav(2, 22050, 16, bytes_of(w)), 32768, s, msgs), fi_wav::loaded);
    EXPECT_TRUE(msgs.empty());
    EXPECT_EQ(s.length, 2000);
    EXPECT_EQ(s.nwords(), 988);
    EXPECT_EQ(s.rate, 22050);
    EXPECT_EQ(s.area.size(), 32768u);
    const auto got = sample_words(s);
    EXPECT_EQ(got[0], -1);
    EXPECT_EQ(got[1], 32767);
    EXPECT_EQ(got[2], -32767);
    for (int i = 0; i < 988; ++i) ASSERT_EQ(got[i], (w[2 * i] + w[2 * i + 1]) / 2) << i;
    // The format record and the data header lead the area.
    EXPECT_EQ(le16(&s.area[2]), 2u);
    EXPECT_EQ(std::memcmp(&s.area[16], "data", 4), 0);
}

// A file larger than the area: cut to it, with the message of each kind.
TEST(WavLoadPlain, FullAreaCutsWithMessage) {
    {
        fi_sample s;
        std::vector<fi_filemsg> msgs;
        ASSERT_EQ(load(plain_wav(2, 11025, 16, bytes_of(ramp(4000))), 3072, s, msgs), fi_wav::loaded);
        ASSERT_EQ(msgs.size(), 1u);
        EXPECT_EQ(msgs[0].caption, "read WAV file");
        EXPECT_EQ(msgs[0].text, "Sound may be incomplete");
        EXPECT_EQ(s.length, 2 * (3000 / 4) - 12);
    }
    {
        fi_sample s;
        std::vector<fi_filemsg> msgs;
        const auto w = ramp(4000);
        ASSERT_EQ(load(plain_wav(1, 11025, 16, bytes_of(w)), 3072, s, msgs), fi_wav::loaded);
        ASSERT_EQ(msgs.size(), 1u);
        EXPECT_EQ(msgs[0].caption, "read WAV file");
        EXPECT_EQ(msgs[0].text, "Sound may be incomplete!");
        EXPECT_EQ(s.length, 3000 - 24);
        EXPECT_EQ(sample_words(s), std::vector<int16_t>(w.begin(), w.begin() + (3000 - 48) / 2));
    }
    // Exactly filling the area is still told: the message says "may".
    {
        fi_sample s;
        std::vector<fi_filemsg> msgs;
        ASSERT_EQ(load(plain_wav(1, 11025, 16, bytes_of(ramp(1488))), 3072, s, msgs), fi_wav::loaded);
        EXPECT_EQ(msgs.size(), 1u);
        fi_sample t;
        msgs.clear();
        ASSERT_EQ(load(plain_wav(1, 11025, 16, bytes_of(ramp(1487))), 3072, t, msgs), fi_wav::loaded);
        EXPECT_TRUE(msgs.empty());
    }
}

// 8-bit mono with K = 32768: at most 16348 bytes are taken; the message asks
// for 2n + 72 bytes, more than 32768 as soon as the read brought more.
TEST(WavLoadPlain, EightBitMonoConvertedAndCut) {
    auto bytes8 = [](std::size_t n) {
        std::vector<uint8_t> b(n);
        for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 37 + 5);
        return b;
    };
    {
        // R = 16348: fits exactly, no message.
        const auto d = bytes8(16348 - 24);
        fi_sample s;
        std::vector<fi_filemsg> msgs;
        ASSERT_EQ(load(plain_wav(1, 8000, 8, d), 32768, s, msgs), fi_wav::loaded);
        EXPECT_TRUE(msgs.empty());
        EXPECT_EQ(s.length, 2 * 16348 - 48);
        EXPECT_EQ(s.rate, 8000);
        const auto got = sample_words(s);
        ASSERT_EQ(got.size(), d.size() - 12);
        for (std::size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], (d[i] - 128) * 256) << i;
    }
    {
        // R = 16349: one byte too many.
        fi_sample s;
        std::vector<fi_filemsg> msgs;
        ASSERT_EQ(load(plain_wav(1, 8000, 8, bytes8(16349 - 24)), 32768, s, msgs), fi_wav::loaded);
        ASSERT_EQ(msgs.size(), 1u);
        EXPECT_EQ(msgs[0].caption, "read WAV file");
        EXPECT_EQ(msgs[0].text, "sound incomplete,\ntry >32770 bytes buffer size");
        EXPECT_EQ(s.length, 2 * 16348 - 48);
    }
    {
        // A long file: R = K - 72.
        fi_sample s;
        std::vector<fi_filemsg> msgs;
        ASSERT_EQ(load(plain_wav(1, 8000, 8, bytes8(100000)), 32768, s, msgs), fi_wav::loaded);
        ASSERT_EQ(msgs.size(), 1u);
        EXPECT_EQ(msgs[0].text, "sound incomplete,\ntry >" + std::to_string(2 * (32768 - 72) + 72) + " bytes buffer size");
        EXPECT_EQ(s.nwords(), 16348 - 36);
    }
}

// Tiny and odd files never give a negative length or read past the area.
TEST(WavLoadPlain, TinyDataGivesEmptySample) {
    for (int channels : {1, 2}) {
        for (int bits : {8, 16}) {
            if (channels == 2 && bits == 8) continue;
            for (std::size_t n : {0u, 1u, 2u, 3u, 5u, 23u, 24u, 25u, 26u, 49u}) {
                fi_sample s;
                std::vector<fi_filemsg> msgs;
                ASSERT_EQ(load(plain_wav(channels, 11025, bits, std::vector<uint8_t>(n, 0x91)), 3072, s, msgs),
                          fi_wav::loaded);
                EXPECT_GE(s.length, 0);
                EXPECT_GE(s.nwords(), 0);
                EXPECT_LE(24 + 2 * s.nwords(), static_cast<int>(s.area.size()));
            }
        }
    }
}

// The channel test: more than two channels are refused; the sample in
// memory stays. (8-bit stereo loads: EightBitStereoLoadsInEveryLayout.)
TEST(WavLoadPlain, UnsupportedFormatsRefusedSampleKept) {
    fi_sample s;
    std::vector<fi_filemsg> msgs;
    ASSERT_EQ(load(plain_wav(1, 11025, 16, bytes_of(ramp(100))), 3072, s, msgs), fi_wav::loaded);
    const auto before = sample_words(s);
    for (auto f : {plain_wav(3, 11025, 16, bytes_of(ramp(99))),
                   plain_wav(6, 11025, 8, std::vector<uint8_t>(60, 1))}) {
        msgs.clear();
        EXPECT_EQ(load(f, 3072, s, msgs), fi_wav::refused);
        ASSERT_EQ(msgs.size(), 1u);
        EXPECT_EQ(msgs[0].caption, "open WAV file");
        EXPECT_EQ(msgs[0].text, "unsupported WAV or illegal file format");
        EXPECT_EQ(sample_words(s), before);
    }
}

// A chunk behind the sound (sox puts its comment there) is not played as
// sound: the declared data size bounds the read. A declared size beyond the
// file is not believed.
TEST(WavLoadPlain, DataSizeBoundsTheRead) {
    const auto w = ramp(200);
    auto f = plain_wav(1, 11025, 16, bytes_of(w));
    const std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
    f.insert(f.end(), list.begin(), list.end());
    fi_sample s;
    std::vector<fi_filemsg> msgs;
    ASSERT_EQ(load(f, 32768, s, msgs), fi_wav::loaded);
    EXPECT_EQ(s.length, 400);  // R - 24, R = 424
    // Declared larger than the file: what is there is taken.
    auto g = plain_wav(1, 11025, 16, bytes_of(w));
    g[40] = 0xff, g[41] = 0xff, g[42] = 0xff, g[43] = 0x7f;
    ASSERT_EQ(load(g, 32768, s, msgs), fi_wav::loaded);
    EXPECT_EQ(s.length, 400);
}

// Files sox writes in every common layout load to the words libsndfile's
// 16-bit view gives, checked against the file's own data chunk.
TEST(WavLoadSndfile, SoxFilesOfEveryLayout) {
    scratch d;
    // The plain 16-bit mono file is the reference.
    ASSERT_TRUE(d.sox("-n -r 22050 -b 16 -c 1 ref.wav synth 0.2 sine 440 vol 0.8"));
    const auto ref = words16(chunk(slurp(d / "ref.wav"), "data"));
    ASSERT_EQ(ref.size(), 4410u);
    auto loaded = [&](const std::string& name, std::vector<fi_filemsg>* m = nullptr) {
        fi_sample s;
        std::vector<fi_filemsg> msgs;
        EXPECT_EQ(fi_sample_load(d / name, 65536, s, msgs), fi_wav::loaded) << name;
        EXPECT_TRUE(msgs.empty()) << name;
        if (m) *m = msgs;
        EXPECT_EQ(s.rate, 22050) << name;
        return sample_words(s);
    };
    const std::vector<int16_t> want(ref.begin(), ref.end() - 12);
    EXPECT_EQ(loaded("ref.wav"), want);

    // The same sound as AIFF, in 24 bits (WAVE_FORMAT_EXTENSIBLE and plain
    // PCM): the same words.
    ASSERT_TRUE(d.sox("ref.wav ref.aiff"));
    ASSERT_TRUE(d.sox("ref.wav -b 24 ext24.wav"));
    ASSERT_TRUE(d.sox("ref.wav -b 24 -t wavpcm pcm24.wav"));
    EXPECT_EQ(le16(&slurp(d / "ext24.wav")[20]), 0xfffeu);
    EXPECT_EQ(le16(&slurp(d / "pcm24.wav")[20]), 1u);
    for (const char* f : {"ref.aiff", "ext24.wav", "pcm24.wav"}) EXPECT_EQ(loaded(f), want) << f;

    // A LIST chunk in front of the data: the data chunk is found.
    {
        auto f = slurp(d / "ref.wav");
        const std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
        f.insert(f.begin() + 36, list.begin(), list.end());
        const uint32_t riff = le32(&f[4]) + 12;
        f[4] = static_cast<uint8_t>(riff), f[5] = static_cast<uint8_t>(riff >> 8);
        put(d / "front.wav", f);
        EXPECT_EQ(loaded("front.wav"), want);
    }

    // 24 bits of a quieter, non-round signal: the top 16 bits of each sample.
    ASSERT_TRUE(d.sox("-n -r 22050 -b 24 -c 1 deep.wav synth 0.1 sine 1234 vol 0.3"));
    {
        const auto data = chunk(slurp(d / "deep.wav"), "data");
        std::vector<int16_t> top;
        for (std::size_t i = 0; i + 3 <= data.size(); i += 3) top.push_back(static_cast<int16_t>(data[i + 1] | data[i + 2] << 8));
        EXPECT_EQ(loaded("deep.wav"), std::vector<int16_t>(top.begin(), top.end() - 12));
    }

    // Float: the value times 32767, within one step.
    ASSERT_TRUE(d.sox("-n -r 22050 -e floating-point -b 32 -c 1 float.wav synth 0.1 sine 1234 vol 0.9"));
    {
        const auto data = chunk(slurp(d / "float.wav"), "data");
        const auto got = loaded("float.wav");
        ASSERT_EQ(got.size(), data.size() / 4 - 12);
        for (std::size_t i = 0; i < got.size(); ++i) {
            float x;
            std::memcpy(&x, &data[4 * i], 4);
            ASSERT_NEAR(got[i], x * 32767.0, 1.0) << i;
        }
    }

    // Stereo from sox, plain and in 24 bits: averaged like a plain file.
    ASSERT_TRUE(d.sox("-n -r 22050 -b 16 -c 2 st.wav synth 0.1 sine 440 sine 660"));
    ASSERT_TRUE(d.sox("st.wav -b 24 st24.wav"));
    {
        const auto lr = words16(chunk(slurp(d / "st.wav"), "data"));
        std::vector<int16_t> avg;
        for (std::size_t i = 0; i + 1 < lr.size(); i += 2) avg.push_back(static_cast<int16_t>((lr[i] + lr[i + 1]) / 2));
        avg.resize(avg.size() - 12);
        EXPECT_EQ(loaded("st.wav"), avg);
        EXPECT_EQ(loaded("st24.wav"), avg);
    }

    // 8-bit from sox: plain, and with a chunk in front of the data (through
    // libsndfile), the same words.
    ASSERT_TRUE(d.sox("ref.wav -b 8 u8.wav"));
    {
        auto f = slurp(d / "u8.wav");
        const std::vector<uint8_t> fact = {'f', 'a', 'c', 't', 4, 0, 0, 0, 1, 2, 3, 4};
        f.insert(f.begin() + 36, fact.begin(), fact.end());
        const uint32_t riff = le32(&f[4]) + 12;
        f[4] = static_cast<uint8_t>(riff), f[5] = static_cast<uint8_t>(riff >> 8);
        put(d / "u8fact.wav", f);
    }
    const auto u8 = loaded("u8.wav");
    EXPECT_EQ(u8.size(), 4410u - 12u);
    EXPECT_EQ(u8, loaded("u8fact.wav"));
}

// A long file through libsndfile fills the area and says so, like a plain one.
TEST(WavLoadSndfile, LongFileCutToTheArea) {
    scratch d;
    ASSERT_TRUE(d.sox("-n -r 44100 -b 24 -c 2 long.wav synth 2 sine 440"));
    fi_sample s;
    std::vector<fi_filemsg> msgs;
    ASSERT_EQ(fi_sample_load(d / "long.wav", 32768, s, msgs), fi_wav::loaded);
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].text, "Sound may be incomplete");
    EXPECT_EQ(s.length, 2 * ((32768 - 72) / 4) - 12);
}

// Files nobody can read are refused with the message, never a crash, and
// the sample in memory stays; a missing file is not opened; a capacity
// below 3072 loads nothing.
TEST(WavLoadSndfile, BadFilesRefused) {
    scratch d;
    ASSERT_TRUE(d.sox("-n -r 22050 -b 16 -c 3 three.wav synth 0.05 sine 440"));
    ASSERT_TRUE(d.sox("-n -r 22050 -b 24 -c 1 deep.wav synth 0.05 sine 440"));
    const auto deep = slurp(d / "deep.wav");
    put(d / "empty.wav", {});
    put(d / "short.wav", {'R', 'I', 'F', 'F', 1, 2});
    put(d / "cut.wav", std::vector<uint8_t>(deep.begin(), deep.begin() + 40));
    std::vector<uint8_t> garbage(5000);
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * i + 17);
    put(d / "garbage.wav", garbage);

    fi_sample s;
    std::vector<fi_filemsg> msgs;
    ASSERT_EQ(load(plain_wav(1, 11025, 16, bytes_of(ramp(100))), 3072, s, msgs), fi_wav::loaded);
    const auto before = sample_words(s);
    for (const char* f : {"three.wav", "empty.wav", "short.wav", "cut.wav", "garbage.wav"}) {
        msgs.clear();
        EXPECT_EQ(fi_sample_load(d / f, 32768, s, msgs), fi_wav::refused) << f;
        ASSERT_EQ(msgs.size(), 1u) << f;
        EXPECT_EQ(msgs[0].caption, "open WAV file");
        // A file cut inside its format chunk says so on a second line.
        EXPECT_EQ(msgs[0].text.substr(0, 38), "unsupported WAV or illegal file format") << f;
        EXPECT_EQ(sample_words(s), before);
    }
    msgs.clear();
    EXPECT_EQ(fi_sample_load(d / "missing.wav", 32768, s, msgs), fi_wav::not_opened);
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].caption, "Read File");
    EXPECT_EQ(msgs[0].text, "File not opened");
    msgs.clear();
    EXPECT_EQ(fi_sample_load(d.dir.string(), 32768, s, msgs), fi_wav::not_opened);
    msgs.clear();
    EXPECT_EQ(fi_sample_load(d / "deep.wav", 3071, s, msgs), fi_wav::none);
    EXPECT_EQ(fi_sample_load_bytes(nullptr, 0, 32768, s, msgs), fi_wav::refused);
    EXPECT_EQ(sample_words(s), before);
}

// Saving writes exactly `length` bytes after a header whose sizes agree,
// and loading the saved file gives the same sample back.
TEST(WavSave, RoundTripAndExactSizes) {
    scratch d;
    ASSERT_TRUE(d.sox("-n -r 11025 -b 24 -c 2 st.wav synth 0.1 sine 440 sine 550"));
    fi_sample s;
    std::vector<fi_filemsg> msgs;
    ASSERT_EQ(fi_sample_load(d / "st.wav", 32768, s, msgs), fi_wav::loaded);
    int err = -1;
    ASSERT_TRUE(fi_sample_save(d / "out.wav", s, err));
    EXPECT_EQ(err, 0);
    const auto f = slurp(d / "out.wav");
    ASSERT_EQ(f.size(), 44u + static_cast<std::size_t>(s.length));
    EXPECT_EQ(le32(&f[4]), static_cast<uint32_t>(s.length) + 36);
    EXPECT_EQ(le32(&f[40]), static_cast<uint32_t>(s.length));
    EXPECT_EQ(le16(&f[22]), 1u);
    EXPECT_EQ(le32(&f[24]), 11025u);
    EXPECT_EQ(le32(&f[28]), 22050u);
    EXPECT_EQ(le16(&f[34]), 16u);
    EXPECT_EQ(std::memcmp(&f[44], &s.area[24], static_cast<std::size_t>(s.length)), 0);
    fi_sample t;
    ASSERT_EQ(fi_sample_load(d / "out.wav", 32768, t, msgs), fi_wav::loaded);
    EXPECT_EQ(t.length, s.length);
    EXPECT_EQ(t.rate, s.rate);
    EXPECT_EQ(sample_words(t), sample_words(s));

    // A length beyond the area is cut to it; the header agrees.
    fi_sample bad = s;
    bad.length = 1 << 30;
    ASSERT_TRUE(fi_sample_save(d / "big.wav", bad, err));
    EXPECT_EQ(slurp(d / "big.wav").size(), 44u + 32768u - 24u);
    EXPECT_EQ(le32(&slurp(d / "big.wav")[40]), 32768u - 24u);
    // A folder that does not exist: false, the reason, no file.
    EXPECT_FALSE(fi_sample_save(d / "no/such.wav", s, err));
    EXPECT_EQ(err, ENOENT);
}

// 8-bit stereo reads the same in the plain layout and behind a list chunk:
// left and right averaged, each value centred and raised to 16 bits.
TEST(WavLoadPlain, EightBitStereoLoadsInEveryLayout) {
    std::vector<uint8_t> d(400);
    for (std::size_t i = 0; i < d.size(); ++i) d[i] = static_cast<uint8_t>(i * 37 + 5);
    const std::vector<uint8_t> plain = plain_wav(2, 8000, 8, d);
    std::vector<uint8_t> listed = plain;
    const uint8_t list[12] = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
    listed.insert(listed.begin() + 36, list, list + 12);
    std::vector<std::vector<int16_t>> got;
    for (const auto& f : {plain, listed}) {
        fi_sample s;
        std::vector<fi_filemsg> msgs;
        ASSERT_EQ(load(f, 32768, s, msgs), fi_wav::loaded);
        EXPECT_EQ(s.rate, 8000);
        got.push_back(sample_words(s));
    }
    // Data ending inside a frame, with a size that claims 4 GiB (found by the
    // fuzzer: libsndfile never came back from it): the whole frames load.
    std::vector<uint8_t> odd = plain_wav(2, 8000, 8, d);
    odd.push_back(0x7f);
    for (int i = 0; i < 4; ++i) odd[40 + i] = 0xff;
    fi_sample s;
    std::vector<fi_filemsg> msgs;
    ASSERT_EQ(load(odd, 32768, s, msgs), fi_wav::loaded);
    EXPECT_EQ(sample_words(s), got[0]);
    // 148 bits per sample: refused at once (libsndfile never came back).
    std::vector<uint8_t> wide = plain_wav(2, 8000, 148, d);
    for (int i = 0; i < 4; ++i) wide[40 + i] = 0xff;
    EXPECT_EQ(load(wide, 32768, s, msgs), fi_wav::refused);

    EXPECT_EQ(got[0], got[1]);
    ASSERT_EQ(got[0].size(), 200u - 12);
    for (std::size_t i = 0; i < got[0].size(); ++i)
        ASSERT_EQ(got[0][i], ((d[2 * i] - 128) * 256 + (d[2 * i + 1] - 128) * 256) / 2) << i;
}

// A sample cut to its area tells how long the file's sound was, in bytes of
// the 16-bit mono sample, for every kind of file; a whole one the same as
// its length.
TEST(WavLoadPlain, TheLengthGivenIsKeptBesideTheLengthLoaded) {
    struct want {
        std::vector<uint8_t> file;
        int32_t K;
        int64_t given;
    };
    std::vector<uint8_t> listed = plain_wav(1, 11025, 16, bytes_of(ramp(4000)));
    const uint8_t list[12] = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
    listed.insert(listed.begin() + 36, list, list + 12);
    const std::vector<want> cases = {
        {plain_wav(1, 11025, 16, bytes_of(ramp(4000))), 3072, 8000},
        {plain_wav(2, 11025, 16, bytes_of(ramp(4000))), 3072, 4000},
        {plain_wav(1, 8000, 8, std::vector<uint8_t>(100000, 9)), 32768, 200000},
        {listed, 3072, 8000},  // through libsndfile
        {plain_wav(1, 11025, 16, bytes_of(ramp(100))), 3072, 200},
    };
    for (const want& c : cases) {
        fi_sample s;
        std::vector<fi_filemsg> msgs;
        ASSERT_EQ(load(c.file, c.K, s, msgs), fi_wav::loaded);
        EXPECT_EQ(s.given, c.given);
        EXPECT_EQ(msgs.empty(), s.given == s.length) << s.length;
    }
}
