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
    fl_sfsource src;
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
    fl_sample s;
    std::vector<fl_filemsg> msgs;
    ASSERT_EQ(fl_sample_load_bytes(f.data(), f.size(), 32768, s, msgs), fl_wav::loaded);
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
    fl_sfsource src;
    const std::vector<uint8_t> f = wav(10, junk);
    src.open_memory(f.data(), f.size());
    EXPECT_TRUE(src.broken);
}

TEST(SoundFileView, FilesWithoutFormatOrDataAreRefusedAndOthersPassAsTheyAre) {
    // The loop-prone input the fuzzer found: a format chunk and a damaged
    // list, no data.
    std::vector<uint8_t> f = wav(0, looping_list());
    f.resize(f.size() - 8);  // no data chunk
    fl_sfsource src;
    src.open_memory(f.data(), f.size());
    EXPECT_TRUE(src.broken);
    SF_INFO info{};
    EXPECT_EQ(src.open_sndfile(info), nullptr);
    // Not RIFF: shown whole.
    const std::vector<uint8_t> other(100, 7);
    fl_sfsource o;
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
        fl_sfsource src;
        src.open_memory(f.data(), f.size());
        EXPECT_TRUE(src.broken) << "field " << field;
    }
    EXPECT_EQ(decoded(wav(4, {})), (std::vector<int16_t>{0, 1, 2, 3}));
}
