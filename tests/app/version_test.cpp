// `tessellon --version` as a user runs it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <regex>
#include <string>

namespace {

struct result {
    int status;
    std::string out;
};

// Runs the program with `args` and `redirect` (which stream to read).
result run(const std::string& args, const std::string& redirect) {
    const std::string cmd = std::string(TESS_PROGRAM) + " " + args + " " + redirect;
    result r{-1, {}};
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) r.out += buf;
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

}  // namespace

// The version goes alone to stdout, needs no display, and is the project's.
TEST(Version, PrintsTheProjectVersionOnStdoutAndExitsZero) {
    EXPECT_TRUE(std::regex_match(std::string(TESS_VERSION), std::regex(R"(\d+\.\d+\.\d+)"))) << TESS_VERSION;
    const result r = run("--version", "2>/dev/null");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("tessellon ") + TESS_VERSION + "\n");
    const result e = run("--version", "2>&1 >/dev/null");
    EXPECT_EQ(e.out, "");  // nothing on stderr
}

TEST(Version, UsageListsTheOption) {
    const result r = run("--help", "2>&1");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("tessellon --version"), std::string::npos) << r.out;
}
