#include "app/cli.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "audio/chain.h"
#include "audio/filesinks.h"
#include "audio/setup.h"
#include "files/presets.h"
#include "files/setting_file.h"
#include "files/setup_file.h"

namespace {

// The engine options' usage lines that are the command line's own; the
// options of the table go between them (engine_usage).
const std::string usage_setting =
    "  --setting FILE.rov   setting file (default: the built-in default setting)\n"
    "  --algorithm ROW      algorithm row 0.." + std::to_string(rov_natab - 1) +
    " that can be played, see render --list\n"
    "                       (default: the setting's standard algorithm)\n"
    "  --set N              parameter set 0..9 (default 0)\n"
    "  --scale N            scale 0..9 (default: the scale remembered with the set)\n";
const char* const usage_files =
    "  --setup FILE.ini     setup file, applied before the options above\n"
    "  --sample FILE.wav    WAV file loaded as the sample (any WAV that libsndfile reads)\n"
    "  --mix FILE.wav       16-bit WAV file mixed into the output\n";
const char* const usage_tracks =
    "  --out-rate R         rate of the written WAV file in Hz, 4000..192000\n"
    "                       (default: the rate of the first buffer)\n"
    "  --bank FILE.rov      setting file pushed into the setting banks, up to three times;\n"
    "                       as loading them in order would: the last one given is track 2\n"
    "                       (each plays its set 0; unfilled banks are silent)\n"
    "  --track-level K:SHIFT  output shift 4..16 of track K = 1..4 (1 the setting, 2..4 the\n"
    "                       banks), as the mixer's volume slider sets it (16 - SHIFT) x 6 dB\n"
    "  --mute K             mute track K = 1..4, as the mixer does once play has started\n"
    "                       (Multiple play is --algorithm 21: the setting and its banks)\n";
// {R}: the range of the program changes' option.
const char* const usage_changes =
    "  --program-change N   every N-th buffer the next parameter set plays, {R} (0: never)\n";
const char* const usage_changescale =
    "  --change-scale       with --program-change: the next scale instead of the next set\n";
const char* const usage_end =
    "Numbers are plain decimal. Exit status: 0 done; 1 a file or sound-device problem\n"
    "(a file that cannot be read, written or used, a device that is missing or lost);\n"
    "2 a usage error (an unknown option, a value out of range, a row that cannot play).\n";

std::string engine_usage() {
    return cli_usage({{usage_setting.c_str(), nullptr},
                      {nullptr, &wv_opt_voices},
                      {nullptr, wv_opt("timbre")},
                      {nullptr, wv_opt("emphasis")},
                      {nullptr, &wv_opt_bufsize},
                      {usage_files, nullptr},
                      {nullptr, &wv_opt_mixlevel},
                      {nullptr, &wv_opt_blowup},
                      {usage_tracks, nullptr},
                      {nullptr, &wv_opt_fuzztype},
                      {nullptr, &wv_opt_fuzzlevel},
                      {usage_changes, &wv_opt_progchange},
                      {usage_changescale, nullptr}},
                     wv_cli_engine, usage_end);
}

const std::string& engine_usage_text() {
    static const std::string text = engine_usage();
    return text;
}

// The flag of an option without the name of its value.
std::string flag_name(const wv_optdesc& d) {
    const std::string f = d.flag;
    return f.substr(0, f.find(' '));
}

}  // namespace

const char* const cli_engine_usage = engine_usage_text().c_str();

std::string cli_usage_line(const wv_optdesc& d) {
    // The texts start in column 23, below a longer flag two spaces after it.
    std::string line = std::string("  ") + d.flag;
    line += line.size() < 23 ? std::string(23 - line.size(), ' ') : "  ";
    for (const char c : wv_opt_text(d.usage, d, "..")) {
        line += c;
        if (c == '\n') line += std::string(23, ' ');
    }
    return line + "\n";
}

std::string cli_usage(std::initializer_list<cli_usage_part> parts, wv_cligroup group, const char* tail) {
    std::string out;
    std::vector<const wv_optdesc*> listed;
    for (const cli_usage_part& p : parts) {
        if (p.opt) listed.push_back(p.opt);
        out += p.text ? (p.opt ? wv_opt_text(p.text, *p.opt, "..") : p.text) : cli_usage_line(*p.opt);
    }
    for (int i = 0; i < wv_optlist_n; ++i) {
        const wv_optdesc* d = wv_optlist[i];
        if (d->cli == group && std::find(listed.begin(), listed.end(), d) == listed.end()) out += cli_usage_line(*d);
    }
    return out + tail;
}

