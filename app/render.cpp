#include "app/render.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "app/cli.h"
#include "app/cycle.h"
#include "app/progress.h"
#include "app/signals.h"
#include "audio/filedev.h"
#include "files/outfile.h"
#include "engine/rows.h"
#include "files/presets.h"
#include "files/smffile.h"
#include "files/wav.h"
#include "files/wavwriter.h"

namespace {

const char* const synopsis =
    "usage: tessellon render [--setting FILE.rov] [--algorithm ROW] [--set N] [--scale N]\n"
    "                        [--voices N] [--timbre] [--emphasis] [--buffer-kb K] [--mono8]\n"
    "                        [--setup FILE.ini] [--sample FILE.wav] [--mix FILE.wav [--mix-level P]]\n"
    "                        [--bank FILE.rov]... [--track-level K:SHIFT]... [--mute K]...\n"
    "                        [--fuzz TYPE [--fuzz-degree D]] [--program-change N [--change-scale]]\n"
    "                        [--blowup M] [--out-rate R] (--buffers N | --seconds S) [--raw]\n"
    "                        (-o OUT [--midi OUT.mid] | --midi OUT.mid)\n"
    "       tessellon render --list\n"
    "       tessellon render --list-presets\n";

// The synopsis, with the options of the table it does not name yet.
const char* usage_head() {
    static const std::string text = cli_synopsis(synopsis, {wv_cli_engine});
    return text.c_str();
}

const char* const usage_render =
    "  --buffers N          number of buffers to compute, 1..1000000\n"
    "  --seconds S          the fewest buffers that cover S seconds, 0 < S <= 86400\n"
    "  --mono8              8-bit mono, converted with the set's Volume as play --mono8 sends it\n"
    "  --raw                bare samples (little-endian 16-bit stereo, or 8-bit mono), no WAV header\n"
    "  -o OUT               output file (a device or pipe such as /dev/stdout is written in place)\n"
    "  --midi OUT.mid       the tones as a Standard MIDI File, one tick per frame of the sound\n"
    "  --list               list the algorithm rows: whether each can be played, and\n"
    "                       the sample length a row needs to sound\n"
    "  --list-presets       list the presets of the library: name, algorithm row,\n"
    "                       rate and description\n"
    "  --help               this text\n";

int usage(const std::string& err) {
    std::fprintf(stderr, "tessellon render: %s\n%s%s%s", err.c_str(), usage_head(), cli_engine_usage, usage_render);
    return 2;
}

int list_rows() {
    for (int r = 0; r < rov_natab; ++r) {
        const rov_rowdesc& d = rov_row(r);
        std::string what = rov_row_computed(r) ? "playable"
                           : d.empty           ? "plays nothing"
                           : d.multiple        ? "playable (the setting and its banks, see --bank)"
                                               : "not available (no routine)";
        if (rov_row_computed(r) && rov_row_sampling(r)) {
            const int32_t need = cli_sample_needed(r);
            what = need > 0 ? "needs --sample of at least " + std::to_string(need) + " values; silent without one"
                            : "playable with --sample, or a sine cycle without one";
        }
        std::printf("%2d  %-52s %s\n", r, d.tab.title[0] ? d.tab.title : "(empty algorithm)", what.c_str());
    }
    return 0;
}

// The library's presets, one a line: name, "row N", the rate its set
// plays at, the description.
int list_presets() {
    fi_library lib;
    std::string err;
    if (!cli_library(lib, err)) {
        std::fprintf(stderr, "tessellon render: %s\n", err.c_str());
        return 1;
    }
    for (const fi_preset& p : lib.presets) {
        rov_setting s{};
        std::string row = "?", rate = "?";
        if (cli_load_setting(p.setting, s, err)) {
            row = "row " + std::to_string(p.row >= 0 ? p.row : s.rov_stdalg);
            // Multiple play: the rate of its first track.
            rate = std::to_string(rov_rate(s.rov_p[p.setnr * rov_nparams + rov_par::Rate])) + " Hz";
        } else {
            std::fprintf(stderr, "tessellon render: %s\n", err.c_str());
        }
        std::printf("%-22s %-7s %-9s %s\n", p.name.c_str(), row.c_str(), rate.c_str(), p.description.c_str());
    }
    return 0;
}

struct render_args {
    cli_engine eo;
    long buffers = 0;
    double seconds = 0;
    bool raw = false, list = false, help = false, list_presets = false;
    std::string out;
    std::string midi;  // the MIDI file, or none
};

// Reads the arguments; returns -1 to go on, else the exit status.
int parse(const std::vector<std::string>& args, render_args& r) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string err;
        const cli_step st = cli_engine_option(args, i, r.eo, err);
        if (st == cli_bad) return usage(err);
        if (st == cli_taken) continue;
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            r.help = true;
        } else if (a == "--raw") {
            r.raw = true;
        } else if (a == "--list") {
            r.list = true;
        } else if (a == "--list-presets") {
            r.list_presets = true;
        } else if (a == "--buffers") {
            if (!has_value || !cli_int(args[i + 1], 1, 1000000, r.buffers))
                return usage("--buffers takes a whole number from 1 to 1000000");
            ++i;
        } else if (a == "--seconds") {
            if (!has_value || !cli_seconds(args[i + 1], 86400, r.seconds))
                return usage("--seconds takes a number of seconds above 0, at most 86400");
            ++i;
        } else if (a == "-o") {
            if (!has_value || args[i + 1].empty()) return usage("-o needs a file name");
            r.out = args[++i];
        } else if (a == "--midi") {
            if (!has_value || args[i + 1].empty()) return usage("--midi needs a file name");
            r.midi = args[++i];
        } else {
            return usage("unknown option '" + a + "'");
        }
    }
    if (r.help) {
        std::printf("%s%s%s", usage_head(), cli_engine_usage, usage_render);
        return 0;
    }
    if (r.list) return list_rows();
    if (r.list_presets) return list_presets();
    if (r.buffers > 0 && r.seconds > 0) return usage("give either --buffers or --seconds, not both");
    if (r.buffers == 0 && r.seconds == 0) return usage("give --buffers N or --seconds S");
    if (r.out.empty() && r.midi.empty()) return usage("give the output file with -o OUT (or --midi OUT.mid)");
    if (!r.out.empty() && r.out == r.midi) return usage("-o and --midi name the same file");
    if (std::string err; !cli_engine_check(r.eo, err)) return usage(err);
    if (std::string err; const int rc = cli_preset_apply(r.eo, err)) {
        if (rc == 2) return usage(err);
        std::fprintf(stderr, "tessellon render: %s\n", err.c_str());
        return rc;
    }
    return -1;
}

