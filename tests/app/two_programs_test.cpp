// Two renders in one process, each with a program state of its own: driven
// buffer by buffer in turns on one thread, and at once on two threads, each
// writes byte for byte the file that `tessellon render` writes alone.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/render.h"
#include "app/run_program.h"
#include "support/scratch.h"

namespace {

// Two settings that share nothing: other sets, rows, voices, output
// effects and formats.
const std::vector<std::string> first = {"--set", "4", "--algorithm", "0", "--blowup", "3",
                                        "--fuzz", "clip", "--fuzz-degree", "300", "--timbre"};
const std::vector<std::string> second = {"--set", "7", "--algorithm", "6", "--blowup", "5",
                                         "--voices", "5", "--fuzz", "chorus", "--mono8"};
constexpr int buffers = 12;

std::vector<std::string> with_output(std::vector<std::string> args, const std::string& out) {
    for (const char* a : {"--buffers", "12", "-o"}) args.push_back(a);
    args.push_back(out);
    return args;
}

// The file the program writes alone.
std::string alone(const test_scratch& tmp, const std::vector<std::string>& args, const std::string& name) {
    std::string line = "render";
    for (const std::string& a : with_output(args, tmp / name)) line += " " + a;
    const program_result r = run_program(line);
    EXPECT_EQ(r.status, 0) << r.out;
    return test_slurp(tmp / name);
}

// Renders to the end, as cmd_render does.
std::string rendered(const std::vector<std::string>& args, const std::string& out) {
    render_job j;
    EXPECT_EQ(render_begin(j, with_output(args, out)), -1);
    while (render_next(j)) {
    }
    EXPECT_EQ(render_end(j), 0);
    return test_slurp(out);
}

}  // namespace

TEST(TwoPrograms, EachRendersAsTheProgramDoesAlone) {
    test_scratch tmp;
    const std::string a = alone(tmp, first, "a.wav"), b = alone(tmp, second, "b.wav");
    ASSERT_GT(a.size(), 44u + buffers * 1000);
    ASSERT_GT(b.size(), 44u + buffers * 1000);
    ASSERT_NE(a.size(), b.size());  // 16-bit stereo and 8-bit mono

    // In turns, buffer by buffer, on one thread.
    {
        render_job x, y;
        ASSERT_EQ(render_begin(x, with_output(first, tmp / "x.wav")), -1);
        ASSERT_EQ(render_begin(y, with_output(second, tmp / "y.wav")), -1);
        int turns = 0;
        for (bool more_x = true, more_y = true; more_x || more_y; ++turns) {
            if (more_x) more_x = render_next(x);
            if (more_y) more_y = render_next(y);
        }
        EXPECT_GE(turns, buffers);
        EXPECT_EQ(render_end(x), 0);
        EXPECT_EQ(render_end(y), 0);
        EXPECT_TRUE(test_slurp(tmp / "x.wav") == a) << "first, in turns";
        EXPECT_TRUE(test_slurp(tmp / "y.wav") == b) << "second, in turns";
    }
    // At once, on two threads.
    {
        std::string x, y;
        std::thread t([&] { x = rendered(first, tmp / "tx.wav"); });
        std::thread u([&] { y = rendered(second, tmp / "ty.wav"); });
        t.join();
        u.join();
        EXPECT_TRUE(x == a) << "first, threaded";
        EXPECT_TRUE(y == b) << "second, threaded";
    }
}