std::string cli_synopsis(const std::string& head, std::initializer_list<wv_cligroup> groups) {
    std::string more;
    for (int i = 0; i < wv_optlist_n; ++i) {
        const wv_optdesc& d = *wv_optlist[i];
        if (!d.flag || std::find(groups.begin(), groups.end(), d.cli) == groups.end()) continue;
        const std::string f = d.flag;
        const std::string name = f.substr(0, f.find(' '));
        if (head.find("[" + name + " ") != std::string::npos || head.find("[" + name + "]") != std::string::npos)
            continue;
        more += (more.empty() ? "" : " ") + ("[" + f + "]");
    }
    if (more.empty()) return head;
    // A line of its own, indented as the first form's, at the end of that form.
    const std::size_t indent = head.find('[');
    std::size_t end = head.find("\n") + 1;
    while (end < head.size() && head.compare(end, indent, std::string(indent, ' ')) == 0) end = head.find("\n", end) + 1;
    return head.substr(0, end) + std::string(indent, ' ') + more + "\n" + head.substr(end);
}

cli_step cli_table_option(const std::vector<std::string>& args, std::size_t& i, wv_cligroup group,
                          std::vector<cli_optval>& given, std::string& err) {
    const std::string& a = args[i];
    for (int n = 0; n < wv_optlist_n; ++n) {
        const wv_optdesc& d = *wv_optlist[n];
        if (d.cli != group || !d.flag || a != flag_name(d)) continue;
        if (d.kind == wv_opt_name) return cli_other;  // the caller takes the name
        if (d.kind == wv_opt_toggle) {
            given.push_back({&d, 1});
            return cli_taken;
        }
        if (i + 1 >= args.size()) {
            err = a + " needs a value";
            return cli_bad;
        }
        const std::string& v = args[i + 1];
        int value = 0;
        long number = 0;
        const bool numbers = d.hi > d.lo;
        if (d.kind == wv_opt_choice && wv_opt_choice_named(d, v.c_str(), value)) {
        } else if (numbers && cli_int(v, d.lo, d.hi, number)) {
            value = static_cast<int>(number) * d.unit;
        } else {
            // What it takes: the names of its choices, or a number in its range.
            std::vector<std::string> what;
            for (int k = 0; k < d.nchoices; ++k)
                if (d.choices[k].name) what.push_back(d.choices[k].name);
            if (numbers)
                what.push_back("a whole number from " + std::to_string(d.lo) + " to " + std::to_string(d.hi));
            err = a + " takes ";
            for (std::size_t k = 0; k < what.size(); ++k)
                err += (k == 0 ? "" : k + 1 < what.size() ? ", " : " or ") + what[k];
            err += ", not '" + v + "'";
            return cli_bad;
        }
        given.push_back({&d, value});
        ++i;
        return cli_taken;
    }
    return cli_other;
}

namespace {

// Plain decimal: digits, with at most one point when `point`, and a leading
// minus sign only where negative values exist. No spaces, signs, hex or
// exponents.
bool plain_decimal(const std::string& t, bool point, bool minus) {
    std::size_t i = minus && !t.empty() && t[0] == '-' ? 1 : 0;
    bool digits = false, dot = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9') {
            digits = true;
        } else if (point && t[i] == '.' && !dot) {
            dot = true;
        } else {
            return false;
        }
    }
    return digits;
}

}  // namespace

bool cli_int(const std::string& text, long lo, long hi, long& out) {
    if (!plain_decimal(text, false, lo < 0)) return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool cli_seconds(const std::string& text, double hi, double& out) {
    if (!plain_decimal(text, true, false)) return false;
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
        {"--algorithm", 0, rov_natab - 1, &o.row},
        {"--set", 0, 9, &o.setnr},
        {"--scale", 0, 9, &o.tonr},
    };
    if (a == "--mono8") {
        o.mono8 = true;
        return cli_taken;
    }
    if (const cli_step st = cli_table_option(args, i, wv_cli_engine, o.given, err); st != cli_other) return st;
    if (const cli_step st = cli_tracks_option(args, i, o, err); st != cli_other) return st;
    if (a == flag_name(wv_opt_preset)) {
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            err = a + " needs a preset name (see render --list-presets)";
            return cli_bad;
        }
        o.preset = args[++i];
        return cli_taken;
    }
    const struct {
        const char* name;
        std::string* dst;
    } files[] = {{"--setting", &o.setting}, {"--setup", &o.setup}, {"--sample", &o.sample}, {"--mix", &o.mix}};
    for (const auto& f : files) {
        if (a != f.name) continue;
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            err = std::string(f.name) + " needs a file name";
            return cli_bad;
        }
        *f.dst = args[++i];
        return cli_taken;
    }
    long outrate = 0;
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
        if (n.dst == &o.setnr) o.set_given = true;
        ++i;
        return cli_taken;
    }
    if (a == "--out-rate") {
        if (i + 1 >= args.size() || !cli_int(args[i + 1], 4000, 192000, outrate)) {
            err = "--out-rate takes a rate in Hz from 4000 to 192000";
            return cli_bad;
        }
        o.outrate = outrate;
        ++i;
        return cli_taken;
    }
    return cli_other;
}

