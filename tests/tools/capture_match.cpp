// Known sound for a recording test, and the check of what was recorded.
//   capture_match gen OUT.raw FRAMES
//       writes FRAMES frames of 16-bit mono noise (little-endian, no header)
//       in which no 64-frame stretch repeats
//   capture_match cmp PLAYED.raw RECORDED.wav RATE
//       RECORDED.wav must be a 44-byte-header 16-bit mono WAV file at RATE
//       whose header sizes agree with the file; its first 64 frames must
//       occur once in PLAYED, and from there every recorded frame must equal
//       the played frame at the same distance (one stretch, bit for bit).
//       Without such a stretch the best lag by cross-correlation and the
//       largest difference at that lag are reported.
// Exit 0 when it holds, 1 when it does not, 2 on bad use.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<unsigned char> slurp(const char* path, bool& ok) {
    std::ifstream f(path, std::ios::binary);
    ok = static_cast<bool>(f);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::vector<int16_t> words(const unsigned char* p, std::size_t bytes) {
    std::vector<int16_t> w(bytes / 2);
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = static_cast<int16_t>(p[2 * i] | p[2 * i + 1] << 8);
    return w;
}

uint32_t rd32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint32_t rd16(const unsigned char* p) { return p[0] | p[1] << 8; }

int gen(const char* out, long frames) {
    std::FILE* f = std::fopen(out, "wb");
    if (!f) return 2;
    uint32_t x = 12345;
    for (long i = 0; i < frames; ++i) {
        x = x * 1103515245u + 12345u;
        const auto v = static_cast<int16_t>(static_cast<int32_t>(x >> 16) % 24001 - 12000);
        const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(static_cast<uint16_t>(v) >> 8)};
        std::fwrite(b, 1, 2, f);
    }
    return std::fclose(f) == 0 ? 0 : 2;
}

int cmp(const char* played_path, const char* rec_path, long rate) {
    bool ok1 = false, ok2 = false;
    const auto pb = slurp(played_path, ok1);
    const auto rb = slurp(rec_path, ok2);
    if (!ok1 || !ok2) {
        std::printf("capture_match: cannot read the files\n");
        return 2;
    }
    if (rb.size() < 44 || std::memcmp(rb.data(), "RIFF", 4) != 0 || std::memcmp(rb.data() + 8, "WAVEfmt ", 8) != 0 ||
        std::memcmp(rb.data() + 36, "data", 4) != 0) {
        std::printf("capture_match: the recording is not a 44-byte-header WAV file\n");
        return 1;
    }
    const uint32_t data = rd32(rb.data() + 40);
    if (rd16(rb.data() + 20) != 1 || rd16(rb.data() + 22) != 1 || rd16(rb.data() + 34) != 16 ||
        rd32(rb.data() + 24) != static_cast<uint32_t>(rate) || rd32(rb.data() + 28) != 2u * static_cast<uint32_t>(rate) ||
        rd32(rb.data() + 4) != data + 36 || data != rb.size() - 44) {
        std::printf("capture_match: the header is not PCM mono 16 bit at %ld Hz with sizes that agree with the file\n",
                    rate);
        return 1;
    }
    const std::vector<int16_t> p = words(pb.data(), pb.size());
    const std::vector<int16_t> r = words(rb.data() + 44, data);
    constexpr std::size_t key = 64;
    if (r.size() < key || p.size() < r.size()) {
        std::printf("capture_match: %zu frames recorded, %zu played: too few\n", r.size(), p.size());
        return 1;
    }
    long at = -1;
    int found = 0;
    for (std::size_t j = 0; j + key <= p.size(); ++j)
        if (std::memcmp(&p[j], &r[0], key * 2) == 0) {
            if (found++ == 0) at = static_cast<long>(j);
        }
    if (found == 1) {
        std::size_t same = 0;
        while (same < r.size() && static_cast<std::size_t>(at) + same < p.size() && r[same] == p[at + same]) ++same;
        if (same == r.size()) {
            std::printf("capture_match: all %zu recorded frames equal the played frames %ld..%zu\n", r.size(), at,
                        at + r.size() - 1);
            return 0;
        }
        // What follows the break tells a gap of silence (the sink had nothing)
        // from frames lost or repeated on the way (a jump to another lag).
        std::size_t zeros = 0;
        while (same + zeros < r.size() && r[same + zeros] == 0) ++zeros;
        long again = -1;
        const std::size_t from = same + zeros;
        if (from + key <= r.size())
            for (std::size_t j = 0; j + key <= p.size() && again < 0; ++j)
                if (std::memcmp(&p[j], &r[from], key * 2) == 0) again = static_cast<long>(j);
        std::printf("capture_match: the recording follows the played frames from %ld for %zu of %zu frames; then %zu "
                    "silent frames, then ",
                    at, same, r.size(), zeros);
        if (again >= 0)
            std::printf("played frame %ld (%+ld frames against the first stretch)\n", again,
                        again - at - static_cast<long>(from));
        else
            std::printf("no played stretch\n");
        return 1;
    }
    // No exact start: where the recording fits best, and how far off it is.
    const std::size_t n = std::min<std::size_t>(r.size(), 4096);
    long best = 0;
    double bestc = -1;
    for (std::size_t j = 0; j + n <= p.size(); ++j) {
        double c = 0;
        for (std::size_t i = 0; i < n; ++i) c += static_cast<double>(p[j + i]) * r[i];
        if (c > bestc) bestc = c, best = static_cast<long>(j);
    }
    int maxd = 0;
    for (std::size_t i = 0; i < r.size() && best + static_cast<long>(i) < static_cast<long>(p.size()); ++i)
        maxd = std::max(maxd, std::abs(r[i] - p[best + i]));
    std::printf("capture_match: the first %zu recorded frames occur %d times in the played sound; best lag by "
                "cross-correlation %ld, largest difference there %d\n",
                key, found, best, maxd);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "gen") == 0) return gen(argv[2], std::atol(argv[3]));
    if (argc == 5 && std::strcmp(argv[1], "cmp") == 0) return cmp(argv[2], argv[3], std::atol(argv[4]));
    std::fprintf(stderr, "usage: capture_match gen OUT.raw FRAMES | cmp PLAYED.raw RECORDED.wav RATE\n");
    return 2;
}