// The bytes the file device writes, into the output file at the file's
// rate: a buffer at another rate is converted.
struct wav_sink final : wv_bytesink {
    fi_wavwriter w;
    int err = 0;  // errno of the first failed write
    bool put(const void* data, std::size_t bytes, int32_t rate) override {
        if (w.append(data, static_cast<uint32_t>(bytes), rate)) return true;
        if (!err) err = errno ? errno : EIO;
        return false;
    }
};

// Takes the sound of a render that writes only its MIDI file.
struct null_sink final : wv_bytesink {
    bool put(const void*, std::size_t, int32_t) override { return true; }
};

// The MIDI messages of the render into the MIDI file's writer.
struct smf_sink final : wv_midifilesink {
    fi_smfwriter w;
    void put(uint64_t frame, const wv_midimsg& m) override { w.add(frame, m.b, m.len); }
};

// What one render writes: the format, the number of buffers and the bytes.
struct render_plan {
    int32_t rate = 0;       // rate the buffers are computed at
    int32_t file_rate = 0;  // rate of the file
    int32_t frames = 0;
    int channels = 2, bits = 16;
    long buffers = 0;
    uint64_t databytes = 0;
};

render_plan plan_for(const render_args& r, const wv_program& p) {
    const wv_options& opt = p.opt;
    render_plan pl;
    pl.frames = wv_frames(opt.bufszorig);
    // A blow-up plays the buffers at the raised rate.
    pl.rate = rov_rate(
        wv_blowup_for(p.fg.s.rov_p[p.ws.setnr * rov_nparams + rov_par::Rate], opt.blowopt, pl.frames).rateidx);
    pl.channels = opt.stereoset ? 2 : 1;
    pl.bits = opt.stereoset ? 16 : 8;
    // The fewest buffers covering the time; a hair of tolerance keeps a time
    // that is an exact number of buffers from gaining one by rounding noise.
    pl.buffers = r.buffers;
    if (r.seconds > 0) pl.buffers = std::max(1L, static_cast<long>(std::ceil(r.seconds * pl.rate / pl.frames - 1e-9)));
    pl.file_rate = r.eo.outrate > 0 ? static_cast<int32_t>(r.eo.outrate) : pl.rate;
    // Converted to another rate, the file holds the same time in its frames.
    const uint64_t frames = static_cast<uint64_t>(pl.buffers) * static_cast<uint64_t>(pl.frames);
    const uint64_t file_frames =
        (frames * static_cast<uint64_t>(pl.file_rate) + static_cast<uint64_t>(pl.rate) - 1) / static_cast<uint64_t>(pl.rate);
    pl.databytes = file_frames * static_cast<uint64_t>(pl.channels * pl.bits / 8);
    return pl;
}

}  // namespace

