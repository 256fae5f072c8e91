#include "audio/jackdev.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "audio/sdldev.h"
#include "files/resample.h"

namespace {

// Room for MIDI messages waiting in the ring (a power of two).
constexpr std::size_t midi_room = 8192;
// The smallest ring, in frames.
constexpr uint64_t min_ring = 4096;

int64_t now_ns() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

void emit_jack(void* ctx, uint32_t offset, const uint8_t* bytes, uint32_t len) {
    // A full port buffer drops the message; nothing else can be done here.
    jack_midi_event_write(ctx, offset, bytes, len);
}

int process(jack_nframes_t n, void* arg) {
    auto& d = *static_cast<wv_jackdev*>(arg);
    const int64_t t0 = now_ns();
    auto* left = static_cast<float*>(jack_port_get_buffer(d.out[0], n));
    auto* right = static_cast<float*>(jack_port_get_buffer(d.out[1], n));
    void* mbuf = jack_port_get_buffer(d.midi_port, n);
    jack_midi_clear_buffer(mbuf);
    wv_jack_run(d, left, right, n, emit_jack, mbuf);
    const int64_t dt = now_ns() - t0;
    d.calls.fetch_add(1, std::memory_order_relaxed);
    d.cb_sum_ns.fetch_add(dt, std::memory_order_relaxed);
    if (dt > d.cb_max_ns.load(std::memory_order_relaxed)) d.cb_max_ns.store(dt, std::memory_order_relaxed);
    return 0;
}

void server_gone(jack_status_t, const char*, void* arg) {
    static_cast<wv_jackdev*>(arg)->gone.store(true, std::memory_order_release);
}

// libjack's own complaints (no server, a refused connection) would go to
// stderr as it sees fit; the device says what went wrong in its own words.
void quiet(const char*) {}

bool same_stream(const wv_format& a, const wv_format& b) {
    return a.nSamplesPerSec == b.nSamplesPerSec && a.nChannels == b.nChannels && a.nBitsSamp == b.nBitsSamp;
}

uint64_t pow2_at_least(uint64_t n) {
    uint64_t p = min_ring;
    while (p < n) p *= 2;
    return p;
}

// Frames at the server's rate that `frames` input frames give at most.
uint64_t out_frames(uint64_t frames, int in_rate, int jrate) {
    return (frames * static_cast<uint64_t>(jrate) + static_cast<uint64_t>(in_rate) - 1) / static_cast<uint64_t>(in_rate) +
           64;
}

}  // namespace