bool cli_library(fi_library& lib, std::string& err) {
    std::vector<std::string> bad;
    if (!fi_presets_load(fi_presets_dirs(), lib, err, bad)) return false;
    for (const std::string& b : bad) std::fprintf(stderr, "tessellon: %s/%s\n", lib.dir.c_str(), b.c_str());
    return true;
}

int cli_preset_apply(cli_engine& o, std::string& err) {
    if (o.preset.empty()) return 0;
    if (!o.setting.empty()) {
        err = "--preset and --setting both name a setting: give one of them";
        return 2;
    }
    fi_library lib;
    if (!cli_library(lib, err)) return 1;
    const fi_preset* p = fi_preset_find(lib, o.preset);
    if (!p) {
        err = "there is no preset '" + o.preset + "' (render --list-presets lists them)";
        return 2;
    }
    o.setting = p->setting;
    if (!o.set_given) o.setnr = p->setnr;
    if (o.row < 0) o.row = p->row;
    if (o.sample.empty()) o.sample = p->sample;
    if (o.banks.empty()) o.banks = p->banks;
    // The preset's voice maximum first: one given on the command line wins.
    if (p->voices > 0) o.given.insert(o.given.begin(), cli_optval{&wv_opt_voices, p->voices});
    return 0;
}

bool cli_load_setting(const std::string& path, rov_setting& s, std::string& err) {
    // One byte more than a setting: the command line takes nothing but a
    // whole setting file.
    uint8_t bytes[rov_setting_bytes + 1];
    std::size_t n = 0;
    if (fi_read_head(path, bytes, sizeof bytes, n) != fi_read::ok) {
        err = "cannot open setting file '" + path + "': " + std::strerror(errno);
        return false;
    }
    if (n != rov_setting_bytes || !fi_setting_decode(bytes, n, s)) {
        err = "'" + path + "' is not a setting file: it must be exactly " +
              std::to_string(rov_setting_bytes) + " bytes";
        return false;
    }
    return true;
}

int cli_prepare(const cli_engine& o, wv_program& p, std::string& err) {
    wv_program_init(p);
    if (!cli_banks_load(o, p, err)) return 1;
    if (!o.setting.empty() && !cli_load_setting(o.setting, p.fg.s, err)) return 1;
    wv_stream& s = p.ws;
    s.algomod = o.row >= 0 ? o.row : p.fg.s.rov_stdalg;
    s.setnr = o.setnr;
    s.tonal = o.changescale;
    if (s.algomod < 0 || s.algomod >= rov_natab) {
        err = "the setting's standard algorithm " + std::to_string(s.algomod) + " is not a row of the algorithm table";
        return 1;  // the file's content
    }
    if (!rov_row_computed(s.algomod) && !rov_row(s.algomod).multiple) {
        const rov_rowdesc& d = rov_row(s.algomod);
        err = "algorithm row " + std::to_string(s.algomod) + " (\"" + (d.tab.title[0] ? d.tab.title : "empty algorithm") +
              "\") " + (d.empty ? "plays nothing" : "is not available: it has no routine to play");
        // Asked for on the command line: a usage error; named by the setting file: its content.
        return o.row >= 0 ? 2 : 1;
    }
    s.tonr = o.tonr >= 0 ? o.tonr : p.fg.s.rov_tonindx[s.setnr];
    if (s.tonr < 0 || s.tonr > 9) {
        err = "set " + std::to_string(s.setnr) + " of the setting names scale " + std::to_string(s.tonr) +
              ", which does not exist; choose one with --scale";
        return 1;
    }
    rov_start(&p.fg.h, s.algomod, s.setnr, s.tonr);
    return 0;
}

wv_options cli_options(const cli_engine& o) {
    wv_options opt;
    for (const cli_optval& g : o.given) g.opt->set(opt, g.value);
    return opt;
}

