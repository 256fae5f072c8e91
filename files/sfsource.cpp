#include "files/sfsource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

uint32_t rd32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void wr32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// The largest format chunk taken (the extensible one has 40 bytes).
constexpr uint32_t max_fmt = 1024;

sf_count_t v_len(void* u) { return static_cast<fi_sfsource*>(u)->size(); }
sf_count_t v_seek(sf_count_t off, int whence, void* u) {
    auto* s = static_cast<fi_sfsource*>(u);
    const int64_t to = whence == SEEK_SET ? off : whence == SEEK_CUR ? s->pos + off : s->size() + off;
    if (to < 0 || to > s->size()) return -1;
    s->pos = to;
    return to;
}
sf_count_t v_read(void* ptr, sf_count_t count, void* u) {
    auto* s = static_cast<fi_sfsource*>(u);
    auto* out = static_cast<uint8_t*>(ptr);
    sf_count_t done = 0;
    const auto hs = static_cast<int64_t>(s->head.size());
    while (done < count && s->pos < s->size()) {
        if (s->pos < hs) {
            const int64_t k = std::min<int64_t>(count - done, hs - s->pos);
            std::memcpy(out + done, s->head.data() + s->pos, static_cast<std::size_t>(k));
            done += k;
            s->pos += k;
        } else {
            const int64_t k = std::min<int64_t>(count - done, s->size() - s->pos);
            const int64_t got = s->read_source(s->data_off + (s->pos - hs), out + done, k);
            if (got <= 0) break;
            done += got;
            s->pos += got;
        }
    }
    return done;
}
sf_count_t v_write(const void*, sf_count_t, void*) { return 0; }
sf_count_t v_tell(void* u) { return static_cast<fi_sfsource*>(u)->pos; }

}  // namespace

fi_sfsource::~fi_sfsource() {
    if (fd_ >= 0) close(fd_);
}

bool fi_sfsource::open_path(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    fd_ = fd;
    src_size_ = st.st_size;
    build_view();
    return true;
}

void fi_sfsource::open_memory(const uint8_t* data, std::size_t n) {
    static const uint8_t empty = 0;
    mem_ = data && n ? data : &empty;
    src_size_ = data ? static_cast<int64_t>(n) : 0;
    build_view();
}

