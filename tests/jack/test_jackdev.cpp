// The JACK output against a real server: a private `jackd -d dummy` started
// here, and a small client in this process that records the device's ports.
// Skipped where jackd is not installed.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "audio/devswitch.h"
#include "audio/evqueue.h"
#include "audio/jackdev.h"
#include "audio/virtdev.h"

// Allocations, locks and waits made on the watched thread (the device's
// process thread), through this program's malloc family and pthread calls.
// AddressSanitizer owns malloc: its build counts nothing.
#if defined(__SANITIZE_ADDRESS__)
#define TESS_HOOKS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESS_HOOKS 0
#endif
#endif
#ifndef TESS_HOOKS
#define TESS_HOOKS 1
#endif
static std::atomic<pthread_t> watched{};
static std::atomic<long> hits{0};
#if TESS_HOOKS
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}
static bool on_watched() {
    const pthread_t w = watched.load(std::memory_order_relaxed);
    return w != pthread_t{} && pthread_equal(w, pthread_self());
}
extern "C" void* malloc(size_t n) {
    if (on_watched()) ++hits;
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t m) {
    if (on_watched()) ++hits;
    return __libc_calloc(n, m);
}
extern "C" void* realloc(void* p, size_t n) {
    if (on_watched()) ++hits;
    return __libc_realloc(p, n);
}
extern "C" void free(void* p) {
    if (p && on_watched()) ++hits;
    __libc_free(p);
}
template <class F>
static F next_fn(std::atomic<void*>& cache, const char* name) {
    void* f = cache.load();
    if (!f) cache.store(f = dlsym(RTLD_NEXT, name));
    return reinterpret_cast<F>(f);
}
static std::atomic<void*> real_lock{}, real_wait{}, real_sleep{};
extern "C" int pthread_mutex_lock(pthread_mutex_t* m) {
    if (on_watched()) ++hits;
    return next_fn<int (*)(pthread_mutex_t*)>(real_lock, "pthread_mutex_lock")(m);
}
extern "C" int pthread_cond_wait(pthread_cond_t* c, pthread_mutex_t* m) {
    if (on_watched()) ++hits;
    return next_fn<int (*)(pthread_cond_t*, pthread_mutex_t*)>(real_wait, "pthread_cond_wait")(c, m);
}
extern "C" int nanosleep(const timespec* t, timespec* rem) {
    if (on_watched()) ++hits;
    return next_fn<int (*)(const timespec*, timespec*)>(real_sleep, "nanosleep")(t, rem);
}
#endif

namespace {

using namespace std::chrono_literals;

// Records the device's ports from the first period after `armed` on.
struct probe {
    jack_client_t* c = nullptr;
    jack_port_t* in[2]{};
    jack_port_t* min = nullptr;
    std::vector<float> left = std::vector<float>(48000 * 8);
    std::atomic<std::size_t> frames{0};
    struct ev {
        std::size_t at;
        uint8_t b[3];
        std::size_t len;
    };
    std::vector<ev> midi = std::vector<ev>(4096);
    std::atomic<std::size_t> nmidi{0};
    std::atomic<bool> armed{false};

