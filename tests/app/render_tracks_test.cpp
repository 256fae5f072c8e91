// `tessellon render` with Multiple play, the setting banks, the mixer's
// settings, fuzz and automatic program changes.
#include <gtest/gtest.h>

#include "app/run_program.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/cli.h"
#include "audio/setup.h"
#include "engine/rov.h"
#include "files/setup_file.h"
#include "player/fuzz.h"
#include "support/scratch.h"

namespace fs = std::filesystem;

namespace {

program_result run(const std::string& args) { return run_program(args, "2>&1"); }

using scratch = test_scratch;

std::vector<int16_t> raw(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    const std::vector<char> b{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    std::vector<int16_t> w(b.size() / 2);
    std::memcpy(w.data(), b.data(), w.size() * 2);
    return w;
}

// A setting file: the default setting on `row`, its set 0 marked by `mark`.
std::string write_setting(const scratch& tmp, const std::string& name, int row, int16_t mark = 48) {
    rov_setting s;
    rov_default_setting(s);
    s.rov_stdalg = static_cast<int16_t>(row);
    s.rov_p[0] = mark;
    uint8_t bytes[rov_setting_bytes];
    rov_setting_write(s, bytes);
    std::ofstream f(tmp / name, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes), sizeof bytes);
    return tmp / name;
}

constexpr std::size_t frame_words = 2 * (32768 / 4 - 256);

std::vector<int16_t> buffer(const std::vector<int16_t>& w, std::size_t n) {
    return {w.begin() + static_cast<long>(n * frame_words), w.begin() + static_cast<long>((n + 1) * frame_words)};
}

}  // namespace

TEST(RenderTracks, MultiplePlayWithDefaultBanksIsTheSettingAtHalfLevel) {
    scratch tmp;
    const std::string common = " --set 4 --buffers 5 --raw -o ";
    ASSERT_EQ(run("render --algorithm 1" + common + tmp / "one.raw").status, 0);
    const program_result r = run("render --algorithm 21" + common + tmp / "four.raw");
    ASSERT_EQ(r.status, 0) << r.out;
    const auto one = raw(tmp / "one.raw"), four = raw(tmp / "four.raw");
    ASSERT_EQ(one.size(), 5 * frame_words);
    ASSERT_EQ(four.size(), one.size());
    EXPECT_EQ(buffer(four, 0), buffer(one, 0));
    EXPECT_EQ(buffer(four, 1), buffer(one, 1));
    for (std::size_t n = 2; n < 5; ++n) {
        auto half = buffer(one, n);
        for (auto& x : half) x = static_cast<int16_t>(x >> 1);
        EXPECT_EQ(buffer(four, n), half) << n;
    }
}

TEST(RenderTracks, BanksAreHeardAndMutedAndLevelled) {
    scratch tmp;
    const std::string bank = write_setting(tmp, "b.rov", 0);
    const std::string common = " --algorithm 21 --set 4 --buffers 5 --raw -o ";
    ASSERT_EQ(run("render" + common + tmp / "alone.raw").status, 0);
    program_result r = run("render --bank " + bank + common + tmp / "bank.raw");
    ASSERT_EQ(r.status, 0) << r.out;
    r = run("render --bank " + bank + " --mute 2" + common + tmp / "muted.raw");
    ASSERT_EQ(r.status, 0) << r.out;
    r = run("render --bank " + bank + " --track-level 2:16" + common + tmp / "quiet.raw");
    ASSERT_EQ(r.status, 0) << r.out;
    const auto alone = raw(tmp / "alone.raw"), withbank = raw(tmp / "bank.raw");
    const auto muted = raw(tmp / "muted.raw"), quiet = raw(tmp / "quiet.raw");
    EXPECT_NE(buffer(withbank, 4), buffer(alone, 4));  // the bank's track sounds
    EXPECT_EQ(buffer(muted, 4), buffer(alone, 4));     // a muted bank starts no tone
    EXPECT_NE(buffer(quiet, 4), buffer(withbank, 4));  // another output shift
}

TEST(RenderTracks, FuzzIsAppliedToEveryBuffer) {
    scratch tmp;
    const std::string common = " --algorithm 0 --set 4 --buffers 3 --raw -o ";
    ASSERT_EQ(run("render" + common + tmp / "dry.raw").status, 0);
    for (int type = 1; type <= 7; ++type) {
        const std::string out = tmp / ("f" + std::to_string(type) + ".raw");
        const program_result r =
            run("render --fuzz " + std::to_string(type) + " --fuzz-degree 300" + common + out);
        ASSERT_EQ(r.status, 0) << r.out;
        auto want = raw(tmp / "dry.raw");
        for (std::size_t n = 0; n < 3; ++n)
            wvfuzz(want.data() + n * frame_words, static_cast<int32_t>(frame_words), sintab, 300,
                   static_cast<int16_t>(type));
        EXPECT_EQ(raw(out), want) << type;
    }
}