void cli_wire(wv_program& p, wv_device& dev, wv_notify& sink, wv_timer& timer) {
    wv_program_wire(p, dev, sink, timer);
    if (p.smploaded && p.sample.length > 0) p.ws.sample = {p.sample.words(), p.sample.nwords(), p.sample.around()};
    if (p.mixing()) p.ws.mix = p.mix.get();
}

int cli_load_options(const cli_engine& o, wv_options& opt, const cli_probe& probe, std::string& err) {
    opt = wv_options{};
    if (!o.setup.empty()) {
        fi_setup f;
        int records = 0;
        if (fi_setup_read(o.setup, f, records) == fi_read::not_opened) {
            err = "cannot open setup file '" + o.setup + "': " + std::strerror(errno);
            return 1;
        }
        if (records == 0) {
            err = "'" + o.setup + "' is not a setup file: it must hold at least 24 bytes";
            return 1;
        }
        // The row comes from the command line or the setting, not the setup.
        int algomod = 0;
        int16_t volshift = 0;
        wv_setup_target t{&opt, &algomod, &volshift, nullptr, probe};
        wv_setup_apply(f, records, t);
    }
    for (const cli_optval& g : o.given) g.opt->set(opt, g.value);
    return cli_tracks_options(o, opt, err);
}

int32_t cli_sample_needed(int row) {
    if (!rov_row_sampling(row)) return 0;
    const int32_t need = rov_row(row).min_sample;
    return need > cli_sine_cycle ? need : 0;
}

int cli_open_files(const cli_engine& o, wv_program& p, std::vector<std::string>& warn, std::string& err) {
    const wv_options& opt = p.opt;
    const int row = p.ws.algomod;
    if (!o.sample.empty()) {
        // The capacity the window program gives a sample.
        const int32_t K = opt.autotempo ? opt.bufszorig * wv_blowfactor(opt.blowopt) : opt.bufszorig;
        std::vector<fi_filemsg> msgs;
        const fi_wav r = fi_sample_load(o.sample, K, p.sample, msgs);
        if (r == fi_wav::not_opened) {
            err = "cannot open sample file '" + o.sample + "': " + std::strerror(errno);
            return 1;
        }
        std::string text;
        for (const fi_filemsg& m : msgs) {
            std::string t = m.text;
            for (char& c : t)
                if (c == '\n') c = ' ';
            if (r == fi_wav::loaded) warn.push_back(o.sample + ": " + t);
            text += (text.empty() ? "" : "; ") + t;
        }
        if (r != fi_wav::loaded) {
            err = "'" + o.sample + "' cannot be used as a sample" + (text.empty() ? "" : ": " + text);
            return 1;
        }
        p.smploaded = true;
        p.smpbytes = p.sample.length;
        p.smpszorig = K;
    }
    // A sampling row plays the sample, or the sine cycle without one; below
    // its shortest sample it computes nothing.
    if (rov_row_sampling(row)) {
        const int32_t have = p.sample.length > 0 ? p.sample.nwords() : cli_sine_cycle;
        const int32_t need = rov_row(row).min_sample;
        if (have < need)
            warn.push_back("algorithm row " + std::to_string(row) + " needs a sample of at least " +
                           std::to_string(need) + " values and plays nothing with " + std::to_string(have) +
                           (p.sample.length > 0 ? "" : " (the sine cycle; give a sample with --sample)"));
    }
    if (o.mix.empty()) return 0;
    auto mix = std::make_unique<wv_mixfile_source>();
    if (!mix->f.open(o.mix)) {
        const int e = mix->f.open_error();
        err = "cannot mix '" + o.mix + "': " +
              (e == EINVAL ? "not a regular file"
               : e         ? std::strerror(e)
                           : "not a 16 bit *.WAV file of one or two channels");
        return 1;
    }
    p.mix = std::move(mix);
    return 0;
}

int cli_configure(const cli_engine& o, wv_program& p, const cli_probe& probe, std::vector<std::string>& warn,
                  std::string& err) {
    wv_options& opt = p.opt;
    if (const int rc = cli_load_options(o, opt, probe, err)) return rc;
    // A setup file's "Mono 8 bit" holds as --mono8 does.
    const bool stereo = o.setup.empty() || opt.stereoset;
    wv_caps caps;
    opt.woc = probe && probe(opt.wvodevno, caps) ? caps : wv_caps{};
    opt.stereo16 = wv_stereo16(opt.woc);
    opt.stereoset = opt.stereo16 && stereo && !o.mono8;
    return cli_open_files(o, p, warn, err);
}
