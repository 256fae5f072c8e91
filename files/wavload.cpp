#include "files/wavload.h"

#include "files/sfsource.h"
#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "files/outfile.h"
#include "files/sfsource.h"
#include "files/wav.h"

const int16_t* fi_sample::words() const {
    return area.size() >= 24 ? reinterpret_cast<const int16_t*>(area.data() + 24) : nullptr;
}

rov_smparea fi_sample::around() const {
    const auto* w = reinterpret_cast<const int16_t*>(area.data());
    return {w, w + area.size() / 2};
}

int32_t fi_sample::nwords() const {
    if (length <= 24 || area.size() < 24) return 0;
    // Never more words than the area holds.
    const auto held = static_cast<int32_t>(std::min<std::size_t>((area.size() - 24) / 2, INT32_MAX));
    return std::min((length - 24) / 2, held);
}

namespace {

uint32_t rd16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t rd32(const uint8_t* p) { return rd16(p) | rd16(p + 2) << 16; }
int16_t word(const uint8_t* area, std::size_t i) {
    return static_cast<int16_t>(rd16(area + 2 * i));
}
void setword(uint8_t* area, std::size_t i, int v) {
    area[2 * i] = static_cast<uint8_t>(v);
    area[2 * i + 1] = static_cast<uint8_t>(static_cast<unsigned>(v) >> 8);
}

const char* const unsupported = "unsupported WAV or illegal file format";

// `why`: what is wrong with the file, on a line of its own ("" for nothing).
fi_wav refuse(std::vector<fi_filemsg>& msgs, const std::string& why = "") {
    msgs.push_back({"open WAV file", why.empty() ? unsupported : std::string(unsupported) + ":\n" + why});
    return fi_wav::refused;
}

// The plain layout read at fixed offsets: RIFF/WAVE, a 16-byte PCM format
// chunk at 12 directly followed by the data chunk at 36, 8 or 16 bits, at
// least one channel and a rate.
bool plain_layout(const uint8_t* h, std::size_t n) {
    if (n < wav_header_bytes) return false;
    const int32_t rate = static_cast<int32_t>(rd32(h + 24));
    const uint32_t bits = rd16(h + 34);
    // 8-bit stereo goes through libsndfile, as it does in any other layout.
    const uint32_t channels = rd16(h + 22);
    return std::memcmp(h, "RIFF", 4) == 0 && std::memcmp(h + 8, "WAVEfmt ", 8) == 0 && rd32(h + 16) == 16 &&
           rd16(h + 20) == 1 && channels >= 1 && rate > 0 && (bits == 8 || bits == 16) &&
           !(channels == 2 && bits == 8) && std::memcmp(h + 36, "data", 4) == 0;
}

// The bytes of sound a plain file of `size` bytes holds after its header:
// what its data chunk declares, no more than there is (0: all there is).
int64_t plain_data_bytes(const uint8_t* h, int64_t size) {
    const int64_t there = std::max<int64_t>(size - static_cast<int64_t>(wav_header_bytes), 0);
    const uint32_t declared = rd32(h + 40);
    return declared > 0 ? std::min<int64_t>(declared, there) : there;
}

// Reads a file image in the plain layout (n bytes from offset 0, at least
// 20) into a sample area of K bytes. `data_bytes`: the bytes of sound the
// whole file holds, of which the image may show only the first.
fi_wav load_plain(const uint8_t* img, std::size_t n, int32_t K, fi_sample& out, std::vector<fi_filemsg>& msgs,
                  int64_t data_bytes) {
    if (n < 20) return refuse(msgs);
    std::vector<uint8_t> area;
    try {
        area.assign(static_cast<std::size_t>(K), 0);
    } catch (const std::bad_alloc&) {
        return fi_wav::none;
    }
    // The format record, the data header and the samples from offset 20,
    // as much as the area takes.
    const int64_t cap = int64_t{K} - 72;
    int64_t R = std::min<int64_t>(static_cast<int64_t>(n) - 20, cap);
    // Bytes behind the data chunk (a list chunk, say) are not sound; a
    // declared size larger than the file is not believed either.
    if (n >= wav_header_bytes) {
        const uint32_t declared = rd32(img + 40);
        if (declared > 0 && 24 + int64_t{declared} < R) R = 24 + int64_t{declared};
    }
    std::memcpy(area.data(), img + 20, static_cast<std::size_t>(R));
    uint8_t* a = area.data();

    const uint32_t channels = rd16(a + 2);
    const uint32_t bits = rd16(a + 14);
    const int32_t rate = static_cast<int32_t>(rd32(a + 4));
    if (channels > 2 || (channels == 2 && bits != 16)) return refuse(msgs);

    int64_t length = 0;
    if (channels == 2) {
        if (R == cap) msgs.push_back({"read WAV file", "Sound may be incomplete"});
        // Left and right averaged into one word, in place. The pairs read
        // reach no further than 24 bytes past R, well inside the area.
        const int64_t m = R / 4;
        for (int64_t i = 0; i < m; ++i) {
            const auto k = static_cast<std::size_t>(i);
            setword(a, 12 + k, (word(a, 12 + 2 * k) + word(a, 13 + 2 * k)) / 2);
        }
        length = 2 * m - 12;
    } else if (bits == 8) {
        int64_t cnt = R;
        if (cnt > K / 2 - 36) {
            char text[80];
            std::snprintf(text, sizeof text, "sound incomplete,\ntry >%lld bytes buffer size",
                          static_cast<long long>(2 * cnt + 72));
            msgs.push_back({"read WAV file", text});
            cnt = K / 2 - 36;
        }
        // From the top down, so that no byte is overwritten before it is read.
        for (int64_t i = cnt - 1; i >= 0; --i) {
            const auto k = static_cast<std::size_t>(i);
            setword(a, 12 + k, (a[24 + k] - 128) * 256);
        }
        length = 2 * cnt - 48;
    } else {
        if (R == cap) msgs.push_back({"read WAV file", "Sound may be incomplete!"});
        length = R - 24;
    }
    out.area = std::move(area);
    out.length = static_cast<int32_t>(std::max<int64_t>(length, 0));
    out.rate = rate;
    // In bytes of the 16-bit mono sample: a stereo pair becomes one word,
    // an 8-bit value one word.
    const int64_t given = channels == 2 ? data_bytes / 4 * 2 : bits == 8 ? 2 * data_bytes : data_bytes / 2 * 2;
    out.given = std::max<int64_t>(given, out.length);
    return fi_wav::loaded;
}

struct sf_closer {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using sf_ptr = std::unique_ptr<SNDFILE, sf_closer>;

// Any file libsndfile reads, rewritten in the plain layout with 16-bit
// words and its own channel count, then read like a plain file. Only as
// many frames are decoded as the area can take (and one more, so that a
// full area is told apart from an exact fit).
fi_wav load_decoded(const fi_sfsource& src, SNDFILE* raw, const SF_INFO& info, int32_t K, fi_sample& out,
                    std::vector<fi_filemsg>& msgs) {
    sf_ptr sf(raw);
    if (src.broken) return refuse(msgs, src.fault);
    if (!sf || info.channels < 1 || info.channels > 2 || info.samplerate < 1) return refuse(msgs);
    const auto ch = static_cast<std::size_t>(info.channels);
    const std::size_t room = static_cast<std::size_t>(K - 96) / (2 * ch) + 1;
    const int sub = info.format & SF_FORMAT_SUBMASK;
    const bool floating = sub == SF_FORMAT_FLOAT || sub == SF_FORMAT_DOUBLE;
    std::vector<short> pcm;
    std::vector<float> fl;
    std::vector<uint8_t> img;
    try {
        pcm.resize(room * ch);
        if (floating) fl.resize(room * ch);
        img.resize(wav_header_bytes + room * ch * 2);
    } catch (const std::bad_alloc&) {
        return fi_wav::none;
    }
    // Float data (full scale 1.0) is scaled to the 16-bit range and clipped
    // here: libsndfile's own short view of floats is not scaled.
    std::size_t got = 0;
    while (got < room) {
        const auto want = static_cast<sf_count_t>(room - got);
        const sf_count_t r = floating ? sf_readf_float(sf.get(), fl.data() + got * ch, want)
                                      : sf_readf_short(sf.get(), pcm.data() + got * ch, want);
        if (r <= 0) break;
        got += static_cast<std::size_t>(r);
    }
    if (floating) {
        for (std::size_t i = 0; i < got * ch; ++i) {
            const float x = fl[i] * 32767.0f;
            pcm[i] = static_cast<short>(std::isnan(x) ? 0 : x >= 32767.0f ? 32767 : x <= -32768.0f ? -32768 : std::lrint(x));
        }
    }
    const std::size_t words = got * ch;
    for (std::size_t i = 0; i < words; ++i) {
        img[wav_header_bytes + 2 * i] = static_cast<uint8_t>(pcm[i]);
        img[wav_header_bytes + 2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(pcm[i]) >> 8);
    }
    wav_header44(img.data(), info.channels, info.samplerate, 16, static_cast<uint32_t>(words * 2));
    // A full area: the file's own frame count tells how much it held.
    const int64_t frames = got < room ? static_cast<int64_t>(got)
                                      : std::clamp<int64_t>(info.frames, static_cast<int64_t>(got), INT64_MAX / 8);
    return load_plain(img.data(), wav_header_bytes + words * 2, K, out, msgs, frames * info.channels * 2);
}

}  // namespace

fi_wav fi_sample_load_bytes(const uint8_t* data, std::size_t n, int32_t K, fi_sample& out,
                            std::vector<fi_filemsg>& msgs) {
    if (K < fi_sample_min_capacity) return fi_wav::none;
    if (!data) n = 0;
    if (plain_layout(data, n))
        return load_plain(data, n, K, out, msgs, plain_data_bytes(data, static_cast<int64_t>(n)));
    fi_sfsource src;
    src.open_memory(data, n);
    SF_INFO info{};
    SNDFILE* sf = src.open_sndfile(info);
    return load_decoded(src, sf, info, K, out, msgs);
}

fi_wav fi_sample_load(const std::string& path, int32_t K, fi_sample& out, std::vector<fi_filemsg>& msgs) {
    if (K < fi_sample_min_capacity) return fi_wav::none;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    struct stat st;
    if (!f || fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode)) {
        if (f) std::fclose(f);
        msgs.push_back({"Read File", "File not opened"});
        return fi_wav::not_opened;
    }
    // The head: as much as a plain file can bring into the area.
    std::vector<uint8_t> head;
    try {
        head.resize(static_cast<std::size_t>(K) - 52);
    } catch (const std::bad_alloc&) {
        std::fclose(f);
        return fi_wav::none;
    }
    const std::size_t n = std::fread(head.data(), 1, head.size(), f);
    std::fclose(f);
    if (plain_layout(head.data(), n)) return load_plain(head.data(), n, K, out, msgs, plain_data_bytes(head.data(), st.st_size));
    fi_sfsource src;
    if (!src.open_path(path)) return refuse(msgs);
    SF_INFO info{};
    SNDFILE* sf = src.open_sndfile(info);
    return load_decoded(src, sf, info, K, out, msgs);
}

bool fi_sample_save(const std::string& path, const fi_sample& s, int& err) {
    // Never more bytes than the area holds, and the header says what follows.
    const std::size_t held = s.area.size() >= 24 ? s.area.size() - 24 : 0;
    const std::size_t len = std::min<std::size_t>(static_cast<std::size_t>(std::max<int32_t>(s.length, 0)), held);
    uint8_t h[wav_header_bytes];
    wav_header44(h, 1, s.rate, 16, static_cast<uint32_t>(len));
    outfile o;
    if (!outfile_open(o, path)) {
        err = errno;
        return false;
    }
    outfile_write(o, h, sizeof h);
    if (len) outfile_write(o, s.area.data() + 24, len);
    if (!outfile_commit(o)) {
        err = errno;
        return false;
    }
    err = 0;
    return true;
}
