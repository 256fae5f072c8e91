// The plugin in a liblilv host: what it renders is what `tessellon render`
// writes, instances are independent, state comes back whole, and run()
// allocates and locks nothing.
#include <dlfcn.h>
#include <malloc.h>
#include <pthread.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <fstream>
#include <iterator>
#include <mutex>

#include <lv2/presets/presets.h>

#include "../app/run_program.h"
#include "engine/rov.h"
#include "host.h"

// ---- The hook: every allocation and lock in the process is counted while
// `watching` is set (the host holds it around lilv_instance_run only).
// LV2_TEST_ABORT_ON_ALLOC=1 stops at the first one, for a debugger's backtrace.
namespace {
std::atomic<bool> watching{false};
std::atomic<long> allocs{0}, locks{0};
[[maybe_unused]] void note_alloc() {
    if (watching.load(std::memory_order_relaxed)) {
        allocs.fetch_add(1);
        if (std::getenv("LV2_TEST_ABORT_ON_ALLOC")) __builtin_trap();
    }
}
}  // namespace

#if !defined(__SANITIZE_ADDRESS__)  // the sanitizers bring their own allocator
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void* malloc(size_t n) {
    note_alloc();
    return __libc_malloc(n);
}
void* calloc(size_t a, size_t b) {
    note_alloc();
    return __libc_calloc(a, b);
}
void* realloc(void* p, size_t n) {
    note_alloc();
    return __libc_realloc(p, n);
}
void* memalign(size_t a, size_t n) {
    note_alloc();
    return __libc_memalign(a, n);
}
void* aligned_alloc(size_t a, size_t n) {
    note_alloc();
    return __libc_memalign(a, n);
}
int posix_memalign(void** p, size_t a, size_t n) {
    note_alloc();
    *p = __libc_memalign(a, n);
    return *p ? 0 : 12;
}
int pthread_mutex_lock(pthread_mutex_t* m) {
    if (watching.load(std::memory_order_relaxed)) locks.fetch_add(1);
    static auto real = reinterpret_cast<int (*)(pthread_mutex_t*)>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    return real(m);
}
int pthread_mutex_trylock(pthread_mutex_t* m) {
    if (watching.load(std::memory_order_relaxed)) locks.fetch_add(1);
    static auto real = reinterpret_cast<int (*)(pthread_mutex_t*)>(dlsym(RTLD_NEXT, "pthread_mutex_trylock"));
    return real(m);
}
}
#endif

