// Checks a recording of the output against the rendered samples: the
// rendered 16-bit stereo frames must appear in the recording in order and bit
// for bit, from the first rendered frame on, for at least the given number of
// frames, and whatever follows the matching run must be silence (the stop).
//   pcm_match REFERENCE.raw RECORDING.raw MIN_FRAMES
// Exit 0 when it holds, 1 when it does not, 2 on bad use.
//   pcm_match --gap REFERENCE.raw RECORDING.raw
// A recording with one gap: the rendered frames in order up to a run of
// silence, then again from where they stopped or later. Prints the frames of
// silence first ("G frames of silence after ..."); exit 1 when the
// recording is not that.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint32_t> frames_of(const char* path, bool& ok) {
    std::ifstream f(path, std::ios::binary);
    std::vector<char> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    ok = static_cast<bool>(f) || f.eof();
    std::vector<uint32_t> out(b.size() / 4);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto* p = reinterpret_cast<const unsigned char*>(b.data() + 4 * i);
        out[i] = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
    }
    return out;
}

// The first frame of `rec` at or after `from` where `key` frames of ref
// from `rf` on follow, or rec.size().
std::size_t find_run(const std::vector<uint32_t>& rec, std::size_t from, const std::vector<uint32_t>& ref,
                     std::size_t rf, std::size_t key) {
    for (std::size_t i = from; i + key <= rec.size(); ++i) {
        std::size_t k = 0;
        while (k < key && rec[i + k] == ref[rf + k]) ++k;
        if (k == key) return i;
    }
    return rec.size();
}

int gap_mode(const std::vector<uint32_t>& ref, const std::vector<uint32_t>& rec) {
    std::size_t rf = 0;
    while (rf < ref.size() && ref[rf] == 0) ++rf;
    const std::size_t key = 64;
    if (rf + key > ref.size()) return 2;
    const std::size_t first = find_run(rec, 0, ref, rf, key);
    if (first == rec.size()) {
        std::printf("the rendered samples do not appear in the recording\n");
        return 1;
    }
    const std::size_t at = first - rf;
    std::size_t n = 0;
    while (at + n < rec.size() && n < ref.size() && rec[at + n] == ref[n]) ++n;
    std::size_t zeros = 0;
    while (at + n + zeros < rec.size() && rec[at + n + zeros] == 0) ++zeros;
    const std::size_t back = at + n + zeros;
    // The sound goes on from the rendered frame where it stopped, or later
    // (a server that drops what came too late).
    std::size_t r2 = n;
    while (r2 + key <= ref.size() && !(back + key <= rec.size() && find_run(rec, back, ref, r2, key) == back)) ++r2;
    if (zeros == 0 || r2 + key > ref.size()) {
        std::printf("no gap amid the sound (%zu frames match, then %zu of silence)\n", n, zeros);
        return 1;
    }
    std::size_t m = 0;
    while (back + m < rec.size() && r2 + m < ref.size() && rec[back + m] == ref[r2 + m]) ++m;
    std::printf("%zu frames of silence after %zu frames of sound, then the sound again from rendered frame %zu "
                "(%zu frames skipped) for %zu frames\n",
                zeros, n, r2, r2 - n, m);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--gap") {
        bool ok1 = false, ok2 = false;
        const std::vector<uint32_t> ref = frames_of(argv[2], ok1);
        const std::vector<uint32_t> rec = frames_of(argv[3], ok2);
        if (!ok1 || !ok2 || ref.empty()) return 2;
        return gap_mode(ref, rec);
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: pcm_match REFERENCE.raw RECORDING.raw MIN_FRAMES\n");
        return 2;
    }
    bool ok1 = false, ok2 = false;
    const std::vector<uint32_t> ref = frames_of(argv[1], ok1);
    const std::vector<uint32_t> rec = frames_of(argv[2], ok2);
    const long min = std::strtol(argv[3], nullptr, 10);
    if (!ok1 || !ok2 || ref.empty() || min <= 0) {
        std::fprintf(stderr, "pcm_match: cannot read the files\n");
        return 2;
    }
    // Align on the first rendered frames that are not silent.
    std::size_t rf = 0;
    while (rf < ref.size() && ref[rf] == 0) ++rf;
    const std::size_t key = std::min<std::size_t>(64, ref.size() - rf);
    if (rf == ref.size()) {
        std::fprintf(stderr, "pcm_match: the reference is silent\n");
        return 2;
    }
    std::size_t at = rec.size();
    for (std::size_t i = rf; i + key <= rec.size(); ++i) {
        std::size_t k = 0;
        while (k < key && rec[i + k] == ref[rf + k]) ++k;
        if (k == key) {
            at = i - rf;
            break;
        }
    }
    if (at == rec.size()) {
        std::printf("pcm_match: the rendered samples do not appear in the recording (%zu frames)\n", rec.size());
        return 1;
    }
    std::size_t n = 0;
    while (at + n < rec.size() && n < ref.size() && rec[at + n] == ref[n]) ++n;
    std::size_t zeros = 0;
    while (at + n + zeros < rec.size() && rec[at + n + zeros] == 0) ++zeros;
    const std::size_t rest = rec.size() - at - n;
    std::printf("pcm_match: recording of %zu frames; rendered frames start at frame %zu; %zu frames match "
                "in order; then %zu frames of silence and %zu other frames\n",
                rec.size(), at, n, zeros, rest - zeros);
    if (n < static_cast<std::size_t>(min)) {
        if (at + n < rec.size() && n < ref.size())
            std::printf("pcm_match: frame %zu differs: recorded %08x, rendered %08x\n", n, rec[at + n], ref[n]);
        std::printf("pcm_match: fewer than %ld frames match\n", min);
        return 1;
    }
    if (zeros != rest) {
        std::printf("pcm_match: after the matching run the recording goes on with other sound\n");
        return 1;
    }
    return 0;
}