    static int process(jack_nframes_t n, void* arg) {
        auto& p = *static_cast<probe*>(arg);
        if (!p.armed.load()) return 0;
        const std::size_t at = p.frames.load(std::memory_order_relaxed);
        const auto* l = static_cast<const float*>(jack_port_get_buffer(p.in[0], n));
        for (jack_nframes_t i = 0; i < n && at + i < p.left.size(); ++i) p.left[at + i] = l[i];
        void* mb = jack_port_get_buffer(p.min, n);
        const uint32_t k = jack_midi_get_event_count(mb);
        std::size_t m = p.nmidi.load(std::memory_order_relaxed);
        for (uint32_t i = 0; i < k && m < p.midi.size(); ++i) {
            jack_midi_event_t e;
            if (jack_midi_event_get(&e, mb, i) != 0) continue;
            ev& out = p.midi[m++];
            out.at = at + e.time;
            out.len = std::min<std::size_t>(e.size, 3);
            std::copy(e.buffer, e.buffer + out.len, out.b);
        }
        p.nmidi.store(m, std::memory_order_release);
        p.frames.store(std::min(at + n, p.left.size()), std::memory_order_release);
        return 0;
    }
};

struct sink final : wv_notify {
    wv_evqueue q;
    void post(const wv_event& ev) override { wv_evq_push(q, ev); }
    // The next event of kind k (others are skipped); false after 5 s.
    bool wait(wv_evkind k, uint32_t& gen) {
        const auto until = std::chrono::steady_clock::now() + 5s;
        while (std::chrono::steady_clock::now() < until) {
            wv_event ev;
            if (!wv_evq_pop(q, ev)) {
                std::this_thread::sleep_for(1ms);
            } else if (ev.kind == k) {
                gen = ev.gen;
                return true;
            }
        }
        return false;
    }
};

class JackDevice : public ::testing::Test {
  protected:
    static pid_t server;
    static std::string name;

    static void SetUpTestSuite() {
        name = "tess-gt-" + std::to_string(getpid());
        setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
        server = fork();
        if (server == 0) {
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
            execlp("jackd", "jackd", "-n", name.c_str(), "-d", "dummy", "-r", "48000", "-p", "256", nullptr);
            _exit(127);
        }
    }
    static void TearDownTestSuite() {
        if (server > 0) {
            // SIGTERM lets the server leave the machine's registry; one stuck
            // in its shutdown is killed after 5 s rather than hang the suite.
            kill(server, SIGTERM);
            for (int i = 0; i < 100 && waitpid(server, nullptr, WNOHANG) == 0; ++i)
                std::this_thread::sleep_for(50ms);
            if (kill(server, 0) == 0) {
                kill(server, SIGKILL);
                waitpid(server, nullptr, 0);
            }
        }
    }

    wv_jackdev dev;
    probe pr;
    sink sk;

