// The command line's options of Multiple play, the mixer and the automatic
// program changes.
#include <cstring>

#include "app/cli.h"

cli_step cli_tracks_option(const std::vector<std::string>& args, std::size_t& i, cli_engine& o, std::string& err) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--change-scale") {
        o.changescale = true;
        return cli_taken;
    }
    if (a == "--bank") {
        if (!has_value || args[i + 1].empty()) {
            err = "--bank needs a file name";
            return cli_bad;
        }
        if (o.banks.size() >= rov_nbanks) {
            err = "--bank can be given at most three times (there are three setting banks)";
            return cli_bad;
        }
        o.banks.push_back(args[++i]);
        return cli_taken;
    }
    if (a == "--track-level" || a == "--mute") {
        const bool level = a == "--track-level";
        const std::string v = has_value ? args[i + 1] : "";
        const std::size_t colon = v.find(':');
        long k = 0, shift = 0;
        const bool ok = level ? colon != std::string::npos && cli_int(v.substr(0, colon), 1, 4, k) &&
                                    cli_int(v.substr(colon + 1), 4, 16, shift)
                              : cli_int(v, 1, 4, k);
        if (!ok) {
            err = level ? "--track-level takes K:SHIFT, a track 1..4 and an output shift 4..16, not '" + v + "'"
                        : "--mute takes a track number from 1 to 4, not '" + v + "'";
            return cli_bad;
        }
        if (level)
            o.tracklevel[k - 1] = static_cast<int>(shift);
        else
            o.mute[k - 1] = true;
        ++i;
        return cli_taken;
    }
    const struct {
        const char* name;
        long lo, hi;
        int* dst;
    } nums[] = {
        {"--program-change", wv_opt_progchange.lo, wv_opt_progchange.hi, &o.progchange},
    };
    for (const auto& n : nums) {
        if (a != n.name) continue;
        long v = 0;
        if (!has_value || !cli_int(args[i + 1], n.lo, n.hi, v)) {
            err = std::string(n.name) + " takes a whole number from " + std::to_string(n.lo) + " to " +
                  std::to_string(n.hi) + (has_value ? ", not '" + args[i + 1] + "'" : "");
            return cli_bad;
        }
        *n.dst = static_cast<int>(v);
        ++i;
        return cli_taken;
    }
    return cli_other;
}

bool cli_banks_load(const cli_engine& o, wv_program& p, std::string& err) {
    // The banks as the window program fills them, then each bank file pushed
    // in as loading it would. Their global phases start empty: the stream
    // opens them for Multiple play with the options' voice maximum.
    rov_banks_init(p.bk);
    for (const std::string& f : o.banks) {
        rov_setting s;
        if (!cli_load_setting(f, s, err)) return false;
        rov_globphase g;
        std::memset(&g, 0, sizeof g);
        const int t = s.rov_tonindx[0];
        rov_bank_push(p.bk, s, g, 0, t >= 0 && t <= 9 ? t : 0);
    }
    return true;
}

bool cli_engine_check(const cli_engine& o, std::string& err) {
    if (o.changescale && o.progchange < 0) {
        err = "--change-scale goes with --program-change N";
        return false;
    }
    return true;
}

int cli_tracks_options(const cli_engine& o, wv_options& opt, std::string& err) {
    if (!cli_engine_check(o, err)) return 2;
    if (o.progchange >= 0) {
        // Automatic changes run in the buffer-counting display mode.
        opt.plchdist = o.progchange;
        opt.dispmode = wv_disp_buffer;
    }
    return 0;
}

void cli_mixer_apply(const cli_engine& o, wv_program& p) {
    for (int k = 0; k < 4; ++k) {
        rov_globphase& g = k == 0 ? p.fg.g : p.bk.rogbk[k - 1];
        if (o.tracklevel[k] >= 0) g.rov_volshift = static_cast<int16_t>(o.tracklevel[k]);
        if (o.mute[k]) g.rov_stopped = 1;
    }
}