void wv_jack_pause(wv_jackdev& d) {
    d.live.store(false);
    // The callback looks at `live` after raising `busy`: once `busy` is seen
    // down, it stays out until resumed. A server that is gone calls nothing.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (d.busy.load() && !d.gone.load() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void wv_jack_resume(wv_jackdev& d) { d.live.store(true); }

void wv_jack_prepare(wv_jackdev& d, int in_rate, uint32_t frames, int jrate, int period) {
    d.jrate = jrate;
    d.period = period;
    // Two buffers in flight at most (the one playing and the next), with
    // room to spare.
    const uint64_t cap = pow2_at_least(4 * out_frames(frames, in_rate, jrate) + 4 * static_cast<uint64_t>(period));
    if (d.ring.size() < 2 * cap) d.ring.assign(2 * cap, 0.0f);
    d.mask = d.ring.size() / 2 - 1;
    if (d.mring.size() < midi_room) d.mring.assign(midi_room, wv_jackmidi{});
    if (in_rate == jrate) {
        d.conv.reset();
    } else if (!d.conv || d.conv->in_rate() != in_rate || d.conv->out_rate() != jrate) {
        d.conv = std::make_unique<fi_resampler>(2, in_rate, jrate);
    } else {
        d.out16.clear();
        d.conv->flush(d.out16);  // the old stream's tail is dropped
    }
    d.wr.store(0);
    d.rd.store(0);
    d.mhead.store(0);
    d.mtail.store(0);
    d.mpost = 0;
    d.mwr.store(0);
    d.mrd.store(0);
    d.fed = false;
    d.ran_out.store(false);
    d.in_total = 0;
    // The latency: at most half a buffer, so that the next one can follow.
    const int half_ms = static_cast<int>(int64_t{frames} * 1000 / (2 * int64_t{in_rate}));
    const int ms = std::max(0, std::min(d.want_latency_ms, half_ms));
    d.lead = static_cast<int>(int64_t{ms} * jrate / 1000) + period;
}

void wv_jack_run(wv_jackdev& d, float* left, float* right, uint32_t n, wv_jack_emit emit, void* ctx) {
    d.busy.store(true);
    if (!d.live.load()) {
        std::memset(left, 0, n * sizeof(float));
        std::memset(right, 0, n * sizeof(float));
        d.busy.store(false);
        return;
    }
    if (d.panic.exchange(false, std::memory_order_relaxed)) {
        for (uint8_t ch = 0; ch < 16; ++ch) {
            const uint8_t off[3] = {static_cast<uint8_t>(0xb0 | ch), 123, 0};  // All Notes Off
            emit(ctx, 0, off, 3);
        }
    }
    const uint32_t g = d.gain.load(std::memory_order_relaxed);
    const uint16_t gl16 = static_cast<uint16_t>(g >> 16), gr16 = static_cast<uint16_t>(g & 0xffff);
    const float gl = gl16 == 0xffff ? 1.0f : static_cast<float>(gl16) / 65536.0f;
    const float gr = gr16 == 0xffff ? 1.0f : static_cast<float>(gr16) / 65536.0f;

    const uint64_t r = d.rd.load(std::memory_order_relaxed);
    const uint64_t w = d.wr.load(std::memory_order_acquire);
    const uint32_t take = static_cast<uint32_t>(std::min<uint64_t>(n, w - r));
    const float* ring = d.ring.data();
    for (uint32_t i = 0; i < take; ++i) {
        const uint64_t k = ((r + i) & d.mask) * 2;
        left[i] = ring[k] * gl;
        right[i] = ring[k + 1] * gr;
    }
    if (take < n) {
        std::memset(left + take, 0, (n - take) * sizeof(float));
        std::memset(right + take, 0, (n - take) * sizeof(float));
        if (d.fed && !d.ran_out.load(std::memory_order_relaxed)) d.underruns.fetch_add(1, std::memory_order_relaxed);
        if (d.fed) d.starved.fetch_add(n - take, std::memory_order_relaxed);
        d.ran_out.store(true, std::memory_order_relaxed);
    } else {
        d.ran_out.store(false, std::memory_order_relaxed);
    }
    const uint64_t end = r + take;

    // The MIDI messages whose frames were taken now, at their frames; one
    // already late goes at the start.
    uint64_t mr = d.mrd.load(std::memory_order_relaxed);
    const uint64_t mw = d.mwr.load(std::memory_order_acquire);
    const uint64_t mmask = d.mring.size() - 1;
    uint32_t last = 0;
    while (mr != mw) {
        const wv_jackmidi& e = d.mring[mr & mmask];
        if (e.at >= end) break;
        last = std::max(last, e.at > r ? static_cast<uint32_t>(e.at - r) : 0u);
        emit(ctx, last, e.m.b, std::min<uint32_t>(e.m.len, 3));
        ++mr;
    }
    d.mrd.store(mr, std::memory_order_release);
    d.rd.store(end, std::memory_order_release);
    if (take > 0) d.fed = true;

    // Done runs a lead ahead of a buffer's last frames.
    const uint32_t mh = d.mhead.load(std::memory_order_acquire);
    const std::size_t nm = d.marks.size();
    while (d.mpost != mh && d.marks[d.mpost % nm].end <= end + static_cast<uint64_t>(d.lead)) {
        d.post(wv_evkind::done, d.marks[d.mpost % nm].gen);
        ++d.mpost;
    }
    uint32_t mt = d.mtail.load(std::memory_order_relaxed);
    while (mt != d.mpost && d.marks[mt % nm].end <= end) {
        d.done_gen.store(d.marks[mt % nm].gen, std::memory_order_release);
        ++mt;
    }
    d.mtail.store(mt, std::memory_order_release);
    d.busy.store(false);
}

wv_jackdev::wv_jackdev() = default;

wv_jackdev::~wv_jackdev() { wv_jack_shutdown(*this); }

bool wv_jack_init(wv_jackdev& d, bool connect, std::string& err) {
    if (d.client) return true;
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    const char* server = std::getenv("JACK_DEFAULT_SERVER");
    const std::string which = server && *server ? std::string("JACK server '") + server + "'" : "JACK server";
    if (wv_sdl_stuck(*d.bounded)) {
        err = "the " + which + " does not answer";
        return false;
    }
    // The client is made on a helper thread, so that a server that does
    // not answer is given up.
    struct opening {
        jack_client_t* c = nullptr;
        jack_status_t st{};
    };
    auto o = std::make_shared<opening>();
    if (!wv_sdl_bounded(d.bounded, wv_jack_wait_ms,
                        [o] { o->c = jack_client_open("tessellon", JackNoStartServer, &o->st); })) {
        err = "the " + which + " does not answer";
        return false;
    }
    d.client = o->c;
    const jack_status_t st = o->st;
    if (!d.client) {
        err = (st & JackServerFailed) ? "no " + which + " is running (start one with jackd, or PipeWire's JACK layer)"
                                      : "the " + which + " refused the client";
        return false;
    }
    d.name = jack_get_client_name(d.client);
    d.out[0] = jack_port_register(d.client, "out_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    d.out[1] = jack_port_register(d.client, "out_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    d.midi_port = jack_port_register(d.client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (!d.out[0] || !d.out[1] || !d.midi_port) {
        err = "the " + which + " gave the client no ports";
        jack_client_close(d.client);
        d.client = nullptr;
        return false;
    }
    d.jrate = static_cast<int>(jack_get_sample_rate(d.client));
    d.period = static_cast<int>(jack_get_buffer_size(d.client));
    d.mring.assign(midi_room, wv_jackmidi{});
    jack_set_process_callback(d.client, process, &d);
    jack_on_info_shutdown(d.client, server_gone, &d);
    if (jack_activate(d.client) != 0) {
        err = "the " + which + " did not start the client";
        jack_client_close(d.client);
        d.client = nullptr;
        return false;
    }
    if (connect) {
        // The first two physical playback ports; a single one takes both.
        if (const char** ports = jack_get_ports(d.client, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                                                JackPortIsPhysical | JackPortIsInput)) {
            for (int c = 0; c < 2 && ports[0]; ++c) {
                const char* to = ports[c == 1 && ports[1] ? 1 : 0];
                jack_connect(d.client, jack_port_name(d.out[static_cast<std::size_t>(c)]), to);
            }
            jack_free(ports);
        }
    }
    return true;
}

void wv_jack_shutdown(wv_jackdev& d) {
    if (!d.client) return;
    jack_client_t* c = d.client;
    d.client = nullptr;
    d.live.store(false);
    const bool gone = d.gone.load();
    wv_sdl_bounded(d.bounded, wv_jack_wait_ms, [c, gone] {
        if (!gone) jack_deactivate(c);
        jack_client_close(c);
    });
}

wv_jackstats wv_jack_stats(const wv_jackdev& d) {
    wv_jackstats s;
    s.underruns = d.underruns.load();
    s.starved = d.starved.load();
    s.midi_dropped = d.midi_dropped;
    s.rate = d.jrate;
    s.period = d.period;
    s.lead = d.lead;
    if (d.client && !d.gone.load()) {
        jack_latency_range_t range{};
        jack_port_get_latency_range(d.out[0], JackPlaybackLatency, &range);
        s.port_latency = static_cast<int>(range.max);
    }
    s.calls = d.calls.load();
    s.cb_max_ns = d.cb_max_ns.load();
    s.cb_sum_ns = d.cb_sum_ns.load();
    s.writes = d.writes;
    s.conv_max_ns = d.conv_max_ns;
    s.conv_sum_ns = d.conv_sum_ns;
    return s;
}

bool wv_jackdev::caps(unsigned devno, wv_caps& c) {
    if (lost() || (devno != wv_mapper && devno != 0 && devno != wv_jack_devno)) return false;
    c.name = "JACK (" + name + ")";
    // Every format is converted to the server's, and the gain is applied here.
    c.dwFormats = wv_fmt_all;
    c.wChannels = 2;
    c.dwSupport = wv_sup_volume;
    return true;
}

bool wv_jackdev::open(unsigned devno, const wv_format& f, wv_notify* s, uint32_t& g) {
    if (isopen || lost() || (devno != wv_mapper && devno != 0 && devno != wv_jack_devno)) return false;
    if ((f.nChannels != 1 && f.nChannels != 2) || (f.nBitsSamp != 8 && f.nBitsSamp != 16) || f.nSamplesPerSec <= 0 ||
        f.nBlockAlign != f.nChannels * f.nBitsSamp / 8)
        return false;
    fmt = f;
    sink.store(s, std::memory_order_release);
    g = ++gen;
    isopen = true;
    return true;
}

void wv_jackdev::midi(const wv_midimsg* msgs, uint32_t n) {
    if (msgs && n > 0) pending.insert(pending.end(), msgs, msgs + n);
}

bool wv_jackdev::write(const void* data, uint32_t bytes) {
    const uint32_t frames = isopen ? bytes / static_cast<uint32_t>(fmt.nBlockAlign) : 0;
    if (!data || frames == 0 || lost()) {
        pending.clear();
        return false;
    }
    const int in_rate = fmt.nSamplesPerSec;
    const uint64_t most = out_frames(frames, in_rate, jrate);
    const bool fits = !ring.empty() && 2 * most + static_cast<uint64_t>(period) <= mask + 1;
    if (restart || !same_stream(fmt, stream_fmt) || !fits) {
        wv_jack_pause(*this);
        wv_jack_prepare(*this, in_rate, frames, jrate, period);
        stream_fmt = fmt;
        restart = false;
        wv_jack_resume(*this);
    }
    const int64_t t0 = now_ns();
    // 16-bit stereo for the converter: 8-bit samples around 128, mono on both sides.
    in16.resize(std::size_t{frames} * 2);
    const auto* p = static_cast<const uint8_t*>(data);
    const int ch = fmt.nChannels;
    for (uint32_t i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            const uint32_t at = i * static_cast<uint32_t>(ch) + static_cast<uint32_t>(c < ch ? c : 0);
            int16_t v;
            if (fmt.nBitsSamp == 16)
                std::memcpy(&v, p + 2 * at, 2);
            else
                v = static_cast<int16_t>((p[at] - 128) * 256);
            in16[2 * i + static_cast<uint32_t>(c)] = v;
        }
    }
    const int16_t* src = in16.data();
    std::size_t n = frames;
    if (conv) {
        out16.clear();
        conv->process(in16.data(), frames, out16);
        src = out16.data();
        n = out16.size() / 2;
    }
    const uint64_t w = wr.load(std::memory_order_relaxed);
    const uint32_t mh = mhead.load(std::memory_order_relaxed);
    if (w - rd.load(std::memory_order_acquire) + n > mask + 1 ||
        mh - mtail.load(std::memory_order_acquire) >= marks.size()) {
        pending.clear();
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const uint64_t k = ((w + i) & mask) * 2;
        ring[k] = static_cast<float>(src[2 * i]) / 32768.0f;
        ring[k + 1] = static_cast<float>(src[2 * i + 1]) / 32768.0f;
    }
    // Each message at the frame of the server's stream its frame converts to.
    std::stable_sort(pending.begin(), pending.end(),
                     [](const wv_midimsg& a, const wv_midimsg& b) { return a.frame < b.frame; });
    uint64_t mw = mwr.load(std::memory_order_relaxed);
    const uint64_t mr = mrd.load(std::memory_order_acquire);
    for (const wv_midimsg& m : pending) {
        if (m.len < 1 || m.len > 3) continue;
        if (mw - mr >= mring.size()) {
            ++midi_dropped;
            continue;
        }
        const uint64_t f = in_total + std::min(m.frame, frames);
        const uint64_t at = (f * static_cast<uint64_t>(jrate) + static_cast<uint64_t>(in_rate) / 2) /
                            static_cast<uint64_t>(in_rate);
        mring[mw & (mring.size() - 1)] = {at, m};
        ++mw;
        sent_midi = true;
    }
    pending.clear();
    mwr.store(mw, std::memory_order_release);
    marks[mh % marks.size()] = {w + n, gen};
    mhead.store(mh + 1, std::memory_order_release);
    write_start = w;
    written_gen = gen;
    written_frames = frames;
    in_total += frames;
    wr.store(w + n, std::memory_order_release);
    const int64_t dt = now_ns() - t0;
    ++writes;
    conv_sum_ns += dt;
    conv_max_ns = std::max(conv_max_ns, dt);
    return true;
}

int64_t wv_jackdev::position() {
    if (!isopen || written_gen != gen) return 0;
    if (done_gen.load(std::memory_order_acquire) >= gen) return written_frames;
    const uint64_t r = rd.load(std::memory_order_acquire);
    const uint64_t since = r > write_start ? r - write_start : 0;
    const int in_rate = stream_fmt.nSamplesPerSec > 0 ? stream_fmt.nSamplesPerSec : jrate;
    return std::min<int64_t>(static_cast<int64_t>(since * static_cast<uint64_t>(in_rate) / static_cast<uint64_t>(jrate)),
                             written_frames);
}

int wv_jackdev::lead_frames() {
    const int in_rate = fmt.nSamplesPerSec > 0 ? fmt.nSamplesPerSec : jrate;
    return static_cast<int>(int64_t{lead} * in_rate / jrate);
}

void wv_jackdev::reset() {
    pending.clear();
    if (!client) return;
    wv_jack_pause(*this);
    const uint32_t mh = mhead.load();
    // The buffer whose done has not been posted yet gets it now.
    if (isopen && written_gen == gen && mpost != mh && done_gen.load() < gen) post(wv_evkind::done, gen);
    rd.store(wr.load());
    mtail.store(mh);
    mpost = mh;
    mrd.store(mwr.load());
    fed = false;
    restart = true;
    // Notes that were sounding get their end.
    if (sent_midi) panic.store(true);
    sent_midi = false;
    wv_jack_resume(*this);
}