TEST(RenderTracks, BadValuesGiveUsageAndStatusTwo) {
    scratch tmp;
    const std::string b = write_setting(tmp, "b.rov", 0);
    const std::string o = " --buffers 1 -o " + tmp / "x.wav";
    for (const std::string& args : std::vector<std::string>{
             "render --fuzz 8" + o, "render --fuzz -1" + o, "render --fuzz-degree 1601" + o,
             "render --fuzz" + o, "render --track-level 5:12" + o, "render --track-level 1:3" + o,
             "render --track-level 1:17" + o, "render --track-level 1" + o, "render --track-level 1:x" + o,
             "render --mute 0" + o, "render --mute 5" + o, "render --program-change 3201" + o,
             "render --change-scale" + o, "render --bank" + o,
             "render --bank " + b + " --bank " + b + " --bank " + b + " --bank " + b + o}) {
        const program_result r = run(args);
        EXPECT_EQ(r.status, 2) << args << "\n" << r.out;
        EXPECT_NE(r.out.find("tessellon render: "), std::string::npos) << args;
    }
    const program_result r = run("render --bank " + tmp / "missing.rov" + o);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("missing.rov"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(tmp / "x.wav"));
}

TEST(RenderTracks, BankFilesArePushedInOrder) {
    scratch tmp;
    cli_engine o;
    o.banks = {write_setting(tmp, "a.rov", 0, 101), write_setting(tmp, "b.rov", 1, 102),
               write_setting(tmp, "c.rov", 2, 103)};
    o.setting = write_setting(tmp, "d.rov", 5, 104);
    auto p = std::make_unique<wv_program>();
    std::string err;
    ASSERT_EQ(cli_prepare(o, *p, err), 0) << err;
    // As loading a, b, c and then the setting would: the last bank file is
    // the first bank.
    EXPECT_EQ(p->fg.s.rov_p[0], 104);
    EXPECT_EQ(p->bk.rosbk[0].rov_p[0], 103);
    EXPECT_EQ(p->bk.rosbk[1].rov_p[0], 102);
    EXPECT_EQ(p->bk.rosbk[2].rov_p[0], 101);
    EXPECT_EQ(p->bk.rosbk[2].rov_stdalg, 0);
    // Left for the stream to open with the options' voice maximum.
    EXPECT_EQ(p->bk.rogbk[0].rov_maxvoc, 0);
    // Two files leave the third bank as the program starts it: silent.
    o.banks.pop_back();
    o.setting.clear();
    ASSERT_EQ(cli_prepare(o, *p, err), 0) << err;
    EXPECT_EQ(p->bk.rosbk[0].rov_p[0], 102);
    EXPECT_EQ(p->bk.rosbk[2].rov_stdalg, 3);

    // The mixer's settings reach the four global phases.
    o.tracklevel[0] = 16;
    o.tracklevel[3] = 4;
    o.mute[1] = true;
    cli_mixer_apply(o, *p);
    EXPECT_EQ(p->fg.g.rov_volshift, 16);
    EXPECT_EQ(p->bk.rogbk[2].rov_volshift, 4);
    EXPECT_EQ(p->bk.rogbk[0].rov_stopped, 1);
    EXPECT_EQ(p->fg.g.rov_stopped, 0);
}

TEST(RenderTracks, ProgramChangeUsesTheBufferCounter) {
    cli_engine o;
    o.progchange = 10;
    o.changescale = true;
    wv_options opt;
    std::string err;
    ASSERT_EQ(cli_load_options(o, opt, nullptr, err), 0) << err;
    EXPECT_EQ(opt.plchdist, 10);
    EXPECT_EQ(opt.dispmode, wv_disp_buffer);
    // A program change every buffer: the sets step through at each refill.
    scratch tmp;
    const std::string common = " --algorithm 0 --buffers 4 --raw -o ";
    ASSERT_EQ(run("render --program-change 1" + common + tmp / "a.raw").status, 0);
    ASSERT_EQ(run("render --program-change 0" + common + tmp / "b.raw").status, 0);
    ASSERT_EQ(run("render" + common + tmp / "c.raw").status, 0);
    EXPECT_NE(raw(tmp / "a.raw"), raw(tmp / "b.raw"));
    EXPECT_EQ(raw(tmp / "b.raw"), raw(tmp / "c.raw"));
}

// The voice maximum comes from the options alone: a setup file's reaches
// the setting and its banks alike, and --voices goes over the setup file's.
TEST(RenderTracks, VoicesFromTheSetupFileOrTheCommandLineReachEveryTrack) {
    scratch tmp;
    wv_options saved;
    saved.maxv = 3;
    saved.stereoset = true;
    int e = 0;
    ASSERT_TRUE(fi_setup_write(tmp / "three.ini", wv_setup_from(saved, 0), e));
    const std::string banks = " --algorithm 21 --bank " + write_setting(tmp, "b.rov", 0) + " --bank " +
                              write_setting(tmp, "c.rov", 2, 60) + " --buffers 4 --raw -o ";
    auto render = [&](const std::string& name, const std::string& args) {
        const program_result r = run("render" + args + banks + tmp / name);
        EXPECT_EQ(r.status, 0) << r.out;
        return raw(tmp / name);
    };
    const std::vector<int16_t> three = render("v3", " --voices 3");
    ASSERT_EQ(three.size(), 4 * frame_words);
    EXPECT_NE(three, render("v8", " --voices 8"));
    EXPECT_EQ(render("s", " --setup " + tmp / "three.ini"), three);
    EXPECT_EQ(render("s8", " --setup " + tmp / "three.ini --voices 8"), render("d", ""));
}
