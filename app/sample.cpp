#include "app/sample.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/cli.h"
#include "app/sample_record.h"
#include "app/signals.h"
#include "files/convert.h"
#include "files/wavload.h"

namespace {

const char* const usage_text =
    "usage: tessellon sample expand|compress|optimize [--buffer-kb K] [--adjust-rate] IN.wav OUT.wav\n"
    "       tessellon sample record --seconds S [--rate R] [--device N] OUT.wav\n"
    "                       (tessellon sample record --help tells more)\n"
    "  expand               twice the length: a cubic midpoint between every two words\n"
    "                       (needs a buffer of at least twice the sample's bytes + 96)\n"
    "  compress             half the length: every second word dropped\n"
    "  optimize             the peak brought to about 1 dB below full scale\n"
    "  --buffer-kb K        buffer size in KiB, 3..512 (default 32): the sample is loaded\n"
    "                       into a buffer of that size, as the window program does\n"
    "  --adjust-rate        expand doubles a rate of at most 22050 Hz, compress halves it\n"
    "                       (the \"Adjust Rate ?\" question answered Yes); a new rate\n"
    "                       outside 2756..50000 Hz is refused\n"
    "  --help               this text\n"
    "IN.wav is any WAV file that libsndfile reads (stereo is mixed to mono); OUT.wav is\n"
    "written as 16-bit mono. Exit status: 0 done; 1 a file problem (cannot be read,\n"
    "used or written, no room to expand); 2 a usage error.\n";

int usage(const std::string& err) {
    std::fprintf(stderr, "tessellon sample: %s\n%s", err.c_str(), usage_text);
    return 2;
}

enum class conv { expand, compress, optimize };

// --adjust-rate: the new rate, when it is one the program plays (a file at
// 0 Hz, say, no program reads).
bool adjust_rate(fi_sample& smp, long rate, const std::string& out) {
    if (!fi_rate_playable(rate)) {
        std::fprintf(stderr,
                     "tessellon sample: --adjust-rate would give %ld Hz, outside %ld..%ld Hz; '%s' was not written "
                     "(leave out --adjust-rate to keep %ld Hz)\n",
                     rate, static_cast<long>(fi_rate_min()), static_cast<long>(fi_rate_max()), out.c_str(),
                     static_cast<long>(smp.rate));
        return false;
    }
    smp.rate = static_cast<int32_t>(rate);
    return true;
}

int convert(conv what, const std::vector<std::string>& args) {
    long kb = 32;
    bool adjust = false;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::printf("%s", usage_text);
            return 0;
        } else if (a == "--adjust-rate") {
            adjust = true;
        } else if (a == "--buffer-kb") {
            if (i + 1 >= args.size() || !cli_int(args[i + 1], 3, 512, kb))
                return usage("--buffer-kb takes a whole number from 3 to 512");
            ++i;
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return usage("unknown option '" + a + "'");
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2 || files[0].empty() || files[1].empty()) return usage("give IN.wav and OUT.wav");
    const std::string& in = files[0];
    const std::string& out = files[1];

    // Loaded with the capacity the window program gives a sample.
    const int32_t K = static_cast<int32_t>(kb * 1024);
    fi_sample smp;
    std::vector<fi_filemsg> msgs;
    const fi_wav r = fi_sample_load(in, K, smp, msgs);
    // A signal during the load: whatever it brought, nothing is written.
    if (cli_signal) {
        std::fprintf(stderr, "tessellon sample: stopped by %s; '%s' was not written\n", cli_signal_name(cli_signal).c_str(),
                     out.c_str());
        return 1;
    }
    if (r == fi_wav::not_opened) {
        std::fprintf(stderr, "tessellon sample: cannot open '%s': %s\n", in.c_str(), std::strerror(errno));
        return 1;
    }
    for (const fi_filemsg& m : msgs) {
        std::string t = m.text;
        for (char& c : t)
            if (c == '\n') c = ' ';
        std::fprintf(stderr, "tessellon sample: %s: %s\n", in.c_str(), t.c_str());
    }
    if (r != fi_wav::loaded) {
        std::fprintf(stderr, "tessellon sample: '%s' cannot be used as a sample\n", in.c_str());
        return 1;
    }
    if (smp.given > smp.length) {
        const double rate = smp.rate > 0 ? smp.rate : 1;
        std::fprintf(stderr,
                     "tessellon sample: %s: cut to the buffer: %ld of its %lld bytes of sample kept (%.3f of %.3f s); "
                     "a larger --buffer-kb keeps more\n",
                     in.c_str(), static_cast<long>(smp.length), static_cast<long long>(smp.given),
                     smp.length / 2 / rate, static_cast<double>(smp.given) / 2 / rate);
    }
    const int32_t capacity = K - 96;
    switch (what) {
    case conv::expand:
        if (!fi_sample_expand(smp, capacity)) {
            std::fprintf(stderr,
                         "tessellon sample: no room to expand: %ld bytes of sample need a buffer of at least %ld "
                         "bytes; give a larger --buffer-kb\n",
                         static_cast<long>(smp.length), 2L * smp.length + 96);
            return 1;
        }
        if (adjust && smp.rate <= 22050 && !adjust_rate(smp, smp.rate * 2, out)) return 1;
        break;
    case conv::compress:
        fi_sample_compress(smp);
        if (adjust && !adjust_rate(smp, smp.rate / 2, out)) return 1;
        break;
    case conv::optimize:
        if (fi_sample_optimize(smp) == 0)
            std::fprintf(stderr, "tessellon sample: '%s' is too quiet to optimize; written unchanged\n", in.c_str());
        break;
    }
    if (cli_signal) {
        std::fprintf(stderr, "tessellon sample: stopped by %s; '%s' was not written\n", cli_signal_name(cli_signal).c_str(),
                     out.c_str());
        return 1;
    }
    int err = 0;
    if (!fi_sample_save(out, smp, err)) {
        std::fprintf(stderr, "tessellon sample: cannot write '%s': %s\n", out.c_str(), std::strerror(err));
        return 1;
    }
    std::fprintf(stderr, "%s: %ld bytes of sample at %ld Hz\n", out.c_str(), static_cast<long>(smp.length),
                 static_cast<long>(smp.rate));
    return 0;
}

}  // namespace

int cmd_sample(const std::vector<std::string>& args) {
    if (args.empty()) return usage("give a subcommand");
    const std::string& sub = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (sub == "expand") return convert(conv::expand, rest);
    if (sub == "compress") return convert(conv::compress, rest);
    if (sub == "optimize") return convert(conv::optimize, rest);
    if (sub == "record") return cli_sample_record(rest);
    if (sub == "--help" || sub == "-h") {
        std::printf("%s", usage_text);
        return 0;
    }
    return usage("unknown subcommand '" + sub + "'");
}