// One render: the program state it plays, what is not the program's (the
// file device, the loop on virtual time, the output file and its writer)
// and where the cycle is.
struct render_state {
    render_args r;
    wv_program p;
    render_plan pl;
    outfile of;
    wv_filedev dev;
    cli_loop loop;
    wav_sink sink;
    null_sink nothing;
    smf_sink smf;
    std::unique_ptr<wv_midiout> midi;
    std::optional<render_progress> progress;
    bool opened = false;    // the stream is open
    bool running = false;   // the cycle runs: buffers are to come
    bool stopping = false;  // Stop was given
    bool ok = false;        // every buffer reached the file
    double longest = 0;
};

render_job::render_job() = default;
render_job::~render_job() = default;

int render_begin(render_job& j, const std::vector<std::string>& args) {
    j.st = std::make_unique<render_state>();  // large: on the heap
    render_state& t = *j.st;
    const render_args& r = t.r;
    if (const int rc = parse(args, t.r); rc >= 0) return rc;
    wv_program& p = t.p;
    std::string err;
    if (const int rc = cli_prepare(r.eo, p, err)) {
        std::fprintf(stderr, "tessellon render: %s\n", err.c_str());
        return rc;
    }
    // The file device offers every format; 8-bit mono on request (or by
    // the setup file).
    wv_filedev probe_dev;
    std::vector<std::string> warn;
    if (const int rc = cli_configure(r.eo, p, [&probe_dev](unsigned n, wv_caps& c) { return probe_dev.caps(n, c); },
                                     warn, err)) {
        std::fprintf(stderr, "tessellon render: %s\n", err.c_str());
        return rc;
    }
    for (const std::string& w : warn) std::fprintf(stderr, "tessellon render: %s\n", w.c_str());

    const render_plan& pl = t.pl = plan_for(r, p);
    if (!r.raw && pl.databytes > 0xffffffffull - 36) {
        std::fprintf(stderr, "tessellon render: %llu bytes of samples do not fit in a WAV file; use --raw\n",
                     static_cast<unsigned long long>(pl.databytes));
        return 2;
    }
    if (!r.midi.empty()) {
        const uint64_t frames = (static_cast<uint64_t>(pl.buffers) * static_cast<uint64_t>(pl.frames) *
                                     static_cast<uint64_t>(pl.file_rate) + static_cast<uint64_t>(pl.rate) - 1) /
                                static_cast<uint64_t>(pl.rate);
        if (frames > fi_smf_maxframes) {
            std::fprintf(stderr, "tessellon render: %llu frames are too long for a MIDI file (at most %llu)\n",
                         static_cast<unsigned long long>(frames), static_cast<unsigned long long>(fi_smf_maxframes));
            return 2;
        }
        t.smf.rate = pl.file_rate;
        if (!t.smf.w.start(pl.file_rate)) {
            std::fprintf(stderr, "tessellon render: the MIDI file could not be set up\n");
            return 1;
        }
        t.midi = std::make_unique<wv_midiout>();
        p.ws.midi = t.midi.get();
        t.dev.midiout = &t.smf;
    }
    const bool wav = !r.out.empty();
    if (wav && !outfile_open(t.of, r.out)) {
        std::fprintf(stderr, "tessellon render: cannot create '%s': %s\n", r.out.c_str(), std::strerror(errno));
        return 1;
    }

    // The cycle on the file device, its buffers through the progress line
    // into the file at the file's rate.
    t.loop.virtual_time = true;
    cli_wire(p, t.dev, t.loop, t.loop);
    t.progress.emplace(wav ? static_cast<wv_bytesink*>(&t.sink) : &t.nothing, static_cast<double>(pl.buffers) * pl.frames / pl.rate, pl.channels * pl.bits / 8,
                       cli_stderr_tty());
    t.dev.out = &*t.progress;
    const uint32_t planned = pl.databytes > 0xffffffffull ? 0xffffffffu : static_cast<uint32_t>(pl.databytes);
    // A file written in place may still be seekable (a link to a file).
    const bool seekable = wav && (!t.of.direct || lseek(fileno(t.of.fp), 0, SEEK_CUR) >= 0);
    if (wav && !t.sink.w.open(t.of.fp, seekable, pl.channels, pl.bits, pl.file_rate, planned, !r.raw)) {
        t.of.err = errno;
        return -1;
    }
    wv_stream_open(p.ws);
    t.opened = true;
    cli_mixer_apply(r.eo, p);
    if (cli_signal || !wv_start(p.ws)) return -1;
    cli_mixer_apply(r.eo, p);
    t.running = true;
    return -1;
}

