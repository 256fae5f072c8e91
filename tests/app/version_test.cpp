// `tessellon --version` as a user runs it.
#include <gtest/gtest.h>

#include "app/run_program.h"

#include <sys/wait.h>

#include <cstdio>
#include <regex>
#include <string>

namespace {

using result = program_result;
program_result run(const std::string& args, const std::string& redirect = "2>&1") { return run_program(args, redirect); }

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