namespace {

// `tessellon render` of `seconds` with `args`, as 16-bit stereo words.
std::vector<int16_t> render(const std::string& args, double seconds) {
    // Tests run side by side in processes of their own: a file of this one's.
    const std::string out = ::testing::TempDir() + "lv2_render_" + std::to_string(getpid()) + ".raw";
    const program_result r = run_program("render " + args + " --seconds " + std::to_string(seconds) + " --raw -o " + out);
    EXPECT_EQ(r.status, 0) << r.out;
    std::ifstream f(out, std::ios::binary);
    std::vector<char> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::remove(out.c_str());
    std::vector<int16_t> w(b.size() / 2);
    std::memcpy(w.data(), b.data(), w.size() * 2);
    return w;
}

// The frames of `got` are exactly the words of `want` / 32768.
void expect_words(const std::vector<float>& got, const std::vector<int16_t>& want) {
    ASSERT_LE(got.size(), want.size());
    std::size_t bad = 0, first = 0;
    for (std::size_t i = 0; i < got.size(); ++i)
        if (got[i] != static_cast<float>(want[i]) / 32768.0f && bad++ == 0) first = i;
    EXPECT_EQ(bad, 0u) << "first difference at word " << first;
}

bool any_sound(const std::vector<float>& v) {
    for (const float x : v)
        if (x != 0.0f) return true;
    return false;
}

struct Lv2Host : ::testing::Test {
    static lv2_world* world;
    static void SetUpTestSuite() { world = new lv2_world; }
    static void TearDownTestSuite() { delete world; }
    void SetUp() override { ASSERT_NE(world->plugin, nullptr) << "the bundle is not in " TESS_BUILD_DIR "/lv2"; }
};
lv2_world* Lv2Host::world = nullptr;

constexpr double rate0 = 5512;  // the built-in set 0's and set 1's rate

TEST_F(Lv2Host, EqualRateIsTheRenderWordForWordAndTwoInstancesAreIndependent) {
    const double secs = 4;
    const auto frames = static_cast<std::size_t>(secs * rate0);
    const std::vector<int16_t> want0 = render("", secs);
    const std::vector<int16_t> want1 = render("--set 1 --voices 12", secs);
    lv2_inst a(*world, rate0, 700), b(*world, rate0, 700);
    ASSERT_TRUE(a.inst && b.inst);
    b.ctl[tl_p_set] = 1;
    b.ctl[tl_nports - 1] = 12;  // voice maximum
    // Blocks of the two instances in turns, of sizes that never meet a buffer's end.
    std::vector<float> ga, gb;
    for (std::size_t done = 0; done < frames;) {
        const auto n = static_cast<uint32_t>(std::min<std::size_t>(done % 3 ? 700 : 333, frames - done));
        a.run(n);
        b.run(n);
        for (uint32_t i = 0; i < n; ++i) {
            ga.insert(ga.end(), {a.left[i], a.right[i]});
            gb.insert(gb.end(), {b.left[i], b.right[i]});
        }
        done += n;
    }
    EXPECT_TRUE(any_sound(ga));
    expect_words(ga, want0);
    expect_words(gb, want1);
}

TEST_F(Lv2Host, AnotherHostRateIsTheRenderWithinResamplingTolerance) {
    const double secs = 3, rate = 48000;
    const std::vector<int16_t> want = render("--out-rate 48000", secs);
    lv2_inst a(*world, rate, 1024);
    ASSERT_TRUE(a.inst);
    const std::vector<float> got = a.render(static_cast<std::size_t>(secs * rate) - 2048, 1024);
    ASSERT_LE(got.size(), want.size());
    // Both converters are libsoxr's high quality: what differs is the 16-bit
    // rounding of the file and the converters' delays (the plugin's have run
    // on silence once, so that no block grows their memory). Aligned by
    // cross-correlation (whole frames: a fraction of a frame stays), the
    // difference stays 20 dB below the signal; another sound is near 0 dB.
    auto err_at = [&](int lag, std::size_t from, std::size_t to) {
        double err = 0, sig = 0;
        for (std::size_t i = from; i < to; ++i) {
            const double w = want[static_cast<std::size_t>(static_cast<std::ptrdiff_t>(i) - 2 * lag)] / 32768.0;
            err += (got[i] - w) * (got[i] - w);
            sig += w * w;
        }
        return sig > 0 ? err / sig : 1e300;
    };
    double best = 1e300;
    int lag_at = 0;
    for (int lag = 0; lag <= 2048; ++lag)
        if (const double e = err_at(lag, 8192, 8192 + 2 * 8000); e < best) {
            best = e;
            lag_at = lag;
        }
    best = err_at(lag_at, 8192, got.size());
    EXPECT_LT(best, 1e-2) << "best lag " << lag_at << " frames, relative error " << best;
}

TEST_F(Lv2Host, StateSavedByOneInstanceRendersTheSameInAFreshOne) {
    lv2_inst a(*world, rate0, 512);
    ASSERT_TRUE(a.inst);
    a.ctl[tl_p_set] = 1;
    a.ctl[tl_p_first_slot + 2] = 700;  // Pitch of set 1
    a.render(4000, 512);
    a.midi(10, 0xb0, tl_cc_first + 3, 127);  // slot 3 of set 1 to its highest (256)
    a.render(512, 512);
    LilvState* st = lilv_state_new_from_instance(world->plugin, a.inst, &world->map, nullptr, nullptr, nullptr,
                                                 nullptr, nullptr, nullptr, 0, nullptr);
    ASSERT_NE(st, nullptr);

    // What render plays with the setting as edited, set 1.
    rov_setting s{};
    rov_default_setting(s);
    s.rov_p[16 + 2] = 700;
    s.rov_p[16 + 3] = 256;
    uint8_t bytes[rov_setting_bytes];
    rov_setting_write(s, bytes);
    const std::string file = ::testing::TempDir() + "lv2_state.rov";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes), sizeof bytes);
    const std::vector<int16_t> want = render("--setting " + file + " --set 1", 2);

    lv2_inst c(*world, rate0, 512);
    ASSERT_TRUE(c.inst);
    lilv_state_restore(st, c.inst, nullptr, nullptr, 0, nullptr);
    c.ctl[tl_p_set] = 1;  // what the host restores of the ports
    c.ctl[tl_p_first_slot + 2] = 700;
    expect_words(c.render(static_cast<std::size_t>(2 * rate0), 512), want);
    // Saved again, the state is the same, bit for bit.
    LilvState* again = lilv_state_new_from_instance(world->plugin, c.inst, &world->map, nullptr, nullptr, nullptr,
                                                    nullptr, nullptr, nullptr, 0, nullptr);
    EXPECT_TRUE(lilv_state_equals(st, again));
    lilv_state_free(again);
    lilv_state_free(st);
}

