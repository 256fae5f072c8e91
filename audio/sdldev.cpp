#include "audio/sdldev.h"

#include <SDL2/SDL.h>

#include <sched.h>
#include <strings.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "audio/sdlopen.h"

namespace {

int64_t now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Callback periods by which the done notification runs ahead of the last
// bytes of a buffer when the server is asked for no latency of its own.
constexpr int lead_chunks = 2;
// Silence ahead of the first buffer of a new stream (ms): a sound server
// that is running already may drop the first few ms of a new stream
// (PulseAudio drops those that fall into the sink's block already mixed).
constexpr int lead_in_ms = 30;
// The clock lag's minimum is compared over windows of this length (ns).
constexpr int64_t lag_window_ns = 200000000;

// The audio callback: copies prepared bytes, nothing else. Runs on SDL's
// audio thread.
void SDLCALL callback(void* user, Uint8* out, int len) { wv_sdl_fill(*static_cast<wv_sdldev*>(user), out, len); }

// Empties the hand-over ring and the callback's state; the callback must not
// be running (stream paused or closed).
void flush(wv_sdldev& d) {
    d.rtail.store(d.rhead.load(std::memory_order_relaxed), std::memory_order_relaxed);
    d.has_cur = false;
    d.fed = false;
    d.starving = false;
    d.ran_out.store(false, std::memory_order_relaxed);
}

// The stream's clock starts again (a new stream, its callback not running).
void clock_restart(wv_sdldev& d) {
    d.clk_t0 = 0;
    d.clk_frames = 0;
    d.have_ref = false;
    d.tid.store(0);
    d.boosted = false;
    d.priority.clear();
}

// The callback's clock: the time since the stream's first callback against
// the frames the server has asked for. The server asks for what it plays;
// once the clock is ahead of all it was given, it has played silence since
// then, for as long as the clock is ahead: those frames count as lost, and
// the offset moves on by as much. Once the server has been given its queue
// (before, it may not have begun to play), a clock more than 25 ms ahead is
// sound lost (the server may also have read ahead, so a gap may count
// short, and a shorter one not at all). Slow
// drift between the two clocks is followed by at most a frame per window,
// keeping the lag's window minimum where it was at the start.
void clock_tick(wv_sdldev& d, int64_t t, uint32_t frames) {
    if (d.clk_t0 == 0) {
        d.clk_t0 = t;
        d.clk_off = 0;
        d.win_end = t + lag_window_ns;
        d.win_min = INT64_MAX;
    }
    const int64_t lag = (t - d.clk_t0) / 1000 * d.rate / 1000000 - static_cast<int64_t>(d.clk_frames) - d.clk_off;
    if (lag > 0) {
        d.clk_off += lag;
        // Until the server has been given its queue it may not have begun;
        // and it may have begun up to a block (25 ms) after the first
        // callback: a clock that far ahead is taken as that late start.
        if (d.fed && d.clk_frames >= static_cast<uint64_t>(d.lead) && lag > d.rate / 40) {
            d.server_lost.fetch_add(static_cast<uint64_t>(lag), std::memory_order_relaxed);
            d.underruns.fetch_add(1, std::memory_order_relaxed);
        }
    }
    d.win_min = std::min(d.win_min, std::min<int64_t>(lag, 0));
    d.clk_frames += frames;
    if (t < d.win_end) return;
    if (!d.have_ref) {
        d.ref_min = d.win_min;
        d.have_ref = true;
    } else {
        d.clk_off += std::clamp<int64_t>(d.win_min - d.ref_min, -1, 1);
    }
    d.win_min = INT64_MAX;
    d.win_end = t + lag_window_ns;
}

bool same_stream(const wv_sdldev& d, unsigned devno, const wv_format& f) {
    return d.sdl != 0 && d.sdl_devno == devno && d.sdl_fmt.nSamplesPerSec == f.nSamplesPerSec &&
           d.sdl_fmt.nChannels == f.nChannels && d.sdl_fmt.nBitsSamp == f.nBitsSamp;
}

// Registered with on_exit() once a call of a record has been left running,
// with a reference of its own to the record: exit() calls it before the
// destructors of the objects made earlier (the device, whose stream a stuck
// close still owns) and before the libraries' own cleanup. If a call is
// still stuck, the process ends here with exit()'s status, stdio flushed;
// else the reference is let go.
void leave_without_cleanup(int status, void* arg) {
    auto* calls = static_cast<wv_sdlguard*>(arg);
    if (!wv_sdl_stuck(**calls)) {
        delete calls;
        return;
    }
    std::fflush(nullptr);
    _exit(status);
}

struct bounded_call {
    wv_sdlguard calls;
    std::function<void()> fn;
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    bool abandoned = false;
};

// The stream's SDL calls that may wait for its audio thread: the close of the
// stream and, with `quit`, of the subsystem.
void close_sdl(SDL_AudioDeviceID id, bool quit) {
    if (id != 0) SDL_CloseAudioDevice(id);
    if (quit) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void close_stream(wv_sdldev& d) {
    if (d.sdl == 0) return;
    const SDL_AudioDeviceID id = d.sdl;
    d.sdl = 0;
    // Left stuck, the close still owns the callback's state: it is reset when
    // the next stream opens.
    if (wv_sdl_bounded(d.calls, wv_sdl_close_ms, [id] { close_sdl(id, false); })) flush(d);
}

// Opens the stream for a device and format, for buffers of `frames` frames,
// and starts it: what is in the hand-over ring plays at once.
bool open_stream(wv_sdldev& d, unsigned devno, const wv_format& f, uint32_t frames) {
    // While a close hangs in the sound server, SDL is not used again.
    if (wv_sdl_stuck(*d.calls)) return false;
    const char* name = nullptr;
    SDL_AudioSpec want{};
    if (!wv_sdl_request(devno, 0, d.count(), f, callback, &d, name, want)) return false;
    SDL_AudioSpec have{};
    wv_sdl_play_format(d, f);
    const int chunk = wv_sdl_chunk(f.nSamplesPerSec);
    d.rate = f.nSamplesPerSec;
    d.latency_ms = wv_sdl_latency_ms(d.want_latency_ms, static_cast<int>(frames), f.nSamplesPerSec);
    const bool queue = d.latency_ms > 0;
    d.lead = queue ? static_cast<int>(int64_t{d.latency_ms} * f.nSamplesPerSec / 1000) + chunk : lead_chunks * chunk;
    clock_restart(d);
    d.lead_in = f.nSamplesPerSec * lead_in_ms / 1000;
    d.ncb.store(0);
    d.fed_ns.store(0);
    d.open_ns = now_ns();
    // PulseAudio's client library takes the stream's target latency from
    // the environment when the stream connects, which SDL does here; a value
    // the user set is left alone.
    const bool set_env = queue && !std::getenv("PULSE_LATENCY_MSEC");
    if (set_env) setenv("PULSE_LATENCY_MSEC", std::to_string(d.latency_ms).c_str(), 1);
    const SDL_AudioDeviceID id = wv_sdl_open(d.calls, name, 0, &want, &have, 0);
    if (set_env) unsetenv("PULSE_LATENCY_MSEC");
    if (id == 0) return false;
    d.sdl = id;
    d.sdl_devno = devno;
    d.sdl_fmt = f;
    SDL_PauseAudioDevice(id, 0);
    return true;
}


}  // namespace

// Copies a buffer with the device volume applied: 16-bit signed or 8-bit
// unsigned samples, channel gains in 1/65536 (65535: an exact copy).
void wv_gain_copy(uint8_t* dst, const uint8_t* src, uint32_t bytes, const wv_format& f, uint16_t gl, uint16_t gr) {
    const bool stereo = f.nChannels == 2;
    if (gl == 0xffff && (gr == 0xffff || !stereo)) {
        std::memcpy(dst, src, bytes);
        return;
    }
    if (f.nBitsSamp == 16) {
        const uint32_t n = bytes / 2;
        for (uint32_t i = 0; i < n; ++i) {
            const int32_t g = stereo && (i & 1) ? gr : gl;
            if (g == 0xffff) {
                std::memcpy(dst + 2 * i, src + 2 * i, 2);
                continue;
            }
            int16_t v;
            std::memcpy(&v, src + 2 * i, 2);
            v = static_cast<int16_t>((v * g) >> 16);
            std::memcpy(dst + 2 * i, &v, 2);
        }
    } else {
        for (uint32_t i = 0; i < bytes; ++i) {
            const int32_t g = stereo && (i & 1) ? gr : gl;
            dst[i] = g == 0xffff ? src[i] : static_cast<uint8_t>((((src[i] - 128) * g) >> 16) + 128);
        }
    }
}

void wv_sdl_play_format(wv_sdldev& d, const wv_format& f) {
    d.play_fmt = f;
    d.align = f.nBlockAlign > 0 ? f.nBlockAlign : 1;
    d.silence = f.nBitsSamp == 16 ? 0 : 0x80;
    d.lead = lead_chunks * wv_sdl_chunk(f.nSamplesPerSec);
}

void wv_sdl_fill(wv_sdldev& d, uint8_t* out, int len) {
    const int64_t t = now_ns();
    const int n = d.ncb.load(std::memory_order_relaxed);
    if (n < static_cast<int>(d.cbt.size())) {
        d.cbt[static_cast<std::size_t>(n)] = t;
        d.ncb.store(n + 1, std::memory_order_release);
    }
    if (n == 0) d.tid.store(static_cast<int>(gettid()), std::memory_order_relaxed);
    clock_tick(d, t, static_cast<uint32_t>(len / d.align));
    if (d.lead_in > 0) {
        const int k = std::min(len / d.align, d.lead_in);
        std::memset(out, d.silence, static_cast<std::size_t>(k * d.align));
        out += k * d.align;
        len -= k * d.align;
        d.lead_in -= k;
    }
    const uint32_t gain = d.gain.load(std::memory_order_relaxed);
    const auto gl = static_cast<uint16_t>(gain >> 16);
    const auto gr = static_cast<uint16_t>(gain & 0xffff);
    d.consumed.fetch_add(static_cast<uint32_t>(len), std::memory_order_release);
    while (len > 0) {
        if (!d.has_cur) {
            const uint32_t t = d.rtail.load(std::memory_order_relaxed);
            if (t == d.rhead.load(std::memory_order_acquire)) {
                std::memset(out, d.silence, static_cast<std::size_t>(len));
                d.ran_out.store(true, std::memory_order_relaxed);
                if (d.fed) {
                    if (!d.starving) d.underruns.fetch_add(1, std::memory_order_relaxed);
                    d.starving = true;
                    d.starved.fetch_add(static_cast<uint64_t>(len / d.align), std::memory_order_relaxed);
                }
                return;
            }
            if (!d.fed) {
                int64_t zero = 0;
                d.fed_ns.compare_exchange_strong(zero, now_ns(), std::memory_order_relaxed);
            }
            d.cur = d.ring[t % d.ring.size()];
            d.rtail.store(t + 1, std::memory_order_release);
            d.has_cur = true;
            d.off = 0;
            d.early = false;
            d.fed = true;
            d.starving = false;
        }
        const uint32_t take = std::min(static_cast<uint32_t>(len), d.cur.bytes - d.off);
        wv_gain_copy(out, d.cur.data + d.off, take, d.play_fmt, gl, gr);
        d.off += take;
        out += take;
        len -= static_cast<int>(take);
        if (d.off == d.cur.bytes) {
            d.done_gen.store(d.cur.gen, std::memory_order_release);
            if (!d.early) d.post(wv_evkind::done, d.cur.gen);
            d.has_cur = false;
        }
    }
    if (d.has_cur && !d.early && d.cur.bytes - d.off <= static_cast<uint32_t>(d.lead * d.align)) {
        d.early = true;
        d.post(wv_evkind::done, d.cur.gen);
    }
}

bool wv_sdl_bounded(const wv_sdlguard& calls, int ms, std::function<void()> fn, const volatile sig_atomic_t* stop) {
    auto call = std::make_shared<bounded_call>();
    call->calls = calls;
    call->fn = std::move(fn);
    std::thread helper;
    try {
        helper = std::thread([call] {
            call->fn();
            // SDL keeps per-thread data (its error text) that only its own
            // threads free when they end.
            SDL_TLSCleanup();
            const std::lock_guard<std::mutex> lock(call->m);
            call->done = true;
            if (call->abandoned) call->calls->stuck.fetch_sub(1);
            call->cv.notify_all();
        });
    } catch (const std::system_error&) {
        call->fn();  // no thread to be had: the call is waited for
        return true;
    }
    std::unique_lock<std::mutex> lock(call->m);
    // A signal does not wake the wait: with a flag to watch, it looks every 20 ms.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    bool timed_out = false;
    for (;;) {
        const auto next =
            stop ? std::min(until, std::chrono::steady_clock::now() + std::chrono::milliseconds(20)) : until;
        if (call->cv.wait_until(lock, next, [&] { return call->done; })) {
            lock.unlock();
            helper.join();
            return true;
        }
        timed_out = std::chrono::steady_clock::now() >= until;
        if (timed_out || (stop && *stop)) break;
    }
    if (timed_out) calls->no_answer.store(true);
    call->abandoned = true;
    calls->stuck.fetch_add(1);
    lock.unlock();
    helper.detach();
    if (!calls->exit_hooked.exchange(true)) {
        auto* held = new wv_sdlguard(calls);
        if (on_exit(leave_without_cleanup, held) != 0) delete held;
    }
    return false;
}

int wv_sdl_chunk(int rate) {
    // About 23 ms, but at most 256 frames: the cycle hands over one buffer per
    // done notification, so a callback must never want more than half of the
    // smallest buffer (512 frames at 3 KiB).
    int c = 64;
    while (c * 2 <= rate / 43 && c < 256) c *= 2;
    return c;
}

wv_sdldev::wv_sdldev() = default;

wv_sdldev::~wv_sdldev() { wv_sdl_shutdown(*this); }

bool wv_sdl_audio_up(const wv_sdlguard& calls, bool& inited, const char* what, std::string& err,
                     const volatile sig_atomic_t* stop) {
    if (inited) return true;
    const std::string no = std::string("no audio ") + what + ": ";
    // SDL is not entered while a call of it hangs in the sound server.
    if (wv_sdl_stuck(*calls)) {
        err = no + "the sound server does not answer";
        return false;
    }
    // SDL would otherwise take over SIGINT and SIGTERM (turning them into
    // quit events nobody reads), and the program could no longer be ended
    // by a signal; the command line installs its own handlers.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // SDL's error text is per thread: the helper keeps it.
    struct result {
        int rc = -1;
        std::string error;
    };
    auto r = std::make_shared<result>();
    const bool in_time = wv_sdl_bounded(calls, wv_sdl_start_ms, [r] {
        r->rc = SDL_InitSubSystem(SDL_INIT_AUDIO);
        if (r->rc != 0) r->error = SDL_GetError();
    }, stop);
    if (!in_time) {
        err = no + (stop && *stop ? std::string("stopped while waiting for the sound server")
                                  : "SDL's audio start-up got no answer within " +
                                        std::to_string(wv_sdl_start_ms / 1000) + " s");
        return false;
    }
    if (r->rc != 0) {
        err = no + r->error;
        return false;
    }
    inited = true;
    return true;
}

bool wv_sdl_init(wv_sdldev& d, std::string& err, const volatile sig_atomic_t* stop) {
    return wv_sdl_audio_up(d.calls, d.inited, "output", err, stop);
}

SDL_AudioDeviceID wv_sdl_open(const wv_sdlguard& calls, const char* name, int iscapture, const SDL_AudioSpec* want,
                              SDL_AudioSpec* have, int allowed_changes) {
    // Copies for the helper, which may outlive this call.
    struct call {
        std::string name;
        bool named;
        SDL_AudioSpec want, have{};
        SDL_AudioDeviceID id = 0;
    };
    auto c = std::make_shared<call>(call{name ? name : "", name != nullptr, *want});
    if (!wv_sdl_bounded(calls, wv_sdl_start_ms, [c, iscapture, allowed_changes] {
            c->id = SDL_OpenAudioDevice(c->named ? c->name.c_str() : nullptr, iscapture, &c->want, &c->have,
                                        allowed_changes);
        }))
        return 0;
    if (have) *have = c->have;
    return c->id;
}

bool wv_sdl_request(unsigned devno, int iscapture, int count, const wv_format& f, SDL_AudioCallback cb, void* user,
                    const char*& name, SDL_AudioSpec& want) {
    name = nullptr;
    if (devno != wv_mapper) {
        if (devno >= static_cast<unsigned>(count)) return false;
        name = SDL_GetAudioDeviceName(static_cast<int>(devno), iscapture);
        if (!name) return false;
    }
    want = SDL_AudioSpec{};
    want.freq = f.nSamplesPerSec;
    want.format = f.nBitsSamp == 16 ? AUDIO_S16SYS : AUDIO_U8;
    want.channels = static_cast<Uint8>(f.nChannels);
    want.samples = static_cast<Uint16>(wv_sdl_chunk(f.nSamplesPerSec));
    want.callback = cb;
    want.userdata = user;
    return true;
}

wv_audio_hint wv_audio_hint_for(const char* env, const std::vector<std::string>& systems, const char* started) {
    auto join = [](const std::vector<std::string>& v) {
        std::string t;
        for (const std::string& n : v) t += (t.empty() ? "" : ", ") + n;
        return t;
    };
    // The systems SDL tries on its own; "dummy" and "disk" only when named.
    std::vector<std::string> usable;
    for (const std::string& n : systems)
        if (n != "dummy" && n != "disk") usable.push_back(n);
    std::vector<std::string> tried;
    wv_audio_hint h;
    if (env && *env) {
        // The names of the variable that SDL knows, in their order.
        const std::string list = env;
        std::size_t at = 0;
        while (at <= list.size()) {
            const std::size_t comma = std::min(list.find(',', at), list.size());
            const std::string name = list.substr(at, comma - at);
            for (const std::string& n : systems)
                if (!name.empty() && strcasecmp(n.c_str(), name.c_str()) == 0) tried.push_back(n);
            at = comma + 1;
        }
        if (tried.empty()) {
            h.tried = "SDL_AUDIODRIVER=" + list + " names no audio system that SDL has (it has " + join(systems) + ")";
            h.advice = h.brief = "unset SDL_AUDIODRIVER, or set it to one of those";
            return h;
        }
    } else {
        for (const std::string& n : usable) {
            tried.push_back(n);
            if (started && n == started) break;
        }
    }
    const bool one = tried.size() == 1;
    if (tried.empty())
        h.tried = "SDL has no audio system";
    else if (started)
        h.tried = std::string("SDL tried the audio system") + (one ? " " : "s ") + join(tried) + "; " + started +
                  " runs but offers no output device";
    else
        h.tried = std::string("SDL tried the audio system") + (one ? " " : "s ") + join(tried) + "; " +
                  (one ? "it could not start" : "none of them could start");
    h.advice =
        "start PulseAudio or PipeWire (systemctl --user start pipewire pipewire-pulse, or pulseaudio --start), "
        "or choose another audio system with SDL_AUDIODRIVER (SDL has " + join(usable) + ")";
    h.brief = "start PulseAudio or PipeWire, or set SDL_AUDIODRIVER";
    return h;
}

wv_audio_hint wv_sdl_hint(const wv_sdlcalls& calls) {
    // SDL's state is not looked at while a call of it may still run.
    if (wv_sdl_no_answer(calls) || wv_sdl_stuck(calls)) {
        wv_audio_hint h;
        h.tried = "the sound server does not answer (it is stopped or stuck)";
        h.advice = "restart it (systemctl --user restart pipewire pipewire-pulse, or pulseaudio --kill and "
                   "pulseaudio --start), or choose another audio system with SDL_AUDIODRIVER";
        h.brief = "restart it, or set SDL_AUDIODRIVER";
        return h;
    }
    std::vector<std::string> systems;
    const int n = SDL_GetNumAudioDrivers();
    for (int i = 0; i < n; ++i)
        if (const char* name = SDL_GetAudioDriver(i)) systems.emplace_back(name);
    const char* started = SDL_WasInit(SDL_INIT_AUDIO) ? SDL_GetCurrentAudioDriver() : nullptr;
    return wv_audio_hint_for(std::getenv("SDL_AUDIODRIVER"), systems, started);
}

std::string wv_sdl_hint_line(const wv_sdlcalls& calls) {
    const wv_audio_hint h = wv_sdl_hint(calls);
    return h.tried + "; " + h.brief;
}

bool wv_sdl_shutdown(wv_sdldev& d) {
    if (!d.inited) return true;
    d.inited = false;
    const SDL_AudioDeviceID id = d.sdl;
    d.sdl = 0;
    // While an earlier close hangs, the subsystem's quit would wait for it
    // too: only this device's own stream is closed then.
    const bool quit = !wv_sdl_stuck(*d.calls);
    if (!wv_sdl_bounded(d.calls, wv_sdl_close_ms, [id, quit] { close_sdl(id, quit); })) return false;
    flush(d);
    return quit;
}

wv_sdlstats wv_sdl_stats(const wv_sdldev& d) {
    wv_sdlstats s;
    s.underruns = d.underruns.load();
    s.starved = d.starved.load();
    s.server_lost = d.server_lost.load();
    s.lost = s.starved + s.server_lost;
    s.chunk = wv_sdl_chunk(d.sdl_fmt.nSamplesPerSec);
    s.latency_ms = d.latency_ms;
    s.priority = d.priority.empty() ? "not raised" : d.priority;
    const int n = d.ncb.load(std::memory_order_acquire);
    for (int i = 0; i < n; ++i) s.cbtimes.push_back(d.cbt[static_cast<std::size_t>(i)] - d.open_ns);
    s.write_ns = d.write_ns;
    s.fed_ns = d.fed_ns.load();
    return s;
}

int wv_sdl_latency_ms(int want_ms, int buffer_frames, int rate) {
    if (rate <= 0) return 0;
    const int half_ms = static_cast<int>(int64_t{buffer_frames} * 1000 / (2 * int64_t{rate}));
    const int two_chunks_ms = static_cast<int>(int64_t{2 * wv_sdl_chunk(rate)} * 1000 / rate);
    const int ms = std::min(want_ms, half_ms);
    return ms >= two_chunks_ms ? ms : 0;
}

std::string wv_sdl_boost(wv_sdldev& d) {
    const int tid = d.tid.load();
    if (d.boosted || tid == 0) return d.priority;
    d.boosted = true;
    sched_param p{};
    p.sched_priority = 4;
    bool rt = sched_setscheduler(tid, SCHED_RR | SCHED_RESET_ON_FORK, &p) == 0;
    if (!rt) rt = SDL_LinuxSetThreadPriorityAndPolicy(tid, SDL_THREAD_PRIORITY_TIME_CRITICAL, SCHED_RR) == 0;
    const int policy = sched_getscheduler(tid) & ~SCHED_RESET_ON_FORK;
    if (policy == SCHED_RR || policy == SCHED_FIFO) {
        sched_getparam(tid, &p);
        d.priority = "real-time " + std::to_string(p.sched_priority);
    } else {
        errno = 0;
        const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
        d.priority = "nice " + std::to_string(errno ? 0 : nice) + " (real-time refused)";
    }
    return d.priority;
}

// While a close hangs in the sound server, no device is offered.
int wv_sdldev::count() { return inited && !wv_sdl_stuck(*calls) ? std::max(0, SDL_GetNumAudioDevices(0)) : 0; }

bool wv_sdldev::caps(unsigned devno, wv_caps& out) {
    if (!inited || wv_sdl_stuck(*calls)) return false;
    if (devno == wv_mapper) {
        char* name = nullptr;
        SDL_AudioSpec info;
        if (SDL_GetDefaultAudioInfo(&name, &info, 0) == 0 && name) {
            out.name = name;
            SDL_free(name);
        } else if (count() > 0) {
            out.name = "default output";
        } else {
            return false;
        }
    } else {
        if (devno >= static_cast<unsigned>(count())) return false;
        const char* name = SDL_GetAudioDeviceName(static_cast<int>(devno), 0);
        if (!name) return false;
        out.name = name;
    }
    // SDL converts every format and rate, and the gain is applied here.
    out.dwFormats = wv_fmt_all;
    out.wChannels = 2;
    out.dwSupport = wv_sup_volume;
    return true;
}

bool wv_sdldev::open(unsigned devno, const wv_format& f, wv_notify* s, uint32_t& g) {
    if (!inited || isopen || wv_sdl_stuck(*calls)) return false;
    // A stream that ran out after a Stop (or before any sound) has silence
    // queued: the next write opens a new one. One that ran short within a
    // play goes on (the silence counted as lost), not to add a reopening.
    bool idle = false;
    if (sdl != 0 && same_stream(*this, devno, f)) {
        SDL_LockAudioDevice(sdl);
        idle = ran_out.load(std::memory_order_relaxed) && !fed;
        SDL_UnlockAudioDevice(sdl);
    }
    if (sdl != 0 && (!same_stream(*this, devno, f) || idle)) close_stream(*this);
    if (sdl == 0 && (wv_sdl_stuck(*calls) || (devno != wv_mapper && devno >= static_cast<unsigned>(count())))) return false;
    pending = sdl == 0;
    sdl_devno = devno;
    sdl_fmt = f;
    // A stream opened at the first write counts that write's frames in the
    // format it is opened for, not in the last stream's.
    if (pending) wv_sdl_play_format(*this, f);
    sink.store(s, std::memory_order_release);
    g = ++gen;
    isopen = true;
    return true;
}

bool wv_sdldev::write(const void* data, uint32_t bytes) {
    if (!isopen || (sdl == 0 && !pending) || bytes == 0) return false;
    if (pending) flush(*this);
    const uint32_t h = rhead.load(std::memory_order_relaxed);
    if (h - rtail.load(std::memory_order_acquire) >= ring.size()) return false;
    // Two staging blocks alternate: when a buffer is written, the one before
    // the previous has been taken completely.
    std::vector<uint8_t>& st = stage[static_cast<std::size_t>(next_stage)];
    next_stage ^= 1;
    if (st.size() < bytes) st.resize(bytes);
    std::memcpy(st.data(), data, bytes);
    ring[h % ring.size()] = {st.data(), bytes, gen};
    written_gen = gen;
    written_frames = bytes / static_cast<uint32_t>(align);
    write_mark = consumed.load(std::memory_order_acquire);
    if (write_ns == 0) write_ns = now_ns();
    ran_out.store(false, std::memory_order_relaxed);
    rhead.store(h + 1, std::memory_order_release);
    if (pending) {
        pending = false;
        write_ns = now_ns();
        if (!open_stream(*this, sdl_devno, sdl_fmt, written_frames)) {
            flush(*this);
            return false;
        }
    } else {
        wv_sdl_boost(*this);
    }
    return true;
}

// The frames that have sounded since the buffer was written. The previous
// buffer's last frames (the lead of its early done notification) count too:
// the cycle measures how much of a buffer's time went by before the next one
// was ready, as with a device that reports done when the sound ends.
int64_t wv_sdldev::position() {
    if (!isopen || written_gen != gen) return 0;
    if (done_gen.load(std::memory_order_acquire) >= gen) return written_frames;
    const uint64_t since = consumed.load(std::memory_order_acquire) - write_mark;
    return std::min<int64_t>(static_cast<int64_t>(since / static_cast<uint32_t>(align)), written_frames);
}

void wv_sdldev::release() {
    if (!isopen) close_stream(*this);
}

int wv_sdldev::lead_frames() { return lead; }

uint64_t wv_sdldev::lost_frames() {
    return starved.load(std::memory_order_relaxed) + server_lost.load(std::memory_order_relaxed);
}

void wv_sdldev::reset() {
    if (sdl == 0) return;
    // While the device is locked the callback is not running; the stream
    // itself goes on with silence.
    SDL_LockAudioDevice(sdl);
    const bool pending = has_cur || rhead.load() != rtail.load();
    const bool reported = has_cur && early;
    flush(*this);
    SDL_UnlockAudioDevice(sdl);
    if (isopen && written_gen == gen && pending && !reported && done_gen.load() < gen)
        post(wv_evkind::done, gen);
}

bool wv_sdldev::lost() {
    // SDL marks a stream whose device or server went away as stopped.
    return sdl != 0 && SDL_GetAudioDeviceStatus(sdl) == SDL_AUDIO_STOPPED;
}
