// What libsndfile is shown of a sound file: a RIFF/WAVE file as its format
// and data chunks alone, so that damaged metadata chunks cannot stall it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "files/sfsource.h"
#include "files/wavload.h"

namespace {

void put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void tag(std::vector<uint8_t>& b, const char* t) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(t[i]));
}

// A 16-bit mono WAV at 8000 Hz with `words` samples 0, 1, 2, ...; `extra`
// chunks go between the format and the data chunk.
std::vector<uint8_t> wav(int words, const std::vector<uint8_t>& extra, uint32_t declared_data = 0xffffffffu) {
    std::vector<uint8_t> b;
    tag(b, "RIFF");
    put32(b, 0);
    tag(b, "WAVE");
    tag(b, "fmt ");
    put32(b, 16);
    const uint8_t fmt[16] = {1, 0, 1, 0, 0x40, 0x1f, 0, 0, 0x80, 0x3e, 0, 0, 2, 0, 16, 0};
    b.insert(b.end(), fmt, fmt + 16);
    b.insert(b.end(), extra.begin(), extra.end());
    tag(b, "data");
    put32(b, declared_data == 0xffffffffu ? static_cast<uint32_t>(2 * words) : declared_data);
    for (int i = 0; i < words; ++i) {
        b.push_back(static_cast<uint8_t>(i));
        b.push_back(static_cast<uint8_t>(i >> 8));
    }
    const uint32_t riff = static_cast<uint32_t>(b.size() - 8);
    for (int i = 0; i < 4; ++i) b[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
    return b;
}

// A list chunk whose one entry claims a size of -8: a parser that trusts it
// walks backwards forever.
std::vector<uint8_t> looping_list() {
    std::vector<uint8_t> b;
    tag(b, "LIST");
    put32(b, 14);
    tag(b, "INFO");
    tag(b, "ISFT");
    put32(b, 0xfffffff8u);
    b.push_back('x');
    b.push_back(0);
    return b;
}

std::vector<int16_t> decoded(const std::vector<uint8_t>& file) {
    fi_sfsource src;
    src.open_memory(file.data(), file.size());
    SF_INFO info{};
    SNDFILE* sf = src.open_sndfile(info);
    if (!sf) return {};
    std::vector<int16_t> w(static_cast<std::size_t>(info.frames * info.channels));
    w.resize(static_cast<std::size_t>(sf_readf_short(sf, w.data(), info.frames) * info.channels));
    sf_close(sf);
    return w;
}

}  // namespace

TEST(SoundFileView, DamagedListChunkIsNeverReadAndTheSoundStillLoads) {
    const std::vector<uint8_t> f = wav(500, looping_list());
    const auto t0 = std::chrono::steady_clock::now();
    const std::vector<int16_t> w = decoded(f);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
    ASSERT_EQ(w.size(), 500u);
    EXPECT_EQ(w[0], 0);
    EXPECT_EQ(w[499], 499);
    // The same through the sample loader (the list makes the file not plain).
    fi_sample s;
    std::vector<fi_filemsg> msgs;
    ASSERT_EQ(fi_sample_load_bytes(f.data(), f.size(), 32768, s, msgs), fi_wav::loaded);
    EXPECT_EQ(s.nwords(), 500 - 12);
}

TEST(SoundFileView, DataSizeZeroOrPastTheEndMeansWhatIsThere) {
    EXPECT_EQ(decoded(wav(300, {}, 0)).size(), 300u);
    EXPECT_EQ(decoded(wav(300, {}, 100000)).size(), 300u);
    EXPECT_EQ(decoded(wav(300, {}, 200)).size(), 100u);
    // A chunk running past the end before any data: nothing to read.
    std::vector<uint8_t> junk;
    tag(junk, "JUNK");
    put32(junk, 0x7fffffff);
    fi_sfsource src;
    const std::vector<uint8_t> f = wav(10, junk);
    src.open_memory(f.data(), f.size());
    EXPECT_TRUE(src.broken);
}

TEST(SoundFileView, FilesWithoutFormatOrDataAreRefusedAndOthersPassAsTheyAre) {
    // The loop-prone input the fuzzer found: a format chunk and a damaged
    // list, no data.
    std::vector<uint8_t> f = wav(0, looping_list());
    f.resize(f.size() - 8);  // no data chunk
    fi_sfsource src;
    src.open_memory(f.data(), f.size());
    EXPECT_TRUE(src.broken);
    SF_INFO info{};
    EXPECT_EQ(src.open_sndfile(info), nullptr);
    // Not RIFF: shown whole.
    const std::vector<uint8_t> other(100, 7);
    fi_sfsource o;
    o.open_memory(other.data(), other.size());
    EXPECT_FALSE(o.broken);
    EXPECT_TRUE(o.head.empty());
    EXPECT_EQ(o.size(), 100);
}

TEST(SoundFileView, AFormatWithoutChannelsOrBlockSizeIsRefusedAtOnce) {
    // The fuzzer's find: no channels, a data size of nearly 4 GiB and a body
    // that looks like a list; libsndfile walked it for minutes.
    std::vector<uint8_t> body = {'I', 'N', 'F', 'O', ':'};
    body.resize(120, 0xff);
    for (const int field : {2, 12}) {  // channels, block align
        std::vector<uint8_t> f = wav(0, {}, 0xffffff9fu);
        f[20 + field] = 0;
        f[20 + field + 1] = 0;
        f.insert(f.end(), body.begin(), body.end());
        EXPECT_TRUE(decoded(f).empty()) << "field " << field;
        fi_sfsource src;
        src.open_memory(f.data(), f.size());
        EXPECT_TRUE(src.broken) << "field " << field;
    }
    EXPECT_EQ(decoded(wav(4, {})), (std::vector<int16_t>{0, 1, 2, 3}));
}