int64_t fi_sfsource::read_source(int64_t off, void* buf, int64_t n) const {
    if (off < 0 || off >= src_size_ || n <= 0) return 0;
    n = std::min(n, src_size_ - off);
    if (mem_) {
        std::memcpy(buf, mem_ + off, static_cast<std::size_t>(n));
        return n;
    }
    int64_t done = 0;
    while (done < n) {
        const ssize_t r = pread(fd_, static_cast<uint8_t*>(buf) + done, static_cast<std::size_t>(n - done), off + done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        done += r;
    }
    return done;
}

namespace {

// What a container's chunk walk looks for: the chunk that describes the
// sound and the one that holds it, in the byte order of the sizes.
struct layout {
    bool big;                  // sizes big-endian (RIFX, AIFF)
    const char* magic;         // the shown file's first four bytes
    const char* fmt_tag;       // "fmt " or "COMM"
    const char* data_tag;      // "data" or "SSND"
};

uint32_t rd32be(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}
void wr32be(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

}  // namespace

void fi_sfsource::build_view() {
    head.clear();
    pos = 0;
    broken = false;
    fault.clear();
    data_off = 0;
    data_len = src_size_;
    uint8_t h[12];
    if (read_source(0, h, 12) != 12) return;
    layout lay{};
    const bool wave = std::memcmp(h + 8, "WAVE", 4) == 0;
    if (wave && (std::memcmp(h, "RIFF", 4) == 0 || std::memcmp(h, "RF64", 4) == 0 || std::memcmp(h, "BW64", 4) == 0))
        lay = {false, "RIFF", "fmt ", "data"};  // a 64-bit file's sizes are the ones its data has
    else if (wave && std::memcmp(h, "RIFX", 4) == 0)
        lay = {true, "RIFX", "fmt ", "data"};
    else if (std::memcmp(h, "FORM", 4) == 0 && (std::memcmp(h + 8, "AIFF", 4) == 0 || std::memcmp(h + 8, "AIFC", 4) == 0))
        lay = {true, "FORM", "COMM", "SSND"};
    else
        return;  // no chunks that libsndfile walks: it sees the file as it is
    auto size_of = [&](const uint8_t* p) { return lay.big ? rd32be(p) : rd32(p); };
    auto fail = [&](std::string why) {
        broken = true;
        data_len = 0;
        fault = std::move(why);
    };
    std::vector<uint8_t> fmt;
    int64_t off = 12;
    bool have_data = false;
    // Each step moves on by at least 8 bytes: the walk ends at the file's end.
    // Every chunk before the data must lie inside the file; what follows the
    // data is never looked at.
    while (off + 8 <= src_size_) {
        uint8_t c[8];
        if (read_source(off, c, 8) != 8) break;
        const uint32_t n = size_of(c + 4);
        const int64_t body = off + 8;
        const int64_t left = src_size_ - body;
        if (std::memcmp(c, lay.data_tag, 4) == 0) {
            // A size of 0 or one past the end (a file still being written,
            // or cut short) means: what is there.
            data_off = body;
            data_len = n == 0 || n > left ? left : n;
            have_data = true;
            break;
        }
        if (n > left) {
            char tag[5] = {};
            for (int i = 0; i < 4; ++i) tag[i] = c[i] >= 0x20 && c[i] < 0x7f ? static_cast<char>(c[i]) : '?';
            char why[160];
            std::snprintf(why, sizeof why, "its chunk sizes do not add up: the '%s' chunk at byte %lld claims %lu bytes, %lld are left",
                          tag, static_cast<long long>(off), static_cast<unsigned long>(n), static_cast<long long>(left));
            fail(why);
            return;
        }
        if (std::memcmp(c, lay.fmt_tag, 4) == 0 && fmt.empty()) {
            if (n < (lay.big && lay.magic[0] == 'F' ? 18u : 16u) || n > max_fmt) {
                fail("its format chunk has a size of " + std::to_string(n) + " bytes");
                return;
            }
            fmt.resize(n);
            read_source(body, fmt.data(), n);
        }
        off = body + n + (n & 1);
    }
    if (fmt.empty() || !have_data) {
        fail(fmt.empty() ? "it has no format chunk before its data" : "it has no data chunk");
        return;
    }
    // A format with no channels or no frame size describes no sound (and
    // sets libsndfile's reader walking the data for minutes).
    auto rd16o = [&](std::size_t i) { return lay.big ? fmt[i] << 8 | fmt[i + 1] : fmt[i] | fmt[i + 1] << 8; };
    const bool no_frames = lay.fmt_tag[0] == 'f' ? rd16o(2) == 0 || rd16o(12) == 0 : rd16o(0) == 0 || rd16o(6) == 0;
    if (no_frames) {
        fail("its format has no channels or no sample size");
        return;
    }
    // No kind of sample is wider than 64 bits (libsndfile reads a format
    // that claims 148 for ever).
    if (lay.fmt_tag[0] == 'f' && rd16o(14) > 64) {
        fail("its format has " + std::to_string(rd16o(14)) + " bits per sample");
        return;
    }
    // Only whole frames are shown: libsndfile reads 8-bit stereo data that
    // ends inside a frame for ever.
    if (lay.fmt_tag[0] == 'f') data_len -= data_len % rd16o(12);
    const uint32_t fmt_bytes = static_cast<uint32_t>(fmt.size() + (fmt.size() & 1));
    head.assign(12 + 8 + fmt_bytes + 8, 0);
    std::memcpy(head.data(), lay.magic, 4);
    std::memcpy(head.data() + 8, h + 8, 4);
    std::memcpy(head.data() + 12, lay.fmt_tag, 4);
    std::memcpy(head.data() + 20, fmt.data(), fmt.size());
    std::memcpy(head.data() + 20 + fmt_bytes, lay.data_tag, 4);
    // AIFF sizes are signed.
    const int64_t max_size = lay.fmt_tag[0] == 'C' ? 0x7fffffffLL : 0xffffffffLL;
    data_len = std::min<int64_t>(data_len, max_size - static_cast<int64_t>(head.size()));
    auto put = [&](std::size_t at, uint32_t v) { lay.big ? wr32be(head.data() + at, v) : wr32(head.data() + at, v); };
    put(16, static_cast<uint32_t>(fmt.size()));
    put(24 + fmt_bytes, static_cast<uint32_t>(data_len));
    put(4, static_cast<uint32_t>(head.size() - 8 + data_len));
}

SNDFILE* fi_sfsource::open_sndfile(SF_INFO& info) {
    if (broken) return nullptr;
    pos = 0;
    info = SF_INFO{};
    SF_VIRTUAL_IO io{v_len, v_seek, v_read, v_write, v_tell};
    return sf_open_virtual(&io, SFM_READ, &info, this);
}
