// The command line's side of the options table: the manual page describes
// every option with a flag in the section of the commands that take it, with
// its range, its default and the names of its choices; the usage texts show
// the same; play and render start alike from the table's flags.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/cli.h"
#include "audio/options.h"
#include "audio/setup.h"
#include "files/setup_file.h"
#include "support/scratch.h"

namespace {

std::string manual() {
    std::ifstream f(std::string(TESS_BUILD_DIR) + "/tessellon.1");
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// The entry of `flag` in section `section`: from its .TP tag line to the
// next .TP or .SH, or "" when the section has none.
std::string entry(const std::string& page, const std::string& section, const std::string& flag) {
    const std::size_t sec = page.find(".SH " + section + "\n");
    if (sec == std::string::npos) return "";
    const std::size_t end = page.find("\n.SH ", sec + 1);
    std::string escaped;
    for (const char c : flag) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
    for (const char* tag : {"\n.B ", "\n.BI "}) {
        const std::size_t at = page.find(tag + escaped, sec);
        if (at == std::string::npos || at > end) continue;
        const std::size_t after = at + std::string(tag).size() + escaped.size();
        if (after < page.size() && page[after] != ' ' && page[after] != '\n') continue;
        const std::size_t next = std::min(page.find("\n.TP", after), page.find("\n.SH", after));
        return page.substr(at, next - at);
    }
    return "";
}

}  // namespace

TEST(ManualPage, ListsEveryOptionOfTheTableWithItsRangeDefaultAndChoices) {
    const std::string page = manual();
    ASSERT_FALSE(page.empty()) << "the configured manual page is missing";
    for (int i = 0; i < wv_optlist_n; ++i) {
        const wv_optdesc& d = *wv_optlist[i];
        if (!d.flag) continue;
        const std::string flag = std::string(d.flag).substr(0, std::string(d.flag).find(' '));
        SCOPED_TRACE(flag);
        const std::string e =
            entry(page, d.cli == wv_cli_play ? "OPTIONS OF PLAY" : "OPTIONS OF RENDER AND PLAY", flag);
        ASSERT_NE(e, "") << "no entry in its section";
        if (d.hi > d.lo && d.kind != wv_opt_toggle) {
            EXPECT_NE(e.find(std::to_string(d.lo) + " to " + std::to_string(d.hi)), std::string::npos) << e;
        }
        if (d.kind == wv_opt_number) {
            EXPECT_NE(e.find("(default " + std::to_string(d.def())), std::string::npos) << e;
        }
        for (int k = 0; k < d.nchoices; ++k) {
            if (d.choices[k].name) {
                EXPECT_NE(e.find(d.choices[k].name), std::string::npos) << e;
            }
        }
        // The usage line shows the flag with the range filled in.
        const std::string u = cli_usage_line(d);
        EXPECT_EQ(u.find("  " + flag), 0u) << u;
        EXPECT_EQ(u.find('{'), std::string::npos) << u;
    }
}

// An option the page does not describe gets its entry from the table at
// build time, at the end of its section; the rest of the page stays. The
// page must have a section for the rows' list.
TEST(ManualPage, AnOptionThePageLacksGetsAnEntryFromTheTable) {
    test_scratch tmp;
    const std::string page = test_slurp(std::string(TESS_BUILD_DIR) + "/tessellon.1.in");
    const std::size_t at = page.find("\n.TP\n.BI \\-\\-gap ");
    ASSERT_NE(at, std::string::npos);
    const std::size_t next = page.find("\n.TP", at + 1);
    std::string lacking = page;
    lacking.erase(at, next - at);
    test_put(tmp / "in", lacking);
    ASSERT_EQ(std::system((std::string(TESS_BUILD_DIR) + "/tess_manpage " + tmp / "in" + " " + tmp / "out").c_str()), 0);
    const std::string out = test_slurp(tmp / "out");
    const std::string e = entry(out, "OPTIONS OF PLAY", "--gap");
    EXPECT_NE(e.find("1 to 64 of gap mode (default 1)."), std::string::npos) << e;
    // Without the new entry the page is the one built from the whole source.
    std::string without = out;
    const std::size_t added = without.find("\n.TP" + e);
    ASSERT_NE(added, std::string::npos);
    without.erase(added, 4 + e.size());
    std::string built = manual();
    const std::size_t own = built.find("\n.TP\n.BI \\-\\-gap ");
    ASSERT_NE(own, std::string::npos);
    built.erase(own, built.find("\n.TP", own + 1) - own);
    EXPECT_EQ(without, built);

    // A page without its list of rows is refused, and nothing is written.
    const std::size_t rows = page.find("\n.SH ALGORITHM ROWS\n");
    ASSERT_NE(rows, std::string::npos);
    test_put(tmp / "norows", page.substr(0, rows) + "\n");
    EXPECT_NE(std::system((std::string(TESS_BUILD_DIR) + "/tess_manpage " + tmp / "norows" + " " + tmp / "none" +
                           " 2>/dev/null").c_str()),
              0);
    EXPECT_FALSE(std::ifstream(tmp / "none").good());
}

// The shared start of play and render: the table's flags, a choice by its
// name, the setup file under the command line, and 8-bit mono from --mono8
// or from the setup file alike (play used to drop the setup file's).
TEST(CommandLineOptions, TableFlagsOverTheSetupFileAndMonoFromEither) {
    test_scratch tmp;
    wv_options saved;
    saved.fuzztyp = 3;
    saved.maxv = 20;
    saved.stereoset = false;
    int e = 0;
    ASSERT_TRUE(fi_setup_write(tmp / "mono.ini", wv_setup_from(saved, 0), e));
    const cli_probe stereo_device = [](unsigned, wv_caps& c) {
        c.dwFormats = wv_fmt_all;
        return true;
    };
    struct run {
        int rc;
        wv_options opt;
    };
    auto start = [&](std::vector<std::string> args) {
        cli_engine o;
        std::string err;
        for (std::size_t i = 0; i < args.size(); ++i) EXPECT_EQ(cli_engine_option(args, i, o, err), cli_taken) << err;
        auto p = std::make_unique<wv_program>();
        run r{cli_prepare(o, *p, err), {}};
        std::vector<std::string> warn;
        if (r.rc == 0) r.rc = cli_configure(o, *p, stereo_device, warn, err);
        r.opt = p->opt;
        return r;
    };
    const run plain = start({"--fuzz", "clip", "--fuzz-degree", "300", "--buffer-kb", "64"});
    ASSERT_EQ(plain.rc, 0);
    EXPECT_EQ(plain.opt.fuzztyp, 1);
    EXPECT_EQ(plain.opt.fuzzlev, 300);
    EXPECT_EQ(plain.opt.bufszorig, 65536);
    EXPECT_EQ(plain.opt.bufincr, wv_bufincr(65536));
    EXPECT_TRUE(plain.opt.stereoset);
    EXPECT_FALSE(start({"--mono8"}).opt.stereoset);

    const run setup = start({"--setup", tmp / "mono.ini", "--voices", "12"});
    ASSERT_EQ(setup.rc, 0);
    EXPECT_EQ(setup.opt.fuzztyp, 3);
    EXPECT_EQ(setup.opt.maxv, 12);
    EXPECT_FALSE(setup.opt.stereoset);

    cli_engine o;
    std::string err;
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--fuzz", "loud"}, {"--fuzz", "8"}, {"--voices"}, {"--buffer-kb", "513"}}) {
        std::size_t i = 0;
        EXPECT_EQ(cli_engine_option(bad, i, o, err), cli_bad) << bad[0];
        EXPECT_NE(err.find(bad[0]), std::string::npos) << err;
    }
    EXPECT_TRUE(o.given.empty());
}

// A synopsis gains the table's options it lacks, at the end of its first form.
TEST(CommandLineOptions, TheSynopsisNamesEveryOptionOfTheTable) {
    const std::string head = "usage: x [--gap N] [--device D]\n         [--latency MS] [--rotate]\n       x --list\n";
    const std::string s = cli_synopsis(head, {wv_cli_play});
    EXPECT_EQ(s.substr(0, head.find("       x --list")), head.substr(0, head.find("       x --list")));
    EXPECT_EQ(s.substr(s.size() - 16), "       x --list\n");
    const std::string added = s.substr(head.find("       x --list"), s.size() - head.size());
    EXPECT_EQ(added.rfind("         [", 0), 0u) << added;
    for (const char* f : {"[--time-to-play T]", "[--emergency]", "[--buff-beat]"})
        EXPECT_NE(added.find(f), std::string::npos) << f;
    for (const char* f : {"--gap", "--rotate", "--voices"}) EXPECT_EQ(added.find(f), std::string::npos) << f;
    EXPECT_EQ(cli_synopsis(s, {wv_cli_play}), s);
}
