#include "app/play.h"

#include <semaphore.h>
#include <signal.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "app/cli.h"
#include "audio/evqueue.h"
#include "audio/sdldev.h"
#include "audio/stream.h"

namespace {

const char* const usage_head =
    "usage: tessellon play [--setting FILE.rov] [--algorithm ROW] [--set N] [--scale N]\n"
    "                      [--voices N] [--timbre] [--emphasis] [--buffer-kb K]\n"
    "                      [--seconds S] [--device mapper|0|1|2|3] [--mono8]\n"
    "                      [--time-to-play test|short|normal|long] [--emergency] [--rotate]\n"
    "                      [--gap N] [--buff-beat]\n";

const char* const usage_play =
    "  --seconds S          stop after S seconds (default: play until interrupted)\n"
    "  --device D           output device: mapper (the default output) or 0..3\n"
    "  --mono8              8-bit mono output\n"
    "  --time-to-play T     sound without user activity before the emergency:\n"
    "                       test, short, normal (default) or long\n"
    "  --emergency          Emergency Play: keep computing when the time is up\n"
    "  --rotate             Rotate: when the time is up, replay the last buffers turning\n"
    "  --gap N              gap length factor 1..64 of gap mode (default 1)\n"
    "  --buff-beat          Buff.Beat: one beat per buffer\n";

int usage(const std::string& err) {
    std::fprintf(stderr, "tessellon play: %s\n%s%s%s", err.c_str(), usage_head, cli_engine_usage, usage_play);
    return 2;
}

volatile sig_atomic_t interrupted = 0;
sem_t* wake_sem = nullptr;

void on_signal(int) {
    interrupted = 1;
    if (wake_sem) sem_post(wake_sem);
}

double mono_now() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The command line's event loop: the notification queue and the gap timer,
// waited on with a semaphore that the audio thread and the signal handler post.
struct cli_loop final : wv_notify, wv_timer {
    wv_evqueue q;
    sem_t sem;
    bool armed = false;
    double due = 0;

    cli_loop() { sem_init(&sem, 0, 0); }
    ~cli_loop() { sem_destroy(&sem); }
    void post(const wv_event& ev) override {
        wv_evq_push(q, ev);
        sem_post(&sem);
    }
    void set(int ms) override {
        armed = true;
        due = mono_now() + ms / 1000.0;
    }
    void kill() override { armed = false; }
};

// Waits until `until` (monotonic seconds) or a post.
void wait_until(cli_loop& l, double until) {
    if (until <= mono_now()) return;
    timespec ts;
    ts.tv_sec = static_cast<time_t>(until);
    ts.tv_nsec = static_cast<long>((until - static_cast<double>(ts.tv_sec)) * 1e9);
    while (sem_clockwait(&l.sem, CLOCK_MONOTONIC, &ts) != 0 && errno == EINTR && !interrupted) {
    }
}

// Dispatches what has arrived, including a timer that has run out; keeps
// the longest dispatch (a turn: send and refill) in seconds.
void pump(cli_loop& l, wv_stream& s, double& longest) {
    auto run = [&](const wv_event& ev) {
        const double t0 = mono_now();
        wv_dispatch(s, ev);
        longest = std::max(longest, mono_now() - t0);
    };
    wv_event ev;
    while (wv_evq_pop(l.q, ev)) run(ev);
    if (l.armed && mono_now() >= l.due) {
        l.armed = false;
        run({wv_evkind::timer, 0});
    }
}

}  // namespace

