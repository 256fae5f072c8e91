#include "app/render.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/cli.h"
#include "audio/refill.h"
#include "files/outfile.h"
#include "files/wav.h"

namespace {

const char* const usage_head =
    "usage: tessellon render [--setting FILE.rov] [--algorithm ROW] [--set N] [--scale N]\n"
    "                        [--voices N] [--timbre] [--emphasis] [--buffer-kb K]\n"
    "                        (--buffers N | --seconds S) [--raw] -o OUT\n"
    "       tessellon render --list\n";

int usage(const std::string& err) {
    std::fprintf(stderr, "tessellon render: %s\n%s%s", err.c_str(), usage_head, cli_engine_usage);
    std::fprintf(stderr,
                 "  --buffers N          number of buffers to compute (1..1000000)\n"
                 "  --seconds S          render the fewest buffers that cover S seconds\n"
                 "  --raw                bare little-endian 16-bit stereo samples, no WAV header\n"
                 "  -o OUT               output file\n"
                 "  --list               list the algorithm rows\n");
    return 2;
}

int list_rows() {
    for (int r = 0; r < rov_natab; ++r)
        std::printf("%2d  %-52s %s\n", r, atab[r].title[0] ? atab[r].title : "(end mark)",
                    wv_playable(r) ? "playable" : "no routine");
    return 0;
}

// Samples as little-endian bytes.
void to_le(const int16_t* w, std::size_t n, std::vector<uint8_t>& out) {
    out.resize(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto u = static_cast<uint16_t>(w[i]);
        out[2 * i] = static_cast<uint8_t>(u & 0xff);
        out[2 * i + 1] = static_cast<uint8_t>(u >> 8);
    }
}

}  // namespace

int cmd_render(const std::vector<std::string>& args) {
    cli_engine eo;
    long buffers = 0;
    double seconds = 0;
    bool raw = false, list = false;
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string err;
        const cli_step st = cli_engine_option(args, i, eo, err);
        if (st == cli_bad) return usage(err);
        if (st == cli_taken) continue;
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            std::printf("%s%s", usage_head, cli_engine_usage);
            return 0;
        } else if (a == "--raw") {
            raw = true;
        } else if (a == "--list") {
            list = true;
        } else if (a == "--buffers") {
            if (!has_value || !cli_int(args[i + 1], 1, 1000000, buffers))
                return usage("--buffers takes a whole number from 1 to 1000000");
            ++i;
        } else if (a == "--seconds") {
            if (!has_value || !cli_seconds(args[i + 1], 86400, seconds))
                return usage("--seconds takes a number of seconds above 0, at most 86400");
            ++i;
        } else if (a == "-o") {
            if (!has_value || args[i + 1].empty()) return usage("-o needs a file name");
            out = args[++i];
        } else {
            return usage("unknown option '" + a + "'");
        }
    }
    if (list) return list_rows();
    if (buffers > 0 && seconds > 0) return usage("give either --buffers or --seconds, not both");
    if (buffers == 0 && seconds == 0) return usage("give --buffers N or --seconds S");
    if (out.empty()) return usage("give the output file with -o OUT");

    static cli_play p;  // large: keep it off the stack
    std::string err;
    if (const int rc = cli_prepare(eo, p, err)) {
        std::fprintf(stderr, "tessellon render: %s\n", err.c_str());
        return rc;
    }

    const int32_t rate = rov_rate(p.st.s.rov_p[p.setnr * rov_nparams + 13]);
    wvplay pb;
    wv_alloc(pb, eo.bufkb * 1024, false);
    const int32_t frames = wv_frames(pb.bufsize);
    // The fewest buffers covering the time; a hair of tolerance keeps a time
    // that is an exact number of buffers from gaining one by rounding noise.
    if (seconds > 0) buffers = std::max(1L, static_cast<long>(std::ceil(seconds * rate / frames - 1e-9)));
    const uint64_t databytes = static_cast<uint64_t>(buffers) * frames * 4;
    if (!raw && databytes > 0xffffffffull - 36) {
        std::fprintf(stderr, "tessellon render: %llu bytes of samples do not fit in a WAV file; use --raw\n",
                     static_cast<unsigned long long>(databytes));
        return 2;
    }

    outfile of;
    if (!outfile_open(of, out)) {
        std::fprintf(stderr, "tessellon render: cannot create '%s': %s\n", out.c_str(), std::strerror(errno));
        return 1;
    }
    uint8_t header[wav_header_bytes];
    wav_header44(header, 2, rate, 16, static_cast<uint32_t>(databytes));
    if (!raw) outfile_write(of, header, sizeof header);

    const wv_source src{&p.st.h, p.row, p.setnr, p.tonr, {}};
    std::vector<uint8_t> bytes;
    // Start computes both buffers and sends buffer 0; every later turn sends
    // the buffer computed during the previous turn and refills the other.
    wv_start_fill(pb, src, frames);
    for (long n = 0; n < buffers; ++n) {
        const int j = n == 0 ? 0 : wv_sendindex(p.st.g);
        to_le(pb.data[j].data(), static_cast<std::size_t>(2 * frames), bytes);
        if (!outfile_write(of, bytes.data(), bytes.size())) break;
        if (n > 0 && n + 1 < buffers) wv_tick_fill(pb, src, frames);
    }
    if (!outfile_commit(of)) {
        std::fprintf(stderr, "tessellon render: cannot write '%s': %s\n", out.c_str(), std::strerror(errno));
        return 1;
    }
    // The summary goes to stderr so that -o /dev/stdout carries only samples.
    std::fprintf(stderr, "%s: %ld buffers of %d frames, %.3f s at %d Hz\n", out.c_str(), buffers, frames,
                static_cast<double>(buffers) * frames / rate, rate);
    return 0;
}
