#include "app/cli.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/setting_file.h"

const char* const cli_engine_usage =
    "  --setting FILE.rov   setting file (default: the built-in default setting)\n"
    "  --algorithm ROW      algorithm row 0..22 that can be played, see render --list\n"
    "                       (default: the setting's standard algorithm)\n"
    "  --set N              parameter set 0..9 (default 0)\n"
    "  --scale N            scale 0..9 (default: the scale remembered with the set)\n"
    "  --voices N           voice maximum 1..64 (default 8)\n"
    "  --timbre             Timbre Variation on\n"
    "  --emphasis           Emphasis on\n"
    "  --buffer-kb K        buffer size in KiB, 3..512 (default 32)\n";

bool cli_int(const std::string& text, long lo, long hi, long& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool cli_seconds(const std::string& text, double hi, double& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v) || v <= 0 || v > hi) return false;
    out = v;
    return true;
}

cli_step cli_engine_option(const std::vector<std::string>& args, std::size_t& i, cli_engine& o,
                           std::string& err) {
    const std::string& a = args[i];
    struct numopt {
        const char* name;
        long lo, hi;
        int* dst;
    };
    const numopt nums[] = {
        {"--algorithm", 0, rov_natab - 1, &o.row}, {"--set", 0, 9, &o.setnr},
        {"--scale", 0, 9, &o.tonr},                {"--voices", 1, 64, &o.voices},
        {"--buffer-kb", 3, 512, &o.bufkb},
    };
    if (a == "--timbre") {
        o.timbre = true;
        return cli_taken;
    }
    if (a == "--emphasis") {
        o.emphasis = true;
        return cli_taken;
    }
    if (a == "--setting") {
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            err = "--setting needs a file name";
            return cli_bad;
        }
        o.setting = args[++i];
        return cli_taken;
    }
    for (const numopt& n : nums) {
        if (a != n.name) continue;
        long v = 0;
        if (i + 1 >= args.size()) {
            err = std::string(n.name) + " needs a value";
            return cli_bad;
        }
        if (!cli_int(args[i + 1], n.lo, n.hi, v)) {
            err = std::string(n.name) + " takes a whole number from " + std::to_string(n.lo) + " to " +
                  std::to_string(n.hi) + ", not '" + args[i + 1] + "'";
            return cli_bad;
        }
        *n.dst = static_cast<int>(v);
        ++i;
        return cli_taken;
    }
    return cli_other;
}

bool cli_load_setting(const std::string& path, rov_setting& s, std::string& err) {
    // One byte more than a setting: the command line takes nothing but a
    // whole setting file.
    uint8_t bytes[rov_setting_bytes + 1];
    std::size_t n = 0;
    if (fl_read_head(path, bytes, sizeof bytes, n) != fl_read::ok) {
        err = "cannot open setting file '" + path + "': " + std::strerror(errno);
        return false;
    }
    if (n != rov_setting_bytes || !fl_setting_decode(bytes, n, s)) {
        err = "'" + path + "' is not a setting file: it must be exactly " +
              std::to_string(rov_setting_bytes) + " bytes";
        return false;
    }
    return true;
}

int cli_prepare(const cli_engine& o, cli_play& p, std::string& err) {
    rov_state_init(p.st);
    if (o.setting.empty())
        rov_default_setting(p.st.s);
    else if (!cli_load_setting(o.setting, p.st.s, err))
        return 1;
    p.row = o.row >= 0 ? o.row : p.st.s.rov_stdalg;
    p.setnr = o.setnr;
    if (p.row < 0 || p.row >= rov_natab) {
        err = "the setting's standard algorithm " + std::to_string(p.row) + " is not a row of the algorithm table";
        return 2;
    }
    if (!rov_row_computed(p.row)) {
        const rov_rowdesc& d = rov_row(p.row);
        err = "algorithm row " + std::to_string(p.row) + " (\"" + (d.tab.title[0] ? d.tab.title : "empty algorithm") +
              "\") " + (d.empty ? "plays nothing" : "is not available: it has no routine to play");
        return 2;
    }
    p.tonr = o.tonr >= 0 ? o.tonr : p.st.s.rov_tonindx[p.setnr];
    if (p.tonr < 0 || p.tonr > 9) {
        err = "set " + std::to_string(p.setnr) + " of the setting names scale " + std::to_string(p.tonr) +
              ", which does not exist; choose one with --scale";
        return 1;
    }
    rov_open(&p.st.h, o.emphasis, o.timbre, o.voices);
    rov_start(&p.st.h, p.row, p.setnr, p.tonr);
    return 0;
}

wv_options cli_options(const cli_engine& o) {
    wv_options opt;
    opt.bufszorig = o.bufkb * 1024;
    opt.bufincr = wv_bufincr(opt.bufszorig);
    opt.emphas = o.emphasis;
    opt.tonalias = o.timbre;
    opt.maxv = o.voices;
    return opt;
}

void cli_wire(wv_stream& s, cli_play& p, wv_options& opt, wv_device& dev, wv_notify& sink, wv_timer& timer) {
    s.dev = &dev;
    s.sink = &sink;
    s.timer = &timer;
    s.opt = &opt;
    s.roh = &p.st.h;
    s.algomod = p.row;
    s.setnr = p.setnr;
    s.tonr = p.tonr;
}
