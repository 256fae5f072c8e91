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
#include "audio/refill.h"
#include "audio/evqueue.h"
#include "audio/stream.h"
#include "audio/virtdev.h"

namespace {

struct queue_sink final : wv_notify {
    wv_evqueue q;
    void post(const wv_event& ev) override { wv_evq_push(q, ev); }
};

std::vector<uint8_t> read_all(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Plays `buffers` buffers through the cycle on the virtual device and
// returns the bytes the device received.
std::vector<uint8_t> play_virtual(const std::vector<std::string>& args, int buffers) {
    cli_engine eo;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string err;
        EXPECT_EQ(cli_engine_option(args, i, eo, err), cli_taken) << args[i];
    }
    auto p = std::make_unique<cli_play>();
    std::string err;
    EXPECT_EQ(cli_prepare(eo, *p, err), 0) << err;
    wv_virtdev dev;
    queue_sink sink;
    wv_options opt;
    wv_stream s;
    s.dev = &dev;
    s.opt = &opt;
    s.sink = &sink;
    s.roh = &p->st.h;
    s.algomod = p->row;
    s.setnr = p->setnr;
    s.tonr = p->tonr;
    s.opt->bufszorig = eo.bufkb * 1024;
    s.opt->maxv = eo.voices;
    s.opt->emphas = eo.emphasis;
    s.opt->tonalias = eo.timbre;
    EXPECT_TRUE(wv_probe(s));
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
    for (const auto& b : dev.log) out.insert(out.end(), b.bytes.begin(), b.bytes.end());
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

TEST(PlayVsRender, EveryRowWithARoutine) {
    const std::string out = std::string(TESS_BUILD_DIR) + "/test_play_rows.raw";
    int rows = 0;
    for (int row = 0; row < 21; ++row) {
        if (!rov_row_computed(row) || atab[row].algtyp == 1) continue;  // sampling rows need a sample
        ++rows;
        const std::vector<std::string> c = {"--algorithm", std::to_string(row), "--set", "5", "--voices", "16"};
        std::vector<std::string> args = c;
        args.insert(args.end(), {"--buffers", "5", "--raw", "-o", out});
        ASSERT_EQ(cmd_render(args), 0);
        EXPECT_TRUE(play_virtual(c, 5) == read_all(out)) << "row " << row;
    }
    EXPECT_GT(rows, 1);
    std::remove(out.c_str());
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
