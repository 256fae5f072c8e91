#include "app/play.h"

#include <semaphore.h>
#include <signal.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <random>
#include <ctime>
#include <memory>

#include "app/cli.h"
#include "app/cycle.h"
#include "app/hint.h"
#include "app/progress.h"
#include "app/signals.h"
#include "audio/filesinks.h"
#include "audio/jackdev.h"
#include "audio/sdldev.h"
#include "files/presets.h"

namespace {

const char* const synopsis =
    "usage: tessellon play [--setting FILE.rov] [--algorithm ROW] [--set N] [--scale N]\n"
    "                      [--voices N] [--timbre] [--emphasis] [--buffer-kb K]\n"
    "                      [--seconds S] [--device mapper|0|1|2|3] [--mono8]\n"
    "                      [--time-to-play test|short|normal|long] [--emergency] [--rotate]\n"
    "                      [--gap N] [--buff-beat] [--record OUT.wav [--out-rate R]]\n"
    "                      [--setup FILE.ini] [--sample FILE.wav] [--mix FILE.wav [--mix-level P]]\n"
    "                      [--blowup M] [--latency MS]\n"
    "                      [--bank FILE.rov]... [--track-level K:SHIFT]... [--mute K]...\n"
    "                      [--fuzz TYPE [--fuzz-degree D]] [--program-change N [--change-scale]]\n"
    "       tessellon play --shuffle [--seconds S] ...\n";

// The synopsis, with the options of the table it does not name yet.
const char* usage_head() {
    static const std::string text = cli_synopsis(synopsis, {wv_cli_engine, wv_cli_play});
    return text.c_str();
}

// The play options: those of the options table among the command's own.
const std::string& usage_play() {
    static const std::string text = cli_usage(
        {
            {"  --seconds S          stop after S seconds, 0 < S <= 31622400 (default: play until interrupted)\n",
             nullptr},
            {nullptr, &wv_opt_device},
            {nullptr, &wv_opt_jack},
            {nullptr, &wv_opt_jacknoconnect},
            {"  --mono8              8-bit mono output, converted with the set's Volume\n", nullptr},
            {nullptr, &wv_opt_timetoplay},
            {nullptr, wv_opt("emergency")},
            {nullptr, wv_opt("rotate")},
            {nullptr, &wv_opt_gap},
            {nullptr, &wv_opt_latency},
            {nullptr, wv_opt("buffbeat")},
        },
        wv_cli_play,
        "  --record OUT.wav     record what is played into a WAV file, finished at the end,\n"
        "                       on Ctrl+C and on SIGTERM (its header is kept up to date)\n"
        "  --shuffle            play a preset of the library picked at random (its name is\n"
        "                       printed); the options given beside it override it\n"
        "  --help               this text\n");
    return text;
}

int usage(const std::string& err) {
    std::fprintf(stderr, "tessellon play: %s\n%s%s%s", err.c_str(), usage_head(), cli_engine_usage, usage_play().c_str());
    return 2;
}


struct play_args {
    cli_engine eo;
    double seconds = 0;
    std::string record;  // WAV file of what is played
    bool shuffle = false;  // a preset picked at random
};

// One play option at args[i] (and its value); -1 when taken, else the exit status.
int play_option(const std::vector<std::string>& args, std::size_t& i, play_args& r) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    const std::string v = has_value ? args[i + 1] : std::string();
    std::string err;
    if (const cli_step st = cli_table_option(args, i, wv_cli_play, r.eo.given, err); st != cli_other)
        return st == cli_bad ? usage(err) : -1;
    if (a == "--seconds") {
        if (!has_value || !cli_seconds(v, 86400 * 366, r.seconds))
            return usage("--seconds takes a number of seconds above 0, at most 31622400");
        ++i;
    } else if (a == "--shuffle") {
        r.shuffle = true;
    } else if (a == "--record") {
        if (!has_value || v.empty()) return usage("--record needs a file name");
        r.record = v;
        ++i;
    } else {
        return usage("unknown option '" + a + "'");
    }
    return -1;
}

