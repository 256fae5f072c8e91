// `tessellon play` against `tessellon render`: the streaming cycle, prepared
// from the same options, sends exactly the buffers that render writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/play.h"
#include "app/render.h"
#include "audio/chain.h"
#include "audio/refill.h"
#include "audio/evqueue.h"
#include "audio/stream.h"
#include "audio/virtdev.h"

namespace {

struct queue_sink final : wv_notify {
    wv_evqueue q;
    void post(const wv_event& ev) override { wv_evq_push(q, ev); }
};

// No gap arises in these plays; a timer that is set would be a fault.
struct : wv_timer {
    void set(int) override { ADD_FAILURE() << "gap timer set"; }
    void kill() override {}
} no_timer;

std::vector<uint8_t> read_all(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Plays `buffers` buffers through the cycle on the virtual device and
// returns the bytes the device received. "--mono8" plays 8-bit mono.
std::vector<uint8_t> play_virtual(const std::vector<std::string>& args, int buffers) {
    cli_engine eo;
    bool mono8 = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--mono8") {
            mono8 = true;
            continue;
        }
        std::string err;
        EXPECT_EQ(cli_engine_option(args, i, eo, err), cli_taken) << args[i];
    }
    auto p = std::make_unique<wv_program>();
    std::string err;
    EXPECT_EQ(cli_prepare(eo, *p, err), 0) << err;
    wv_virtdev dev;
    queue_sink sink;
    p->opt = cli_options(eo);
    cli_wire(*p, dev, sink, no_timer);
    wv_stream& s = p->ws;
    EXPECT_TRUE(wv_probe(s));
    if (mono8) wv_toggle_mono8(s);
    wv_stream_open(s);
    EXPECT_TRUE(wv_start(s));
    while (static_cast<int>(dev.log.size()) < buffers) {
        wv_virt_advance(dev, dev.frames);
        wv_event ev;
        while (wv_evq_pop(sink.q, ev)) wv_dispatch(s, ev);
    }
    wv_stop(s);
    wv_event ev;
    while (wv_evq_pop(sink.q, ev)) wv_dispatch(s, ev);
    EXPECT_TRUE(wv_idle(s));
    wv_stream_close(s);
    std::vector<uint8_t> out;
    for (int n = 0; n < buffers; ++n) out.insert(out.end(), dev.log[n].bytes.begin(), dev.log[n].bytes.end());
    return out;
}

}  // namespace

TEST(PlayVsRender, SameBuffersForTheSameSetting) {
    const std::vector<std::vector<std::string>> cases = {
        {"--algorithm", "0", "--set", "4"},
        {"--algorithm", "0", "--set", "2", "--voices", "64", "--buffer-kb", "4", "--emphasis", "--timbre"},
        {"--algorithm", "0", "--set", "7", "--scale", "3", "--buffer-kb", "512"},
    };
    const std::string out = std::string(TESS_BUILD_DIR) + "/test_play_render.raw";
    for (const auto& c : cases) {
        const int buffers = 6;
        std::vector<std::string> args = c;
        args.insert(args.end(), {"--buffers", std::to_string(buffers), "--raw", "-o", out});
        ASSERT_EQ(cmd_render(args), 0);
        const std::vector<uint8_t> rendered = read_all(out);
        const std::vector<uint8_t> played = play_virtual(c, buffers);
        ASSERT_EQ(played.size(), rendered.size());
        EXPECT_TRUE(played == rendered) << c[3];
    }
    std::remove(out.c_str());
}

TEST(PlayVsRender, EveryRowWithARoutineInBothFormats) {
    const std::string out = std::string(TESS_BUILD_DIR) + "/test_play_rows.raw";
    int rows = 0;
    for (int row = 0; row < rov_natab; ++row) {
        if (!rov_row_computed(row) || rov_row_sampling(row)) continue;  // sampling rows need a sample
        ++rows;
        for (bool mono8 : {false, true}) {
            std::vector<std::string> c = {"--algorithm", std::to_string(row), "--set", "5", "--voices", "16"};
            if (mono8) c.push_back("--mono8");
            std::vector<std::string> args = c;
            args.insert(args.end(), {"--buffers", "5", "--raw", "-o", out});
            ASSERT_EQ(cmd_render(args), 0);
            const std::vector<uint8_t> rendered = read_all(out);
            const int32_t frames = wv_frames(32 * 1024);
            ASSERT_EQ(rendered.size(), static_cast<std::size_t>(5 * frames * (mono8 ? 1 : 4)));
            EXPECT_TRUE(play_virtual(c, 5) == rendered) << "row " << row << (mono8 ? " 8-bit" : "");
        }
    }
    EXPECT_GT(rows, 1);
    std::remove(out.c_str());
}