// A 16-bit mono WAV file of a few hundred milliseconds of a chirp.
std::string sample_file() {
    const std::string path = ::testing::TempDir() + "lv2_sample.wav";
    std::vector<int16_t> w(6000);
    for (std::size_t i = 0; i < w.size(); ++i)
        w[i] = static_cast<int16_t>(12000 * std::sin(0.0005 * static_cast<double>(i * i) / 10));
    const uint32_t data = static_cast<uint32_t>(w.size() * 2);
    auto u32 = [](std::ofstream& f, uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::ofstream& f, uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    std::ofstream f(path, std::ios::binary);
    f.write("RIFF", 4);
    u32(f, 36 + data);
    f.write("WAVEfmt ", 8);
    u32(f, 16);
    u16(f, 1);
    u16(f, 1);
    u32(f, 22050);
    u32(f, 44100);
    u16(f, 2);
    u16(f, 16);
    f.write("data", 4);
    u32(f, data);
    f.write(reinterpret_cast<const char*>(w.data()), data);
    return path;
}

TEST_F(Lv2Host, APresetMadeFromASettingFilePlaysThatSetting) {
    // The description generator with one file of a preset library.
    rov_setting s{};
    rov_default_setting(s);
    s.rov_p[2] = 600;  // Pitch of set 0
    s.rov_p[5] = 40;
    uint8_t bytes[rov_setting_bytes];
    rov_setting_write(s, bytes);
    const std::string dir = ::testing::TempDir(), file = dir + "lv2_preset.rov";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes), sizeof bytes);
    const std::string gen = std::string(TESS_LV2_TTL) + " " + dir + " tessellon.so --preset 'Low \"drone\"=" + file + "'";
    ASSERT_EQ(std::system(gen.c_str()), 0) << gen;
    // The library's presets follow the built-in setting's ten sets.
    LilvNode* uri = lilv_new_uri(world->world, TL_NS "preset10");
    LilvState* st = lilv_state_new_from_file(world->world, &world->map, uri, (dir + "/presets.ttl").c_str());
    lilv_node_free(uri);
    ASSERT_NE(st, nullptr);
    EXPECT_STREQ(lilv_state_get_label(st), "Low \"drone\"");
    lv2_inst a(*world, rate0, 512);
    lilv_state_restore(st, a.inst, nullptr, nullptr, 0, nullptr);
    expect_words(a.render(static_cast<std::size_t>(rate0), 512), render("--setting " + file, 1));
    lilv_state_free(st);
}