// Reads the arguments; returns -1 to go on, else the exit status.
int parse(const std::vector<std::string>& args, play_args& r) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string err;
        const cli_step st = cli_engine_option(args, i, r.eo, err);
        if (st == cli_bad) return usage(err);
        if (st == cli_taken) continue;
        if (args[i] == "--help" || args[i] == "-h") {
            std::printf("%s%s%s", usage_head(), cli_engine_usage, usage_play().c_str());
            return 0;
        }
        if (const int rc = play_option(args, i, r); rc >= 0) return rc;
    }
    if (r.eo.outrate > 0 && r.record.empty()) return usage("--out-rate sets the rate of the --record file");
    if (std::string err; !cli_engine_check(r.eo, err)) return usage(err);
    if (r.shuffle) {
        if (!r.eo.preset.empty()) return usage("give either --shuffle or --preset NAME, not both");
        fi_library lib;
        std::string err;
        if (!cli_library(lib, err)) {
            std::fprintf(stderr, "tessellon play: %s\n", err.c_str());
            return 1;
        }
        std::random_device rd;
        const fi_preset* pick = fi_preset_pick(lib, rd());
        if (!pick) {
            std::fprintf(stderr, "tessellon play: the preset library in %s is empty\n", lib.dir.c_str());
            return 1;
        }
        r.eo.preset = pick->name;
        std::printf("playing preset %s: %s\n", pick->name.c_str(), pick->description.c_str());
        std::fflush(stdout);
    }
    if (std::string err; const int rc = cli_preset_apply(r.eo, err)) {
        if (rc == 2) return usage(err);
        std::fprintf(stderr, "tessellon play: %s\n", err.c_str());
        return rc;
    }
    return -1;
}

// The recording of --record: created before play, at the rate asked for or
// that of the first buffer, planned for the time asked for.
bool open_record(const play_args& r, const wv_program& p, wv_hdrec_sink& rec) {
    const wv_options& opt = p.opt;
    // A blow-up plays the first buffer at the raised rate.
    const int32_t rate = rov_rate(
        wv_blowup_for(p.fg.s.rov_p[p.ws.setnr * rov_nparams + rov_par::Rate], opt.blowopt, wv_frames(opt.bufszorig))
            .rateidx);
    const int32_t file_rate = r.eo.outrate > 0 ? static_cast<int32_t>(r.eo.outrate) : rate;
    const int align = opt.stereoset ? 4 : 1;
    const double planned = r.seconds > 0 ? std::ceil(r.seconds * file_rate) * align : 0;
    int err = 0;
    if (!rec.f.create(r.record, opt.stereoset ? 2 : 1, opt.stereoset ? 16 : 8, file_rate,
                      static_cast<uint32_t>(std::min(planned, 4294967295.0 - 36)), err)) {
        std::fprintf(stderr, "tessellon play: cannot create '%s': %s\n", r.record.c_str(), std::strerror(err));
        return false;
    }
    return true;
}

// What the summary line reports.
struct play_times {
    double t_start = 0;
    double longest_turn = 0;
    double buffer_secs = 0;  // length of one buffer
    play_status* status = nullptr;  // the updating line on a terminal
};

// Plays until the time is up or a signal; returns the exit status.
int run_until_done(wv_stream& s, cli_loop& loop, double seconds, play_times& pt) {
    // Without a time, no end: the wait is only ever woken by the cycle, the
    // device check and signals.
    const bool timed = seconds > 0;
    const double t_end = timed ? pt.t_start + seconds : 0;
    bool stopping = false;
    double stop_limit = 0;
    for (;;) {
        if (pt.status) pt.status->tick(cli_now() - pt.t_start, cli_now());
        const bool was_idle = wv_idle(s);
        if (!stopping && wv_check_device(s)) {
            std::fprintf(stderr, "tessellon play: %s\n", s.status.c_str());
            return 1;
        }
        if (!stopping && (cli_signal || (timed && cli_now() >= t_end))) {
            wv_stop(s);
            stopping = true;
            stop_limit = cli_now() + 5;
        }
        if (stopping && (wv_idle(s) || cli_now() >= stop_limit)) return 0;
        if (!stopping && !s.playing && was_idle) {
            std::fprintf(stderr, "tessellon play: %s\n", s.status.empty() ? "playback ended" : s.status.c_str());
            return 1;
        }
        // A lost device is noticed within half a second.
        double until = cli_now() + 0.5;
        if (stopping) until = std::min(until, stop_limit);
        if (timed) until = std::min(until, t_end);
        if (loop.armed && loop.due < until) until = loop.due;
        if (pt.status && pt.status->active()) until = std::min(until, cli_now() + 0.25);
        cli_wait(loop, until, &cli_signal);
        while (cli_dispatch_one(loop, s, pt.longest_turn)) {
        }
    }
}

void print_started(const wv_stream& s) {
    timespec wall;
    clock_gettime(CLOCK_REALTIME, &wall);
    std::fprintf(stderr, "tessellon play: started at %lld.%06ld (wall clock), %d Hz, %s, %d frames per buffer\n",
                 static_cast<long long>(wall.tv_sec), wall.tv_nsec / 1000, s.wvFormat.nSamplesPerSec,
                 s.opt->stereoset ? "16-bit stereo" : "8-bit mono", wv_frames(s.pb.bufsize));
}