TEST(RenderCommand, EightBitMonoIsTheStereoRenderConverted) {
    const std::string out = std::string(TESS_BUILD_DIR) + "/test_render_mono8.wav";
    const std::string raw = std::string(TESS_BUILD_DIR) + "/test_render_st.raw";
    ASSERT_EQ(cmd_render({"--set", "1", "--buffers", "3", "--raw", "-o", raw}), 0);
    ASSERT_EQ(cmd_render({"--set", "1", "--buffers", "3", "--mono8", "-o", out}), 0);
    const std::vector<uint8_t> st = read_all(raw), m = read_all(out);
    ASSERT_EQ(m.size(), 44 + st.size() / 4);
    // The header says 8-bit mono at the set's rate.
    EXPECT_EQ(m[22], 1);
    EXPECT_EQ(m[34], 8);
    rov_setting s;
    rov_default_setting(s);
    const int volume = s.rov_p[16 + rov_par::Volume];
    std::vector<int16_t> words(st.size() / 2);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<int16_t>(st[2 * i] | (st[2 * i + 1] << 8));
    std::vector<uint8_t> want(words.size() / 2);
    wv_to8bit(words.data(), static_cast<int32_t>(want.size()), volume, want.data());
    EXPECT_TRUE(std::equal(want.begin(), want.end(), m.begin() + 44));
    std::remove(out.c_str());
    std::remove(raw.c_str());
}

TEST(RenderCommand, RowsThatCannotPlayAreRefused) {
    const std::string out = std::string(TESS_BUILD_DIR) + "/test_render_refused.wav";
    for (int row = 0; row < rov_natab; ++row) {
        if (rov_row_computed(row) || rov_row(row).multiple) continue;  // Multiple play needs no routine
        EXPECT_EQ(cmd_render({"--algorithm", std::to_string(row), "--buffers", "1", "-o", out}), 2) << row;
        EXPECT_EQ(cmd_play({"--algorithm", std::to_string(row), "--seconds", "1"}), 2) << row;
    }
    std::FILE* f = std::fopen(out.c_str(), "rb");
    EXPECT_EQ(f, nullptr);
    if (f) std::fclose(f);
}

TEST(PlayCommand, BadOptionsGiveUsage) {
    EXPECT_EQ(cmd_play({"--device", "7"}), 2);
    EXPECT_EQ(cmd_play({"--device"}), 2);
    EXPECT_EQ(cmd_play({"--gap", "0"}), 2);
    EXPECT_EQ(cmd_play({"--gap", "65"}), 2);
    EXPECT_EQ(cmd_play({"--time-to-play", "forever"}), 2);
    EXPECT_EQ(cmd_play({"--seconds", "-1"}), 2);
    EXPECT_EQ(cmd_play({"--voices", "65"}), 2);
    EXPECT_EQ(cmd_play({"--loud"}), 2);
    EXPECT_EQ(cmd_devices({"--all"}), 2);
    // A setting file that does not exist: a message and status 1, before any device is touched.
    EXPECT_EQ(cmd_play({"--setting", "/nonexistent/x.rov", "--seconds", "1"}), 1);
}

TEST(CapsText, ShowsTheRatesTheRecordOffers) {
    wv_caps c;
    c.name = "A device with a name longer than thirty-one characters";
    c.dwFormats = 0x8 | 0x80 | 0x1;  // 16-bit stereo at 11025 and 22050, 8-bit mono at 11025
    c.dwSupport = wv_sup_sync;
    const std::string t = wv_caps_text(c);
    EXPECT_EQ(t,
              "A device with a name longer tha\n"
              "  8 bit mono rates:      11025 Hz\n"
              "  8 bit stereo rates:\n"
              "  16 bit mono rates:\n"
              "  16 bit stereo rates:   11025 Hz  22050 Hz\n"
              "  only synchronous output!\n");
    c.dwFormats = wv_fmt_all;
    c.dwSupport = wv_sup_volume;
    const std::string all = wv_caps_text(c);
    EXPECT_NE(all.find("  16 bit mono rates:     11025 Hz  22050 Hz  44100 Hz\n"), std::string::npos);
    EXPECT_NE(all.find("volume can be controlled"), std::string::npos);
    EXPECT_EQ(all.find("synchronous"), std::string::npos);
}

TEST(PlayCommand, NoOutputDeviceSaysSoAndExitsOne) {
    // An audio driver that does not exist: SDL's audio cannot start.
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(cmd_play({"--algorithm", "0", "--seconds", "1"}), 1);
    EXPECT_EQ(cmd_devices({}), 1);
    unsetenv("SDL_AUDIODRIVER");
}