namespace {

void tag4(std::vector<uint8_t>& b, const char* t) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(t[i]));
}
void put32be(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 3; i >= 0; --i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put16be(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}

// The 107-byte file that held the loader for good: a float format, a fact
// chunk, a list chunk claiming 0xfffffff4 bytes, then data and list chunks
// over and over.
std::vector<uint8_t> hostile_float() {
    std::vector<uint8_t> b;
    tag4(b, "RIFF");
    put32(b, 99);
    tag4(b, "WAVE");
    tag4(b, "fmt ");
    put32(b, 16);
    const uint8_t fmt[16] = {3, 0, 1, 0, 0x40, 0x1f, 0, 0, 0, 0x7d, 0, 0, 4, 0, 32, 0};
    b.insert(b.end(), fmt, fmt + 16);
    tag4(b, "fact");
    put32(b, 4);
    put32(b, 1);
    while (b.size() + 8 <= 107) {
        tag4(b, b.size() % 2 ? "data" : "LIST");
        put32(b, 0xfffffff4u);
    }
    b.resize(107, 0);
    return b;
}

// `n` words 0, 1, 2 ... as 16-bit mono at 8000 Hz in the big-endian and
// 64-bit containers, each with a list or annotation chunk that would send a
// parser backwards before the sound.
std::vector<uint8_t> rifx(int n) {
    std::vector<uint8_t> b;
    tag4(b, "RIFX");
    put32be(b, 0);
    tag4(b, "WAVE");
    tag4(b, "fmt ");
    put32be(b, 16);
    for (uint32_t v : {1u, 1u}) put16be(b, v);
    put32be(b, 8000);
    put32be(b, 16000);
    for (uint32_t v : {2u, 16u}) put16be(b, v);
    tag4(b, "LIST");
    put32be(b, 14);
    tag4(b, "INFO");
    tag4(b, "ISFT");
    put32be(b, 0xfffffff8u);
    b.push_back('x');
    b.push_back(0);
    tag4(b, "data");
    put32be(b, static_cast<uint32_t>(2 * n));
    for (int i = 0; i < n; ++i) put16be(b, static_cast<uint32_t>(i));
    return b;
}
std::vector<uint8_t> rf64(int n) {
    std::vector<uint8_t> w = wav(n, looping_list(), 0xffffffffu - 1);
    std::memcpy(w.data(), "RF64", 4);
    w[4] = w[5] = w[6] = w[7] = 0xff;
    return w;
}
std::vector<uint8_t> aiff(int n) {
    std::vector<uint8_t> b;
    tag4(b, "FORM");
    put32be(b, 0);
    tag4(b, "AIFF");
    tag4(b, "COMM");
    put32be(b, 18);
    put16be(b, 1);
    put32be(b, static_cast<uint32_t>(n));
    put16be(b, 16);
    const uint8_t rate8000[10] = {0x40, 0x0b, 0xfa, 0, 0, 0, 0, 0, 0, 0};
    b.insert(b.end(), rate8000, rate8000 + 10);
    tag4(b, "ANNO");
    put32be(b, 2);
    b.push_back('x');
    b.push_back(0);
    tag4(b, "SSND");
    put32be(b, static_cast<uint32_t>(8 + 2 * n));
    put32be(b, 0);
    put32be(b, 0);
    for (int i = 0; i < n; ++i) put16be(b, static_cast<uint32_t>(i));
    return b;
}

}  // namespace

TEST(SoundFileView, ChunkSizesThatDoNotAddUpAreRefusedAtOnceInEveryContainer) {
    std::vector<std::vector<uint8_t>> files = {hostile_float(), rifx(4), rf64(4), aiff(4)};
    ASSERT_EQ(files[0].size(), 107u);
    // A chunk before the sound that claims more than the file has.
    for (std::size_t k = 1; k < files.size(); ++k) {
        std::vector<uint8_t>& f = files[k];
        const std::size_t at = k == 3 ? 38 : 36;  // the list or annotation chunk
        f[at + 4] = f[at + 5] = 0x7f;
    }
    for (const auto& f : files) {
        fi_sample s;
        std::vector<fi_filemsg> msgs;
        ASSERT_EQ(fi_sample_load_bytes(f.data(), f.size(), 32768, s, msgs), fi_wav::refused);
        ASSERT_EQ(msgs.size(), 1u);
        EXPECT_NE(msgs[0].text.find("unsupported WAV or illegal file format:\nits chunk sizes do not add up: the '"),
                  std::string::npos)
            << msgs[0].text;
    }
    fi_sample s;
    std::vector<fi_filemsg> msgs;
    fi_sample_load_bytes(files[0].data(), files[0].size(), 32768, s, msgs);
    EXPECT_NE(msgs[0].text.find("'LIST' chunk at byte 48 claims 4294967284 bytes, 51 are left"), std::string::npos)
        << msgs[0].text;
}

TEST(SoundFileView, BigEndianAnd64BitWavesAndAiffShowOnlyTheirSound) {
    for (const auto& f : {rifx(300), rf64(300), aiff(300)}) {
        const std::vector<int16_t> w = decoded(f);
        ASSERT_EQ(w.size(), 300u);
        EXPECT_EQ(w[1], 1);
        EXPECT_EQ(w[299], 299);
    }
}