void print_summary(const wv_stream& s, const wv_sdlstats& st, const play_times& pt) {
    // The first write and the callback that took the first buffer, in ms
    // after Start (the steady clock is CLOCK_MONOTONIC).
    const double write_ms = st.write_ns ? static_cast<double>(st.write_ns) * 1e-6 - pt.t_start * 1000 : -1;
    const double fed_ms = st.fed_ns ? static_cast<double>(st.fed_ns) * 1e-6 - pt.t_start * 1000 : -1;
    const int rate = s.wvFormat.nSamplesPerSec > 0 ? s.wvFormat.nSamplesPerSec : 1;
    std::printf(
        "played %.3f s: underruns %llu, lost %llu frames (%.0f ms; %llu for want of a buffer, %llu in the sound "
        "server), latency %d ms, audio thread %s, maxCPU %d, longest turn %.1f ms (%.1f %% of a buffer), %s"
        "callback %d frames; first buffer written %.1f ms and taken %.1f ms after Start\n",
        cli_now() - pt.t_start, static_cast<unsigned long long>(st.underruns),
        static_cast<unsigned long long>(st.lost), static_cast<double>(st.lost) * 1000 / rate,
        static_cast<unsigned long long>(st.starved), static_cast<unsigned long long>(st.server_lost), st.latency_ms,
        st.priority.c_str(), s.maxcharge, pt.longest_turn * 1000, 100 * pt.longest_turn / pt.buffer_secs,
        (s.opt->woc.dwSupport & wv_sup_sync) ? "synchronous device, " : "", st.chunk, write_ms, fed_ms);
}

void print_jack_summary(const wv_stream& s, const wv_jackstats& st, const play_times& pt) {
    const double ms = 1000.0 / (st.rate > 0 ? st.rate : 1);
    const double avg_us = st.calls ? static_cast<double>(st.cb_sum_ns) / static_cast<double>(st.calls) / 1000 : 0;
    std::printf(
        "played %.3f s: underruns %llu, lost %llu frames (%.0f ms), JACK %d Hz, period %d frames (%.1f ms), "
        "done %d frames (%.1f ms) ahead, playback ports' latency %d frames, process call %.1f us on average and "
        "%.1f us at most (%.2f %% of a period) over %llu calls, conversion of a buffer %.2f ms on average and %.2f "
        "ms at most, MIDI messages dropped %llu, maxCPU %d, longest turn %.1f ms (%.1f %% of a buffer)\n",
        cli_now() - pt.t_start, static_cast<unsigned long long>(st.underruns),
        static_cast<unsigned long long>(st.starved), static_cast<double>(st.starved) * ms, st.rate, st.period,
        st.period * ms, st.lead, st.lead * ms, st.port_latency, avg_us, static_cast<double>(st.cb_max_ns) / 1000,
        st.period > 0 ? static_cast<double>(st.cb_max_ns) / 1e4 / (st.period * ms) : 0,
        static_cast<unsigned long long>(st.calls),
        st.writes ? static_cast<double>(st.conv_sum_ns) / static_cast<double>(st.writes) / 1e6 : 0,
        static_cast<double>(st.conv_max_ns) / 1e6, static_cast<unsigned long long>(st.midi_dropped), s.maxcharge,
        pt.longest_turn * 1000, 100 * pt.longest_turn / pt.buffer_secs);
}

// The output layer of a run: SDL's devices or the JACK client.
struct play_output {
    wv_sdldev sdl;
    wv_jackdev jack;
    bool use_jack = false;
    wv_device& dev() { return use_jack ? static_cast<wv_device&>(jack) : sdl; }
    // What the user can do when no device answers (SDL's systems).
    void hint() {
        if (!use_jack) cli_print_audio_hint("tessellon play", *sdl.calls);
    }
    void shutdown() {
        if (use_jack)
            wv_jack_shutdown(jack);
        else
            wv_sdl_shutdown(sdl);
    }
};

// Probes the device and opens the stream in the chosen format, at the set's
// Volume. The recording of --record is created once the format is known,
// before the stream opens and builds its chain with it.
bool open_stream(wv_program& p, play_output& out, const play_args& r, wv_hdrec_sink& rec) {
    wv_stream& s = p.ws;
    wv_device& dev = out.dev();
    // The format chosen at start (cli_configure) holds on the probed device.
    const bool stereo = s.opt->stereoset;
    if (!wv_probe(s)) {
        std::fprintf(stderr, "tessellon play: wave output device not available\n");
        out.hint();
        return false;
    }
    if (!stereo && s.opt->stereoset) wv_toggle_mono8(s);
    if (!r.record.empty()) {
        if (!open_record(r, p, rec)) return false;
        s.tap = &rec;
    }
    wv_stream_open(s);
    cli_mixer_apply(r.eo, p);
    const uint16_t vol = wv_volume_for(s.roh->s->rov_p[s.setnr * rov_nparams + rov_par::Volume]);
    dev.volume(vol, vol);
    return true;
}

}  // namespace

