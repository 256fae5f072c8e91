// The progress line of render and the status line of play: shown only on a
// terminal, render's only after a second, cleared before the summary.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/progress.h"
#include "app/run_program.h"

namespace {

struct null_sink final : wv_bytesink {
    std::size_t bytes = 0;
    bool put(const void*, std::size_t n, int32_t) override {
        bytes += n;
        return true;
    }
};

// The program run on a pseudo terminal (util-linux `script`): what the
// terminal received, carriage returns included.
std::string on_terminal(const std::string& env, const std::string& args) {
    const std::string inner = env + " " + TESS_PROGRAM + " " + args;
    std::string cmd = "script -qec '" + inner + "' /dev/null </dev/null 2>&1";
    std::string out;
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[512];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

}  // namespace

TEST(ProgressText, ClockPercentAndSpeed) {
    EXPECT_EQ(cli_clock(0), "0:00.0");
    EXPECT_EQ(cli_clock(-3), "0:00.0");
    EXPECT_EQ(cli_clock(75.46), "1:15.4");
    EXPECT_EQ(cli_clock(3599.9), "59:59.9");
    EXPECT_EQ(cli_clock(86400.4), "24:00:00");
    EXPECT_EQ(render_progress_text(12.5, 30, 0.5), "render: 41 %, 0:12.5 of 0:30.0 sound, 25 x real time");
    // Never 100 % before the end, never more than 99 when the total shifts.
    EXPECT_EQ(render_progress_text(30.2, 30, 1).substr(0, 12), "render: 99 %");
    EXPECT_EQ(render_progress_text(0, 0, 0), "render: 0 %, 0:00.0 of 0:00.0 sound, 0 x real time");
    EXPECT_EQ(play_status_text(62, 3), "playing 1:02.0, underruns 3");
    EXPECT_EQ(play_status_text(62, 3, 4410), "playing 1:02.0, underruns 3, lost 4410 frames");
}

TEST(ProgressLine, NothingWithoutATerminalAndNothingInTheFirstSecond) {
    null_sink sink;
    render_progress off(&sink, 10, 4, false);
    testing::internal::CaptureStderr();
    off.t0 -= 5;  // a long job, but no terminal
    EXPECT_TRUE(off.put("abcdabcd", 8, 2));
    off.tick(off.t0 + 5);
    off.finish();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(sink.bytes, 8u);  // the bytes go on to the file all the same

    render_progress on(&sink, 10, 4, true);
    testing::internal::CaptureStderr();
    on.put("abcdabcd", 8, 2);  // one second of sound
    on.tick(on.t0 + 0.9);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    testing::internal::CaptureStderr();
    on.tick(on.t0 + 2);
    on.tick(on.t0 + 2.1);  // too soon to draw again
    on.finish();
    const std::string shown = testing::internal::GetCapturedStderr();
    const std::string text = "render: 10 %, 0:01.0 of 0:10.0 sound, 0 x real time";
    EXPECT_EQ(shown, "\r" + text + "\r" + std::string(text.size(), ' ') + "\r");
}

TEST(ProgressLine, AShorterLineBlanksTheRestOfTheLongerOne) {
    cli_statusline l;
    l.tty = true;
    testing::internal::CaptureStderr();
    l.draw("abcdef", 0);
    l.draw("xy", 1);
    l.clear();
    l.clear();  // once only
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "\rabcdef\rxy    \rxy\r  \r");
}

TEST(ProgressLine, PlayAndRenderOnATerminalAndThroughAPipe) {
    if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no `script` (util-linux) here";
    // play on SDL's silent output: the updating line, then the summary on a
    // line of its own.
    std::string t = on_terminal("SDL_AUDIODRIVER=dummy", "play --algorithm 0 --seconds 1.5");
    EXPECT_NE(t.find("\rplaying 0:00.0, underruns 0"), std::string::npos) << t;
    EXPECT_NE(t.find("\rplaying 0:01."), std::string::npos) << t;
    EXPECT_NE(t.find("\rplayed 1."), std::string::npos) << t;
    // Through a pipe: the summary alone.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const program_result piped = run_program("play --algorithm 0 --seconds 1", "2>&1");
    unsetenv("SDL_AUDIODRIVER");
    EXPECT_EQ(piped.status, 0) << piped.out;
    EXPECT_EQ(piped.out.find("playing "), std::string::npos) << piped.out;
    EXPECT_EQ(piped.out.find('\r'), std::string::npos) << piped.out;

    // A render that ends within a second shows no progress.
    t = on_terminal("", "render --algorithm 0 --seconds 10 -o /dev/null");
    EXPECT_EQ(t.find("render: "), std::string::npos) << t;
    EXPECT_NE(t.find("/dev/null: "), std::string::npos) << t;
}
