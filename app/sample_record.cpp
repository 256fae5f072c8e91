#include "app/sample_record.h"

#include <time.h>

#include <cstdio>
#include <cstring>

#include "app/cli.h"
#include "app/hint.h"
#include "app/signals.h"
#include "audio/samplerec.h"
#include "audio/sdlcap.h"
#include "audio/sdldev.h"
#include "files/wavload.h"

const char* const cli_sample_record_usage =
    "usage: tessellon sample record --seconds S [--rate R] [--device N] OUT.wav\n"
    "  records a sample from the input device and saves it as a 16-bit mono WAV file\n"
    "  --seconds S          length, 0 < S <= 600 (at least 1500 frames are recorded)\n"
    "  --rate R             recording rate in Hz: 11025, 22050 (default) or 44100\n"
    "  --device N           input device number (see tessellon devices); default: the\n"
    "                       default input\n"
    "  --help               this text\n"
    "Exit status: 0 recorded and saved; 1 no input device, the device stopped\n"
    "delivering, an interrupt, or the file cannot be written (nothing is written then);\n"
    "2 a usage error.\n";

namespace {

constexpr const char* who = "tessellon sample record";

int usage(const std::string& err) {
    std::fprintf(stderr, "%s: %s\n%s", who, err.c_str(), cli_sample_record_usage);
    return 2;
}

struct rec_args {
    double seconds = 0;
    long rate = 22050;
    unsigned devno = wv_mapper;
    std::string out;
};

// -1 to go on, else the exit status.
int parse(const std::vector<std::string>& args, rec_args& r) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        const std::string v = has_value ? args[i + 1] : std::string();
        if (a == "--help" || a == "-h") {
            std::printf("%s", cli_sample_record_usage);
            return 0;
        }
        if (a == "--seconds") {
            if (!has_value || !cli_seconds(v, 600, r.seconds))
                return usage("--seconds takes a number of seconds above 0, at most 600");
            ++i;
        } else if (a == "--rate") {
            if (!has_value || !cli_int(v, 11025, 44100, r.rate) || (r.rate != 11025 && r.rate != 22050 && r.rate != 44100))
                return usage("--rate takes 11025, 22050 or 44100");
            ++i;
        } else if (a == "--device") {
            long n = 0;
            if (!has_value || !cli_int(v, 0, 1023, n)) return usage("--device takes an input device number");
            r.devno = static_cast<unsigned>(n);
            ++i;
        } else if (!a.empty() && a[0] == '-') {
            return usage("unknown option '" + a + "'");
        } else if (r.out.empty()) {
            r.out = a;
        } else {
            return usage("one output file only ('" + r.out + "' and '" + a + "')");
        }
    }
    if (r.seconds <= 0) return usage("--seconds is needed");
    if (r.out.empty()) return usage("the output file is missing");
    return -1;
}

// Sleeps `ms` milliseconds; false once a signal has come.
bool sleep_ms(int ms) {
    if (cli_signal) return false;
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&ts, nullptr);
    return !cli_signal;
}

}  // namespace

int cli_sample_record_on(const std::vector<std::string>& args, wv_capture* cap, const wv_sdlcalls* calls) {
    rec_args r;
    if (const int rc = parse(args, r); rc >= 0) return rc;
    if (!cap) return 1;
    if (r.devno != wv_mapper && r.devno >= static_cast<unsigned>(cap->count())) {
        std::fprintf(stderr, "%s: there is no input device %u (tessellon devices lists them)\n", who, r.devno);
        return 1;
    }
    // The capacity that holds the frames asked for, as the window program
    // lays a recording out: K - 72 bytes of words from data offset 24.
    const auto rate = static_cast<int32_t>(r.rate);
    long frames = static_cast<long>(r.seconds * rate + 0.5);
    const long min_frames = (fi_sample_min_capacity - 72) / 2;
    if (frames < min_frames) frames = min_frames;
    const auto K = static_cast<int32_t>(2 * frames + 72);

    fi_sample smp;
    const wv_recres res = wv_record_sample(*cap, r.devno, rate, K, smp, sleep_ms);
    switch (res) {
    case wv_recres::done: break;
    case wv_recres::not_available:
    case wv_recres::start_error:
        std::fprintf(stderr, "%s: wave input device not available\n", who);
        if (calls && wv_sdl_no_answer(*calls)) cli_print_audio_hint(who, *calls);
        return 1;
    case wv_recres::prep_error:
        std::fprintf(stderr, "%s: wave header preparation error\n", who);
        return 1;
    case wv_recres::stalled:
        std::fprintf(stderr, "%s: the input device stopped delivering sound; nothing was written\n", who);
        return 1;
    case wv_recres::interrupted:
        std::fprintf(stderr, "%s: %s; nothing was written\n", who, cli_signal_name(cli_signal).c_str());
        return 1;
    case wv_recres::no_memory:
        std::fprintf(stderr, "%s: no memory for %ld frames\n", who, frames);
        return 1;
    }
    int err = 0;
    if (!fi_sample_save(r.out, smp, err)) {
        std::fprintf(stderr, "%s: cannot write '%s': %s\n", who, r.out.c_str(), std::strerror(err));
        return 1;
    }
    std::fprintf(stderr, "%s: %ld frames (%.3f s) at %d Hz written to '%s'\n", who, frames,
                 static_cast<double>(frames) / rate, rate, r.out.c_str());
    return 0;
}

int cli_sample_record(const std::vector<std::string>& args) {
    // Usage errors and --help need no sound system.
    {
        rec_args r;
        const int rc = parse(args, r);
        if (rc >= 0) return rc;
    }
    wv_sdlcap cap;
    std::string err;
    if (!wv_sdlcap_init(cap, err, &cli_signal)) {
        std::fprintf(stderr, "%s: %s\n", who, err.c_str());
        if (!cli_signal) cli_print_audio_hint(who, *cap.calls);
        return 1;
    }
    const int rc = cli_sample_record_on(args, &cap, cap.calls.get());
    wv_sdlcap_shutdown(cap);
    return rc;
}