int cmd_play(const std::vector<std::string>& args) {
    play_args r;
    if (const int rc = parse(args, r); rc >= 0) return rc;

    // The program state (large: on the heap) and what is not the program's:
    // the sound card, the loop that waits for it and the --record file. All
    // of them end with this function: the device is shut down and the
    // signal handler's semaphore taken back before it returns.
    auto program = std::make_unique<wv_program>();
    wv_program& p = *program;
    std::string err;
    if (const int rc = cli_prepare(r.eo, p, err)) {
        std::fprintf(stderr, "tessellon play: %s\n", err.c_str());
        return rc;
    }
    // JACK when the options choose it (--jack, or a setup file), before
    // any device is asked: the options are read once more with the device.
    play_output out;
    {
        wv_options pre;
        std::string ignored;
        cli_load_options(r.eo, pre, [](unsigned, wv_caps&) { return false; }, ignored);
        out.use_jack = pre.wvodevno == wv_jack_devno;
        if (!pre.jack_connect && !out.use_jack) return usage("--jack-no-connect goes with --jack");
        if (out.use_jack && !wv_jack_init(out.jack, pre.jack_connect, err)) {
            std::fprintf(stderr, "tessellon play: %s\n", err.c_str());
            return 1;
        }
    }
    if (!out.use_jack && !wv_sdl_init(out.sdl, err, &cli_signal)) {
        std::fprintf(stderr, "tessellon play: %s\n", err.c_str());
        if (!cli_signal) out.hint();
        return 1;
    }
    wv_device& dev = out.dev();
    cli_loop loop;
    std::vector<std::string> warn;
    const int setup_rc = cli_configure(r.eo, p, [&dev](unsigned n, wv_caps& c) { return dev.caps(n, c); }, warn, err);
    if (setup_rc != 0) {
        std::fprintf(stderr, "tessellon play: %s\n", err.c_str());
        out.shutdown();
        return setup_rc;
    }
    for (const std::string& w : warn) std::fprintf(stderr, "tessellon play: %s\n", w.c_str());
    if (std::string why; !wv_program_midi(p, why))
        std::fprintf(stderr, "tessellon play: %s; playing goes on without MIDI\n", why.c_str());
    cli_wire(p, dev, loop, loop);
    wv_stream& s = p.ws;
    wv_hdrec_sink rec;
    if (!open_stream(p, out, r, rec)) {
        out.shutdown();
        return 1;
    }
    cli_wake_on_signal(&loop.sem);

    // The stream opens with the first buffer: nothing to wait for.
    play_times pt;
    pt.t_start = cli_now();
    int rc = 1;
    const bool started = wv_start(s);
    if (started) cli_mixer_apply(r.eo, p);
    play_status status(out.use_jack ? &out.jack.underruns : &out.sdl.underruns, [&dev] { return dev.lost_frames(); },
                       cli_stderr_tty());
    if (started) {
        print_started(s);
        pt.buffer_secs = static_cast<double>(wv_frames(s.pb.bufsize)) / s.wvFormat.nSamplesPerSec;
        pt.status = &status;
        rc = run_until_done(s, loop, r.seconds, pt);
        status.finish();
    } else {
        std::fprintf(stderr, "tessellon play: the output device could not be opened\n");
        if (!out.use_jack && wv_sdl_no_answer(*out.sdl.calls)) out.hint();
    }
    wv_stream_close(s);
    cli_drain(loop);  // what the close left in the queue; nothing is dispatched any more
    const wv_sdlstats st = wv_sdl_stats(out.sdl);
    const wv_jackstats jst = wv_jack_stats(out.jack);
    out.shutdown();
    cli_wake_on_signal(nullptr);
    if (started && out.use_jack)
        print_jack_summary(s, jst, pt);
    else if (started)
        print_summary(s, st, pt);
    if (rec.is_open() && !rec.finish()) {
        std::fprintf(stderr, "tessellon play: the recording '%s' could not be finished\n", r.record.c_str());
        rc = 1;
    }
    // A recording that stopped on a failed write (a full disc) fails play,
    // even when the time was up before the cycle stopped on it.
    if (rec.f.failed() && rc == 0) {
        std::fprintf(stderr, "tessellon play: recording stopped: %s\n", std::strerror(rec.f.error()));
        rc = 1;
    }
    return rc;
}
