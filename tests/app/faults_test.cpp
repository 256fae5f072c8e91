// `render` and `play` under faults: signals at any moment, no litter, no
// spinning while waiting, one table of exit statuses, plain decimal numbers.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/run_program.h"
#include "engine/rov.h"
#include "files/setting_file.h"
#include "support/scratch.h"

namespace fs = std::filesystem;

namespace {

using scratch = test_scratch;

struct child {
    pid_t pid = -1;
    int status = -1;
    double cpu = 0;  // user + system seconds
};

// Starts the program with its output into `log`.
child spawn(const std::vector<std::string>& args, const std::string& log, const char* sdl_driver = nullptr) {
    child c;
    c.pid = fork();
    if (c.pid == 0) {
        if (sdl_driver) setenv("SDL_AUDIODRIVER", sdl_driver, 1);
        freopen(log.c_str(), "w", stderr);
        freopen(log.c_str(), "a", stdout);
        std::vector<char*> argv{const_cast<char*>(TESS_PROGRAM)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(TESS_PROGRAM, argv.data());
        _exit(127);
    }
    return c;
}

void reap(child& c) {
    rusage ru{};
    int st = 0;
    wait4(c.pid, &st, 0, &ru);
    c.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    c.cpu = static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
            static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e-6;
}

std::string slurp(const std::string& p) {
    std::ifstream f(p);
    return {std::istreambuf_iterator<char>(f), {}};
}

}  // namespace

TEST(Faults, RenderStoppedBySignalLeavesNothingBehind) {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        for (int after_ms : {30, 400}) {
            scratch tmp;
            std::ofstream(tmp / "keep.txt") << "was here";
            const std::string log = tmp.dir.string() + "/../tess-render-" + std::to_string(getpid()) + ".log";
            child c = spawn({"render", "--seconds", "86400", "--buffer-kb", "512", "-o", tmp / "long.wav"}, log);
            std::this_thread::sleep_for(std::chrono::milliseconds(after_ms));
            kill(c.pid, sig);
            reap(c);
            const std::string out = slurp(log);
            fs::remove(log);
            // Before main() installs its handlers the default action ends it,
            // and there is nothing to clean yet; after, it ends cleanly with 1.
            if (after_ms >= 400) {
                EXPECT_EQ(c.status, 1) << sig << "\n" << out;
                EXPECT_NE(out.find("was not written"), std::string::npos) << out;
            }
            EXPECT_EQ(tmp.names(), std::vector<std::string>{"keep.txt"}) << sig << " after " << after_ms << " ms";
        }
    }
}

TEST(Faults, PlayWithoutAnEndSleepsWhileItWaits) {
    scratch tmp;
    const std::string log = tmp / "play.log";
    child c = spawn({"play", "--algorithm", "0"}, log, "dummy");
    std::this_thread::sleep_for(std::chrono::seconds(3));
    kill(c.pid, SIGINT);
    reap(c);
    const std::string out = slurp(log);
    if (out.find("not available") != std::string::npos) GTEST_SKIP() << "no SDL dummy audio here: " << out;
    EXPECT_EQ(c.status, 0) << out;
    EXPECT_NE(out.find("played "), std::string::npos) << out;
    // 3 s of play cost a few hundredths of a second (the sound itself is
    // computed hundreds of times faster than real time); a spinning wait
    // would cost 3 s. The sanitizer build is slower: a wide margin.
    EXPECT_LT(c.cpu, 0.6) << out;
    std::printf("[ measure ] play for 3 s without --seconds used %.3f s of CPU\n", c.cpu);
}

TEST(Faults, SignalWhileTheStreamSettlesEndsPlayAtOnce) {
    scratch tmp;
    const std::string log = tmp / "play.log";
    child c = spawn({"play", "--algorithm", "0", "--seconds", "60"}, log, "dummy");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const auto t0 = std::chrono::steady_clock::now();
    kill(c.pid, SIGHUP);
    reap(c);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const std::string out = slurp(log);
    EXPECT_EQ(c.status, 0) << out;
    EXPECT_LT(took, 2.0) << out;
}

TEST(Faults, NumbersArePlainDecimalAndStatusesFollowTheTable) {
    scratch tmp;
    const std::string o = " -o " + tmp / "x.wav";
    for (const char* bad : {"--seconds 0x10", "--seconds 1e1", "--seconds inf", "--seconds ' 5'", "--seconds +5",
                            "--buffers 0x10", "--buffers ' 3'", "--voices +8 --buffers 1", "--set -0 --buffers 1"}) {
        const auto r = run_program(std::string("render ") + bad + o);
        EXPECT_EQ(r.status, 2) << bad << "\n" << r.out;
    }
    EXPECT_EQ(run_program("render --seconds 0.5" + o).status, 0);
    // A setting file whose standard algorithm cannot play: the file's fault, 1.
    for (int16_t row : {30, -1}) {
        rov_setting s;
        rov_default_setting(s);
        s.rov_stdalg = row;
        int err = 0;
        ASSERT_TRUE(fi_setting_write(tmp / "bad.rov", s, err));
        const auto r = run_program("render --setting " + tmp / "bad.rov" + " --buffers 1" + o);
        EXPECT_EQ(r.status, 1) << row << "\n" << r.out;
    }
    // Asked for on the command line: usage, 2.
    EXPECT_EQ(run_program("render --algorithm 22 --buffers 1" + o).status, 2);
    const auto help = run_program("render --help");
    EXPECT_NE(help.out.find("Exit status: 0 done; 1 a file or sound-device problem"), std::string::npos) << help.out;
    EXPECT_NE(run_program("play --help").out.find("Exit status:"), std::string::npos);
}
