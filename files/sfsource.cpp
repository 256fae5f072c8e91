#include "files/sfsource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

uint32_t rd32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void wr32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// The largest format chunk taken (the extensible one has 40 bytes).
constexpr uint32_t max_fmt = 1024;

sf_count_t v_len(void* u) { return static_cast<fl_sfsource*>(u)->size(); }
sf_count_t v_seek(sf_count_t off, int whence, void* u) {
    auto* s = static_cast<fl_sfsource*>(u);
    const int64_t to = whence == SEEK_SET ? off : whence == SEEK_CUR ? s->pos + off : s->size() + off;
    if (to < 0 || to > s->size()) return -1;
    s->pos = to;
    return to;
}
sf_count_t v_read(void* ptr, sf_count_t count, void* u) {
    auto* s = static_cast<fl_sfsource*>(u);
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
sf_count_t v_tell(void* u) { return static_cast<fl_sfsource*>(u)->pos; }

}  // namespace

fl_sfsource::~fl_sfsource() {
    if (fd_ >= 0) close(fd_);
}

bool fl_sfsource::open_path(const std::string& path) {
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

void fl_sfsource::open_memory(const uint8_t* data, std::size_t n) {
    static const uint8_t empty = 0;
    mem_ = data && n ? data : &empty;
    src_size_ = data ? static_cast<int64_t>(n) : 0;
    build_view();
}

int64_t fl_sfsource::read_source(int64_t off, void* buf, int64_t n) const {
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

void fl_sfsource::build_view() {
    head.clear();
    pos = 0;
    broken = false;
    data_off = 0;
    data_len = src_size_;
    uint8_t h[12];
    if (read_source(0, h, 12) != 12 || std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, "WAVE", 4) != 0)
        return;  // not a RIFF/WAVE file: libsndfile sees it as it is
    std::vector<uint8_t> fmt;
    int64_t off = 12;
    bool have_data = false;
    // Each step moves on by at least 8 bytes: the walk ends at the file's end.
    while (off + 8 <= src_size_) {
        uint8_t c[8];
        if (read_source(off, c, 8) != 8) break;
        const uint32_t n = rd32(c + 4);
        const int64_t body = off + 8;
        const int64_t left = src_size_ - body;
        if (std::memcmp(c, "fmt ", 4) == 0 && fmt.empty()) {
            if (n < 16 || n > max_fmt || n > left) break;
            fmt.resize(n);
            read_source(body, fmt.data(), n);
        } else if (std::memcmp(c, "data", 4) == 0) {
            // A size of 0 or one past the end (a file still being written,
            // or cut short) means: what is there.
            data_off = body;
            data_len = n == 0 || n > left ? left : n;
            have_data = true;
            break;
        }
        off = body + n + (n & 1);
    }
    // A format with no channels or no block size describes no sound (and
    // sets libsndfile's reader walking the data for minutes).
    const bool no_frames = fmt.size() < 14 || (fmt[2] | fmt[3] << 8) == 0 || (fmt[12] | fmt[13] << 8) == 0;
    if (fmt.empty() || !have_data || no_frames) {
        broken = true;
        data_len = 0;
        return;
    }
    const uint32_t fmt_bytes = static_cast<uint32_t>(fmt.size() + (fmt.size() & 1));
    head.assign(12 + 8 + fmt_bytes + 8, 0);
    std::memcpy(head.data(), "RIFFxxxxWAVEfmt ", 16);
    wr32(head.data() + 16, static_cast<uint32_t>(fmt.size()));
    std::memcpy(head.data() + 20, fmt.data(), fmt.size());
    std::memcpy(head.data() + 20 + fmt_bytes, "data", 4);
    data_len = std::min<int64_t>(data_len, 0xffffffffLL - static_cast<int64_t>(head.size()));
    wr32(head.data() + 24 + fmt_bytes, static_cast<uint32_t>(data_len));
    wr32(head.data() + 4, static_cast<uint32_t>(head.size() - 8 + data_len));
}

SNDFILE* fl_sfsource::open_sndfile(SF_INFO& info) {
    if (broken) return nullptr;
    pos = 0;
    info = SF_INFO{};
    SF_VIRTUAL_IO io{v_len, v_seek, v_read, v_write, v_tell};
    return sf_open_virtual(&io, SFM_READ, &info, this);
}