int cmd_play(const std::vector<std::string>& args) {
    cli_engine eo;
    wv_options opt;
    double seconds = 0;
    bool mono8 = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string err;
        const cli_step st = cli_engine_option(args, i, eo, err);
        if (st == cli_bad) return usage(err);
        if (st == cli_taken) continue;
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        const std::string v = has_value ? args[i + 1] : std::string();
        if (a == "--help" || a == "-h") {
            std::printf("%s%s%s", usage_head, cli_engine_usage, usage_play);
            return 0;
        } else if (a == "--seconds") {
            if (!has_value || !cli_seconds(v, 86400 * 366, seconds))
                return usage("--seconds takes a number of seconds above 0");
            ++i;
        } else if (a == "--device") {
            long n = 0;
            if (v == "mapper")
                opt.wvodevno = wv_mapper;
            else if (cli_int(v, 0, 3, n))
                opt.wvodevno = static_cast<unsigned>(n);
            else
                return usage("--device takes mapper, 0, 1, 2 or 3");
            ++i;
        } else if (a == "--mono8") {
            mono8 = true;
        } else if (a == "--time-to-play") {
            if (v == "test")
                opt.sampmaxidle = wv_ttp_test;
            else if (v == "short")
                opt.sampmaxidle = wv_ttp_short;
            else if (v == "normal")
                opt.sampmaxidle = wv_ttp_normal;
            else if (v == "long")
                opt.sampmaxidle = wv_ttp_long;
            else
                return usage("--time-to-play takes test, short, normal or long");
            ++i;
        } else if (a == "--emergency") {
            opt.emergency = true;
        } else if (a == "--rotate") {
            opt.emrotate = true;
        } else if (a == "--buff-beat") {
            opt.autotempo = true;
        } else if (a == "--gap") {
            long n = 0;
            if (!has_value || !cli_int(v, 1, 64, n)) return usage("--gap takes a whole number from 1 to 64");
            opt.playpaus = static_cast<int>(n);
            ++i;
        } else {
            return usage("unknown option '" + a + "'");
        }
    }

    static cli_play p;  // large: keep it off the stack
    std::string err;
    if (const int rc = cli_prepare(eo, p, err)) {
        std::fprintf(stderr, "tessellon play: %s\n", err.c_str());
        return rc;
    }

    static wv_sdldev dev;
    if (!wv_sdl_init(dev, err)) {
        std::fprintf(stderr, "tessellon play: %s\n", err.c_str());
        return 1;
    }
    static cli_loop loop;
    wv_stream s;
    s.dev = &dev;
    s.sink = &loop;
    s.timer = &loop;
    s.roh = &p.st.h;
    s.algomod = p.row;
    s.setnr = p.setnr;
    s.tonr = p.tonr;
    opt.bufszorig = eo.bufkb * 1024;
    opt.bufincr = wv_bufincr(opt.bufszorig);
    opt.emphas = eo.emphasis;
    opt.tonalias = eo.timbre;
    opt.maxv = eo.voices;
    s.opt = opt;
    if (!wv_probe(s)) {
        std::fprintf(stderr, "tessellon play: wave output device not available\n");
        wv_sdl_shutdown(dev);
        return 1;
    }
    if (mono8) wv_toggle_mono8(s);
    wv_stream_open(s);
    const uint16_t vol = wv_volume_for(p.st.s.rov_p[p.setnr * rov_nparams + 14]);
    dev.volume(vol, vol);

    wake_sem = &loop.sem;
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);

    // Let the stream settle before Start (a PulseAudio null sink first runs
    // one block of 2 s before it takes the stream's latency).
    const double t_open = mono_now();
    const bool steady = wv_sdl_wait_steady(dev, 3000, &interrupted);
    const double settle_ms = (mono_now() - t_open) * 1000;

    const double t_start = mono_now();
    timespec wall;
    clock_gettime(CLOCK_REALTIME, &wall);
    if (!wv_start(s)) {
        std::fprintf(stderr, "tessellon play: the output device could not be opened\n");
        wv_stream_close(s);
        wv_sdl_shutdown(dev);
        return 1;
    }
    std::fprintf(stderr, "tessellon play: started at %lld.%06ld (wall clock), %d Hz, %s, %d frames per buffer\n",
                 static_cast<long long>(wall.tv_sec), wall.tv_nsec / 1000, s.wvFormat.nSamplesPerSec,
                 s.stereoset ? "16-bit stereo" : "8-bit mono", wv_frames(s.pb.bufsize));

    const double t_end = seconds > 0 ? t_start + seconds : 1e300;
    bool stopping = false;
    double stop_limit = 0;
    int rc = 0;
    double longest_turn = 0;
    const double buffer_secs = static_cast<double>(wv_frames(s.pb.bufsize)) / s.wvFormat.nSamplesPerSec;
    for (;;) {
        const bool was_idle = wv_idle(s);
        if (!stopping && (interrupted || mono_now() >= t_end)) {
            wv_stop(s);
            stopping = true;
            stop_limit = mono_now() + 5;
        }
        if (stopping && (wv_idle(s) || mono_now() >= stop_limit)) break;
        if (!stopping && !s.playing && was_idle) {
            std::fprintf(stderr, "tessellon play: %s\n",
                         s.status.empty() ? "playback ended" : s.status.c_str());
            rc = 1;
            break;
        }
        double until = stopping ? stop_limit : t_end;
        if (loop.armed && loop.due < until) until = loop.due;
        wait_until(loop, until);
        pump(loop, s, longest_turn);
    }
    wv_stream_close(s);
    // Take what the close left in the queue; nothing is dispatched any more.
    wv_event ev;
    while (wv_evq_pop(loop.q, ev)) {
    }
    const wv_sdlstats st = wv_sdl_stats(dev);
    wv_sdl_shutdown(dev);
    wake_sem = nullptr;

    // The first write and the callback that took the first buffer, in ms
    // after Start (the steady clock is CLOCK_MONOTONIC).
    const double write_ms = st.write_ns ? static_cast<double>(st.write_ns) * 1e-6 - t_start * 1000 : -1;
    const double fed_ms = st.fed_ns ? static_cast<double>(st.fed_ns) * 1e-6 - t_start * 1000 : -1;
    std::printf(
        "played %.3f s: underruns %llu (%llu frames of silence), maxCPU %d, longest turn %.1f ms (%.1f %% of a "
        "buffer), %s"
        "callback %d frames; stream %s after %.0f ms; first buffer written %.1f ms and taken %.1f ms "
        "after Start\n",
        mono_now() - t_start, static_cast<unsigned long long>(st.underruns),
        static_cast<unsigned long long>(st.starved), s.maxcharge, longest_turn * 1000,
        100 * longest_turn / buffer_secs, (s.woc.dwSupport & wv_sup_sync) ? "synchronous device, " : "", st.chunk,
        steady ? "steady" : "not steady", settle_ms, write_ms, fed_ms);
    return rc;
}