TEST_F(Lv2Host, TheLibrarysPresetsPlayAsTheProgramPlaysThem) {
    // The bundle's own presets: one with a sample, its set, row and voice maximum.
    LilvNode* pset = lilv_new_uri(world->world, LV2_PRESETS__Preset);
    LilvNodes* presets = lilv_plugin_get_related(world->plugin, pset);
    LilvState* st = nullptr;
    std::size_t n = 0;
    LILV_FOREACH (nodes, i, presets) {
        const LilvNode* node = lilv_nodes_get(presets, i);
        lilv_world_load_resource(world->world, node);
        LilvState* s = lilv_state_new_from_world(world->world, &world->map, node);
        ++n;
        if (!st && s && std::string(lilv_state_get_label(s)) == "bell-intervals") st = s;
        else lilv_state_free(s);
    }
    lilv_nodes_free(presets);
    lilv_node_free(pset);
    EXPECT_GE(n, 50u) << "the ten built-in sets and the library";
    ASSERT_NE(st, nullptr);
    lv2_inst a(*world, 22050, 512);
    lilv_state_restore(st, a.inst, nullptr, nullptr, 0, nullptr);
    expect_words(a.render(22050, 512), render("--preset bell-intervals", 1));
    lilv_state_free(st);
}

TEST_F(Lv2Host, ASampleLoadedByTheWorkerPlaysAndComesBackWithTheStateAndADamagedStateIsRefused) {
    const std::string wav = sample_file();
    const std::vector<int16_t> want = render("--algorithm 6 --sample " + wav, 3);
    lv2_inst a(*world, rate0, 512);
    ASSERT_TRUE(a.inst);
    a.ctl[tl_p_row] = 6;  // a sampling row
    a.patch_set(0, "sample", wav);
    a.run(512);
    a.do_work();
    expect_words(a.render(static_cast<std::size_t>(2 * rate0), 512), want);
    a.patch_set(0, "sample", ::testing::TempDir() + "no such file.wav");  // said in the log; nothing changes
    a.run(512);
    a.do_work();
    LilvState* st = lilv_state_new_from_instance(world->plugin, a.inst, &world->map, nullptr, nullptr, nullptr,
                                                 nullptr, nullptr, nullptr, 0, nullptr);
    lv2_inst b(*world, rate0, 512);
    lilv_state_restore(st, b.inst, nullptr, nullptr, 0, nullptr);
    b.ctl[tl_p_row] = 6;
    std::vector<float> got = b.render(static_cast<std::size_t>(2 * rate0), 512);
    lilv_state_free(st);

    // A damaged session is refused, and the instrument plays on as it was.
    struct saved {
        LV2_URID setting, options;
        std::vector<uint8_t> set_bytes, opt_bytes;
    };
    const auto retrieve = [](LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
        const auto* sv = static_cast<const saved*>(h);
        const std::vector<uint8_t>* v = key == sv->setting ? &sv->set_bytes : key == sv->options ? &sv->opt_bytes : nullptr;
        if (!v || v->empty()) return static_cast<const void*>(nullptr);
        *size = v->size();
        *type = 0;
        *flags = 0;
        return static_cast<const void*>(v->data());
    };
    const LV2_URID ks = world->map.map(world, TL_NS "setting"), ko = world->map.map(world, TL_NS "options");
    const saved short_setting{ks, ko, std::vector<uint8_t>(10), {1, 6, 0, 0, 0, 8, 0, 0}};
    const saved set_12{ks, ko, std::vector<uint8_t>(rov_setting_bytes), {1, 6, 12, 0, 0, 8, 0, 0}};
    const auto* iface =
        static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(b.inst, LV2_STATE__interface));
    LV2_Handle h = lilv_instance_get_handle(b.inst);
    EXPECT_NE(iface->restore(h, retrieve, const_cast<saved*>(&short_setting), 0, nullptr), LV2_STATE_SUCCESS);
    EXPECT_NE(iface->restore(h, retrieve, const_cast<saved*>(&set_12), 0, nullptr), LV2_STATE_SUCCESS);
    const std::vector<float> more = b.render(static_cast<std::size_t>(rate0 / 2), 512);
    got.insert(got.end(), more.begin(), more.end());
    expect_words(got, want);
}