bool render_next(render_job& j) {
    if (!j.st || !j.st->running) return false;
    render_state& t = *j.st;
    // Until the planned buffers have reached the device; then Stop, and
    // the turns that follow it. A signal stops it early.
    const auto buffers = static_cast<uint64_t>(t.pl.buffers);
    const uint64_t before = t.dev.buffers;
    for (;;) {
        if (!t.stopping && (cli_signal || t.dev.buffers >= buffers)) {
            wv_stop(t.p.ws);
            t.stopping = true;
        }
        if (!cli_dispatch_one(t.loop, t.p.ws, t.longest)) break;
        if (t.dev.buffers != before) return true;
    }
    t.running = false;
    t.ok = !cli_signal && !t.dev.failed && t.dev.buffers >= buffers;
    return false;
}

int render_end(render_job& j) {
    if (!j.st) return 1;
    while (render_next(j)) {
    }
    render_state& t = *j.st;
    const render_args& r = t.r;
    const render_plan& pl = t.pl;
    bool rendered = t.ok;
    uint64_t written = 0;  // the data bytes the file holds
    if (t.opened) {
        wv_stream_close(t.p.ws);
        cli_drain(t.loop);
        t.progress->finish();
        if (!r.out.empty()) {
            if (rendered && !t.sink.w.finish()) {
                rendered = false;
                t.sink.err = errno ? errno : EIO;
            }
            written = t.sink.w.databytes();
        } else {
            written = t.dev.midipos * static_cast<uint64_t>(pl.channels * pl.bits / 8);
        }
        if (!rendered) t.of.err = t.sink.err ? t.sink.err : EIO;
    }
    if (cli_signal) {
        // Nothing half-written stays behind.
        outfile_discard(t.of);
        std::fprintf(stderr, "tessellon render: stopped by %s; '%s' was not written\n", cli_signal_name(cli_signal).c_str(),
                     r.out.empty() ? r.midi.c_str() : r.out.c_str());
        return 1;
    }
    // The MIDI file first: when it cannot be written, neither is the sound.
    if (rendered && !r.midi.empty()) {
        std::string err;
        if (!t.smf.w.save(r.midi, t.dev.midipos, err)) {
            if (!r.out.empty()) outfile_discard(t.of);
            std::fprintf(stderr, "tessellon render: cannot write '%s': %s\n", r.midi.c_str(), err.c_str());
            return 1;
        }
        if (t.midi->dropped > 0)
            std::fprintf(stderr, "tessellon render: %llu tone events found no room and are missing from '%s'\n",
                         static_cast<unsigned long long>(t.midi->dropped), r.midi.c_str());
    }
    if (!r.out.empty() && (!rendered || !outfile_commit(t.of))) {
        std::fprintf(stderr, "tessellon render: cannot write '%s': %s\n", r.out.c_str(),
                     std::strerror(t.of.err ? t.of.err : errno));
        return 1;
    }
    // The summary goes to stderr so that -o /dev/stdout carries only samples.
    // The time is what the file holds: buffers played at another rate (a
    // program change to a set with another Rate) were converted to the
    // file's rate.
    const double held = static_cast<double>(written / static_cast<uint64_t>(pl.channels * pl.bits / 8)) / pl.file_rate;
    if (!rendered) {
        std::fprintf(stderr, "tessellon render: '%s' could not be rendered\n", r.midi.c_str());
        return 1;
    }
    if (!r.midi.empty())
        std::fprintf(stderr, "%s: %llu MIDI messages\n", r.midi.c_str(), static_cast<unsigned long long>(t.smf.w.count()));
    if (r.out.empty()) return 0;
    std::fprintf(stderr, "%s: %ld buffers of %d frames, %.3f s at %d Hz%s%s\n", r.out.c_str(), pl.buffers, pl.frames,
                 held, pl.rate, pl.file_rate != pl.rate ? (", written at " + std::to_string(pl.file_rate) + " Hz").c_str() : "",
                 t.p.opt.stereoset ? "" : ", 8-bit mono");
    return 0;
}

int cmd_render(const std::vector<std::string>& args) {
    render_job j;
    if (const int rc = render_begin(j, args); rc >= 0) return rc;
    while (render_next(j)) {
    }
    return render_end(j);
}
