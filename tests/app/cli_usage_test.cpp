// Every command's answer to asked-for help and to a bad command line: help on
// stdout with status 0, a usage error on stderr with status 2.
#include <gtest/gtest.h>

#include <string>

#include "app/run_program.h"
#include "support/scratch.h"

namespace {

// Runs the program without a display and with SDL's silent driver, so that
// a line that wrongly gets as far as a window or a device still ends; what it
// printed on stderr is kept apart.
struct split_result : program_result {
    std::string err;
};

split_result run_split(const test_scratch& tmp, const std::string& args) {
    const std::string err_file = tmp / "stderr";
    split_result r{run_program(args, "2>" + err_file + " </dev/null",
                               "cd " + tmp.dir.string() + " && env -u DISPLAY SDL_AUDIODRIVER=dummy "),
                   ""};
    r.err = test_slurp(err_file);
    return r;
}

}  // namespace

TEST(CommandLine, HelpGoesToStdoutAndUsageErrorsExitTwoOnStderr) {
    test_scratch tmp;
    for (const char* help : {"--help", "-h", "help", "--no-intro --help", "render --help", "render -h", "play --help",
                             "play -h", "devices --help", "sample --help", "sample expand --help",
                             "sample compress -h", "sample optimize --help", "sample record --help"}) {
        const split_result r = run_split(tmp, help);
        EXPECT_EQ(r.status, 0) << help;
        EXPECT_EQ(r.out.rfind("usage: tessellon", 0), 0u) << help << "\n" << r.out;
        EXPECT_EQ(r.err, "") << help;
    }
    test_put(tmp / "a.rov", "");
    for (const char* bad : {
             "--bogus", "frobnicate", "--no-intro --bogus", "--no-intro a.rov a.rov",
             "render --bogus", "render --seconds 0 -o x.wav", "render --seconds 1", "render --buffers 1 --seconds 1 -o x.wav",
             "render --change-scale --seconds 1 -o x.wav", "render --algorithm 22 --buffers 1 -o x.wav",
             "render --mute 5 --seconds 1 -o x.wav", "render --seconds 1 -o",
             "play --bogus", "play --change-scale --seconds 1", "play --out-rate 8000 --seconds 1",
             "play --device 9", "play --algorithm 22 --seconds 1", "play --gap",
             "devices --all",
             "sample", "sample frobnicate", "sample expand", "sample expand --buffer-kb 2 in.wav out.wav",
             "sample compress --bogus in.wav out.wav", "sample optimize in.wav",
             "sample record", "sample record --seconds 1", "sample record --seconds 1 --rate 8000 x.wav",
             "sample record --seconds 1 x.wav y.wav", "sample record --bogus --seconds 1 x.wav"}) {
        const split_result r = run_split(tmp, bad);
        EXPECT_EQ(r.status, 2) << bad << "\n" << r.err;
        EXPECT_NE(r.err, "") << bad;
        EXPECT_EQ(r.out, "") << bad;
    }
    EXPECT_EQ(tmp.names().size(), 2u);  // a.rov and stderr: nothing was written
}