    void SetUp() override {
        std::string err;
        // The server takes a moment to come up.
        for (int i = 0; i < 100 && !wv_jack_init(dev, false, err); ++i) {
            int st = 0;
            if (waitpid(server, &st, WNOHANG) == server) GTEST_SKIP() << "jackd does not run here";
            std::this_thread::sleep_for(50ms);
        }
        ASSERT_TRUE(dev.client) << err;
        pr.c = jack_client_open("probe", JackNoStartServer, nullptr);
        ASSERT_TRUE(pr.c);
        pr.in[0] = jack_port_register(pr.c, "in_l", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        pr.in[1] = jack_port_register(pr.c, "in_r", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        pr.min = jack_port_register(pr.c, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(pr.c, probe::process, &pr);
        ASSERT_EQ(jack_activate(pr.c), 0);
        const std::string me = jack_get_client_name(pr.c);
        ASSERT_EQ(jack_connect(pr.c, jack_port_name(dev.out[0]), (me + ":in_l").c_str()), 0);
        ASSERT_EQ(jack_connect(pr.c, jack_port_name(dev.out[1]), (me + ":in_r").c_str()), 0);
        ASSERT_EQ(jack_connect(pr.c, jack_port_name(dev.midi_port), (me + ":midi_in").c_str()), 0);
    }
    void TearDown() override {
        if (pr.c) jack_client_close(pr.c);
        wv_jack_shutdown(dev);
    }

    // Plays one buffer as the cycle does; false when its done does not come.
    bool play(const wv_format& f, const std::vector<uint8_t>& buf, const std::vector<wv_midimsg>& msgs) {
        uint32_t gen = 0, g = 0;
        if (!dev.open(wv_jack_devno, f, &sk, gen)) return false;
        dev.midi(msgs.data(), static_cast<uint32_t>(msgs.size()));
        const bool ok = dev.write(buf.data(), static_cast<uint32_t>(buf.size())) && sk.wait(wv_evkind::done, g);
        dev.close();
        return ok && g == gen && sk.wait(wv_evkind::close, g);
    }
    // Waits until the ring is empty and a few periods more are recorded.
    void drain() {
        const auto until = std::chrono::steady_clock::now() + 5s;
        while (dev.rd.load() != dev.wr.load() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(2ms);
        const std::size_t f = pr.frames.load();
        while (pr.frames.load() < f + 2048 && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(2ms);
    }
};
pid_t JackDevice::server = -1;
std::string JackDevice::name;

wv_format format(int rate, int channels, int bits) {
    wv_format f;
    f.nSamplesPerSec = rate;
    f.nChannels = static_cast<int16_t>(channels);
    f.nBitsSamp = static_cast<int16_t>(bits);
    f.nBlockAlign = static_cast<int16_t>(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

// A buffer of silence with a click at each of `at`, and the note-on that goes
// with each click.
std::vector<uint8_t> clicks(const wv_format& f, uint32_t frames, const std::vector<uint32_t>& at,
                            std::vector<wv_midimsg>& msgs, uint8_t note) {
    const uint8_t silence = f.nBitsSamp == 8 ? 128 : 0;
    std::vector<uint8_t> b(std::size_t{frames} * static_cast<std::size_t>(f.nBlockAlign), silence);
    msgs.clear();
    for (uint32_t a : at) {
        for (int c = 0; c < f.nChannels; ++c) {
            uint8_t* p = b.data() + std::size_t{a} * static_cast<std::size_t>(f.nBlockAlign) +
                         static_cast<std::size_t>(c * f.nBitsSamp / 8);
            if (f.nBitsSamp == 8) {
                *p = 228;
            } else {
                const int16_t v = 25600;
                std::memcpy(p, &v, 2);
            }
        }
        wv_midimsg m;
        m.frame = a;
        m.len = 3;
        m.b[0] = 0x90;
        m.b[1] = note++;
        m.b[2] = 100;
        msgs.push_back(m);
    }
    return b;
}

// Each click's note arrives at the frame where the click's converted peak
// sounds, across buffer seams and converter rates, and the process thread
// allocates, locks and waits for nothing meanwhile.
TEST_F(JackDevice, NotesComeAtTheFramesOfTheirSoundAndTheProcessCallIsClean) {
    for (const wv_format& f : {format(44100, 2, 16), format(22050, 1, 8)}) {
        SCOPED_TRACE(f.nSamplesPerSec);
        pr.frames = 0;
        pr.nmidi = 0;
        pr.armed = true;
        const jack_native_thread_t t = jack_client_thread_id(dev.client);
        watched = t;
        hits = 0;
        const uint32_t n = 6000;
        const std::vector<std::vector<uint32_t>> at = {{300, 2999, 5999}, {100, 4000}, {1234}, {}};
        uint8_t note = 40;
        std::size_t clicks_total = 0;
        for (const auto& a : at) {
            std::vector<wv_midimsg> msgs;
            const std::vector<uint8_t> b = clicks(f, n, a, msgs, note);
            note = static_cast<uint8_t>(note + a.size());
            clicks_total += a.size();
            ASSERT_TRUE(play(f, b, msgs));
        }
        drain();
        watched = pthread_t{};
        pr.armed = false;
        EXPECT_EQ(hits.load(), 0) << "allocations, locks or waits in the process thread";
        dev.reset();
        std::this_thread::sleep_for(50ms);  // its All Notes Off goes out unrecorded

        // The peaks of the recording, in order.
        std::vector<std::size_t> peaks;
        const std::size_t nf = pr.frames.load();
        for (std::size_t i = 1; i + 1 < nf; ++i) {
            const float v = std::fabs(pr.left[i]);
            if (v > 0.3f && v >= std::fabs(pr.left[i - 1]) && v > std::fabs(pr.left[i + 1])) peaks.push_back(i);
        }
        ASSERT_EQ(peaks.size(), clicks_total);
        ASSERT_EQ(pr.nmidi.load(), clicks_total);
        for (std::size_t i = 0; i < clicks_total; ++i) {
            EXPECT_EQ(pr.midi[i].at, peaks[i]) << "note " << i;
            EXPECT_EQ(pr.midi[i].b[0], 0x90);
            EXPECT_EQ(pr.midi[i].b[1], 40 + i);
        }
        // The clicks keep their spacing at the server's rate.
        EXPECT_NEAR(static_cast<double>(peaks[1] - peaks[0]), 2699.0 * 48000 / f.nSamplesPerSec, 1.0);
    }
}

// A Stop drops the notes still to come, ends those that sound (All Notes Off
// on each channel) and gives the unfinished buffer its done notification.
TEST_F(JackDevice, ResetSendsAllNotesOffAndReportsTheBuffer) {
    const wv_format f = format(44100, 2, 16);
    std::vector<wv_midimsg> msgs;
    const std::vector<uint8_t> b = clicks(f, 3 * 44100, {10, 3 * 44100 - 100}, msgs, 60);
    pr.armed = true;
    uint32_t gen = 0, g = 0;
    ASSERT_TRUE(dev.open(wv_jack_devno, f, &sk, gen));
    dev.midi(msgs.data(), static_cast<uint32_t>(msgs.size()));
    ASSERT_TRUE(dev.write(b.data(), static_cast<uint32_t>(b.size())));
    for (int i = 0; i < 5000 && pr.nmidi.load() < 1; ++i) std::this_thread::sleep_for(1ms);
    ASSERT_EQ(pr.nmidi.load(), 1u);
    EXPECT_LT(dev.position(), 3 * 44100);
    dev.reset();
    ASSERT_TRUE(sk.wait(wv_evkind::done, g));
    EXPECT_EQ(g, gen);
    dev.close();
    std::this_thread::sleep_for(100ms);
    pr.armed = false;
    ASSERT_EQ(pr.nmidi.load(), 17u);
    EXPECT_EQ(pr.midi[0].b[0], 0x90);
    for (int ch = 0; ch < 16; ++ch) {
        EXPECT_EQ(pr.midi[1 + ch].b[0], 0xb0 | ch);
        EXPECT_EQ(pr.midi[1 + ch].b[1], 123);
    }
    // Only one done for the buffer.
    wv_event ev;
    while (wv_evq_pop(sk.q, ev)) EXPECT_NE(ev.kind, wv_evkind::done);
}

// The window program's device: the default layer by number, JACK by its
// own number, its client started only when JACK is first asked for, with
// the volume set before.
TEST_F(JackDevice, TheSwitchStartsJackOnlyWhenChosen) {
    wv_virtdev main;
    wv_jackdev jack;
    wv_devswitch sw;
    sw.main = &main;
    sw.jack = &jack;
    int ups = 0;
    sw.jack_up = [&] {
        ++ups;
        std::string err;
        return wv_jack_init(jack, false, err);
    };
    sw.volume(0x8000, 0x8000);
    wv_caps c;
    const wv_format f = format(22050, 2, 16);
    uint32_t gen = 0;
    ASSERT_TRUE(sw.caps(0, c));
    ASSERT_TRUE(sw.open(0, f, &sk, gen));
    sw.close();
    EXPECT_EQ(main.opens, 1);
    EXPECT_EQ(ups, 0);
    ASSERT_TRUE(sw.caps(wv_jack_devno, c));
    EXPECT_EQ(c.name, "JACK (" + jack.name + ")");
    ASSERT_TRUE(sw.open(wv_jack_devno, f, &sk, gen));
    EXPECT_TRUE(jack.isopen);
    EXPECT_EQ(jack.gain.load(), 0x80008000u);
    sw.close();
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(main.opens, 1);
}

}  // namespace
