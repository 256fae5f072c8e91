// The file of remembered choices: where it lies, what a bad one gives, and
// that a save is whole or nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "files/prefs.h"
#include "support/scratch.h"

TEST(Prefs, PathFollowsXdgThenHome) {
    EXPECT_EQ(fi_prefs_path("/x/conf/", "/home/u"), "/x/conf/tessellon/tessellon.conf");
    EXPECT_EQ(fi_prefs_path(nullptr, "/home/u"), "/home/u/.config/tessellon/tessellon.conf");
    EXPECT_EQ(fi_prefs_path("relative", "/home/u"), "/home/u/.config/tessellon/tessellon.conf");
    EXPECT_EQ(fi_prefs_path("", nullptr), "");
    EXPECT_EQ(fi_prefs_path(nullptr, "not/absolute"), "");
}

TEST(Prefs, BadLinesAreReportedAndTheRestCounts) {
    fi_prefs p;
    std::vector<std::string> problems;
    fi_prefs_parse("# comment\n\n  device = 2 \r\nno equals here\nbad key=1\nintro=ask\nx=a\x01z\ndevice=1\n=5", p,
                   problems);
    ASSERT_EQ(p.items.size(), 2u);
    EXPECT_EQ(*p.find("device"), "1");  // the last line of a key counts, in the first's place
    EXPECT_EQ(p.items[0].first, "device");
    EXPECT_EQ(*p.find("intro"), "ask");
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0], "line 4: no '=' (a line is key=value)");
    EXPECT_NE(problems[1].find("line 5: 'bad key' is no key"), std::string::npos);
    EXPECT_NE(problems[2].find("line 7: the value of x holds a control character"), std::string::npos);
    EXPECT_NE(problems[3].find("line 9:"), std::string::npos);
}

TEST(Prefs, SaveAndLoadRoundTripAndBadFilesGiveNothing) {
    test_scratch dir;
    const std::string path = dir / "deep/er/tessellon.conf";
    fi_prefs p, q;
    std::vector<std::string> problems;
    fi_prefs_load(path, q, problems);  // none yet: no choices, no problem
    EXPECT_TRUE(q.items.empty());
    EXPECT_TRUE(problems.empty());

    p.set("intro", "skip");
    p.set("setup.voices", "12");
    int err = -1;
    ASSERT_TRUE(fi_prefs_save(path, p, err)) << err;
    struct stat sb {};
    ASSERT_EQ(stat((dir / "deep").c_str(), &sb), 0);
    EXPECT_EQ(sb.st_mode & 0777, 0700u);
    fi_prefs_load(path, q, problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(q.items, p.items);
    EXPECT_EQ(dir.names().size(), 1u);

    // Binary junk and an oversized file: a message naming the file, no items.
    test_put(path, std::string("intro=skip\n\0\xff", 13));
    fi_prefs_load(path, q, problems);
    EXPECT_TRUE(q.items.empty());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], path + ": not a text file; ignored");
    test_put(path, std::string(fi_prefs_max_bytes + 1, '#'));
    fi_prefs_load(path, q, problems);
    EXPECT_TRUE(q.items.empty());
    EXPECT_EQ(problems.size(), 2u);

    // Set aside before a new file is written: the old bytes stay as .bad.
    std::string aside;
    ASSERT_TRUE(fi_prefs_set_aside(path, aside, err));
    EXPECT_EQ(aside, path + ".bad");
    EXPECT_EQ(test_slurp(aside).size(), fi_prefs_max_bytes + 1);
    EXPECT_TRUE(fi_prefs_set_aside(path, aside, err));  // no file: nothing to keep

    // A folder in the way: the save fails with its reason, nothing written.
    test_put(dir / "file", "x");
    EXPECT_FALSE(fi_prefs_save(dir / "file/tessellon.conf", p, err));
    EXPECT_EQ(err, ENOTDIR);
}