TEST_F(Lv2Host, ProgramChangeTransportAndRowChangesReachTheSound) {
    // Another row asked for before the first block: silence until the worker
    // has built it, then that row from its start.
    lv2_inst a(*world, rate0, 512), b(*world, rate0, 512);
    ASSERT_TRUE(a.inst && b.inst);
    a.ctl[tl_p_row] = 13;
    a.run(512);
    EXPECT_FALSE(any_sound(a.left));
    a.do_work();
    expect_words(a.render(static_cast<std::size_t>(rate0), 512), render("--algorithm 13", 1));

    // Program change 1 and a row change while playing: the new row starts on set 1.
    b.render(2048, 512);
    b.midi(0, 0xc0, 1);
    b.render(512, 512);
    b.ctl[tl_p_row] = 13;
    b.render(512, 512);
    expect_words(b.render(static_cast<std::size_t>(rate0), 512), render("--algorithm 13 --set 1", 1));

    // A stopped transport holds the tones as Pause does: an instance that
    // was stopped parts from its twin (from the next buffer the cycle
    // computes: two buffers of 7936 frames are ahead), and sounds again once started.
    lv2_inst c(*world, rate0, 512), d(*world, rate0, 512);
    c.render(4096, 512);
    d.render(4096, 512);
    c.transport(0, 0.0f);
    const std::vector<float> held = c.render(24000, 512), free = d.render(24000, 512);
    EXPECT_NE(held, free);
    c.transport(0, 1.0f);
    EXPECT_TRUE(any_sound(c.render(20000, 512)));
}

TEST_F(Lv2Host, RunAllocatesAndLocksNothing) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' allocator stands in for malloc";
#endif
    // The hook sees what it is to see (the plugin's calls reach it as the
    // test program's own do: its symbols are exported).
    {
        std::mutex m;
        watching = true;
        auto* x = new int(1);
        m.lock();
        m.unlock();
        watching = false;
        delete x;
        ASSERT_GT(allocs.load(), 0);
        ASSERT_GT(locks.load(), 0);
    }
    for (const double rate : {rate0, 48000.0}) {
        lv2_inst a(*world, rate, 1024);
        ASSERT_TRUE(a.inst);
        a.render(4096, 1024);  // past the first block
        allocs = locks = 0;
        for (int k = 0; k < 200; ++k) {
            // Controls, MIDI and transport in the watched blocks too; a row
            // change only asks the worker.
            a.ctl[tl_p_first_slot + 2] = static_cast<float>(400 + k);
            if (k == 50) a.ctl[tl_p_set] = 2;  // another rate: the converter is ready
            if (k == 60) a.ctl[tl_nports - 1] = 32;
            if (k == 70) a.midi(5, 0xc0, 3);
            if (k == 80) a.midi(9, 0xb0, tl_cc_first + 11, 64);
            if (k == 90) a.transport(0, 0.0f);
            if (k == 95) a.transport(0, 1.0f);
            if (k == 120) a.ctl[tl_p_row] = 9;
            lv2_atom_forge_pop(&a.forge, &a.frame);
            watching = true;
            lilv_instance_run(a.inst, 1024);
            watching = false;
            a.begin();
            a.do_work();
        }
        EXPECT_EQ(allocs.load(), 0) << "at " << rate << " Hz";
        EXPECT_EQ(locks.load(), 0) << "at " << rate << " Hz";
        EXPECT_TRUE(any_sound(a.left));
    }
}

}  // namespace
