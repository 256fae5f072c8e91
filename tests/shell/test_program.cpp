#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {
// Runs a shell command; returns its output and exit status.
int run(const std::string& cmd, std::string& out) {
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    const int st = pclose(p);
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}
}  // namespace

TEST(WindowProgram, WithoutDisplaySaysSoAndPointsToTheCommandLine) {
    std::string out;
    const int rc = run("env -u DISPLAY " TESS_PROGRAM " 2>&1", out);
    EXPECT_EQ(rc, 1);
    EXPECT_NE(out.find("display"), std::string::npos) << out;
    EXPECT_NE(out.find("tessellon render"), std::string::npos) << out;
    EXPECT_NE(out.find("tessellon play"), std::string::npos) << out;
    out.clear();
    EXPECT_EQ(run("env -u DISPLAY " TESS_PROGRAM " --no-intro 2>&1", out), 1);
}

TEST(WindowProgram, RejectsUnknownOptions) {
    std::string out;
    EXPECT_EQ(run("env -u DISPLAY " TESS_PROGRAM " --bogus 2>&1", out), 2);
}
