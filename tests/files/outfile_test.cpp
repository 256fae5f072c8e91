// Output files: the target gets all the bytes or stays as it was, and no
// temporary file is ever left behind.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/outfile.h"
#include "support/scratch.h"

namespace fs = std::filesystem;

namespace {

using scratch = test_scratch;

std::string slurp(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void put(const std::string& p, const std::string& bytes) {
    std::ofstream f(p, std::ios::binary);
    f << bytes;
}

// Bytes of every value, more than one stdio buffer.
std::string pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + i / 256);
    return s;
}

bool write(outfile& o, const std::string& s) { return outfile_write(o, s.data(), s.size()); }

using size_limit = test_size_limit;

}  // namespace

TEST(OutFile, CommittedFileHoldsExactlyTheBytesWithANewFilesMode) {
    scratch tmp;
    const std::string target = tmp / "out.wav";
    const std::string body = pattern(100000);
    const mode_t old_mask = umask(022);
    {
        outfile o;
        ASSERT_TRUE(outfile_open(o, target)) << std::strerror(errno);
        ASSERT_TRUE(write(o, "HEAD"));
        ASSERT_TRUE(write(o, body));
        // A header written last goes over the first bytes, the end stays.
        ASSERT_TRUE(outfile_pwrite(o, 0, "head", 4));
        ASSERT_TRUE(write(o, "tail"));
        EXPECT_FALSE(fs::exists(target));  // nothing under the name before the commit
        ASSERT_TRUE(outfile_commit(o)) << std::strerror(errno);
    }
    umask(old_mask);
    EXPECT_EQ(slurp(target), "head" + body + "tail");
    EXPECT_EQ(tmp.names(), std::vector<std::string>{"out.wav"});
    // Not the private mode of a temporary file: what any new file gets.
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(OutFile, ExistingTargetIsReplacedOnlyOnCommit) {
    scratch tmp;
    const std::string target = tmp / "out.wav";
    put(target, "old content that is longer than the new one");
    outfile o;
    ASSERT_TRUE(outfile_open(o, target));
    ASSERT_TRUE(write(o, "new"));
    EXPECT_EQ(slurp(target), "old content that is longer than the new one");
    ASSERT_TRUE(outfile_commit(o));
    EXPECT_EQ(slurp(target), "new");
    EXPECT_EQ(tmp.names(), std::vector<std::string>{"out.wav"});
}

// Discarding, or dropping the outfile without a commit, leaves the folder as
// it was: no new file, the old one unchanged, no temporary file.
TEST(OutFile, UncommittedFileLeavesNothing) {
    scratch tmp;
    const std::string fresh = tmp / "fresh.wav", old = tmp / "old.wav";
    put(old, "keep me");
    {
        outfile a, b;
        ASSERT_TRUE(outfile_open(a, fresh));
        ASSERT_TRUE(outfile_open(b, old));
        ASSERT_TRUE(write(a, pattern(10000)));
        ASSERT_TRUE(write(b, pattern(10000)));
        EXPECT_EQ(tmp.names().size(), 3u);  // the two temporary files exist meanwhile
        outfile_discard(a);
        EXPECT_EQ(tmp.names().size(), 2u);
        // b goes out of scope unfinished
    }
    EXPECT_EQ(tmp.names(), std::vector<std::string>{"old.wav"});
    EXPECT_EQ(slurp(old), "keep me");
    // A discarded outfile can no longer be committed.
    outfile c;
    ASSERT_TRUE(outfile_open(c, fresh));
    outfile_discard(c);
    EXPECT_FALSE(outfile_commit(c));
    EXPECT_EQ(tmp.names(), std::vector<std::string>{"old.wav"});
}

// A write that fails (the disc full) reports failure at the latest on commit
// and leaves no file and no temporary file; an old target keeps its content.
TEST(OutFile, FailedWriteLeavesNoFileAndKeepsTheOldOne) {
    scratch tmp;
    const std::string fresh = tmp / "fresh.wav", old = tmp / "old.wav";
    const std::string old_content = pattern(50000);
    put(old, old_content);
    for (const std::string& target : {fresh, old}) {
        SCOPED_TRACE(target);
        bool wrote = true, committed = true;
        int err = 0;
        {
            size_limit limit(20000);
            outfile o;
            ASSERT_TRUE(outfile_open(o, target));
            for (int i = 0; i < 10; ++i) wrote = write(o, pattern(5000)) && wrote;
            committed = outfile_commit(o);
            err = errno;
        }
        EXPECT_FALSE(committed);
        EXPECT_EQ(err, EFBIG) << std::strerror(err);
        (void)wrote;  // buffered: the failure may show only on commit
        EXPECT_EQ(tmp.names(), std::vector<std::string>{"old.wav"});
        EXPECT_EQ(slurp(old), old_content);
    }
}

// A write error noticed while writing is the one reported by the commit,
// even when other calls set errno in between.
TEST(OutFile, CommitReportsTheErrorOfTheFailedWrite) {
    scratch tmp;
    const std::string target = tmp / "out.wav";
    outfile o;
    ASSERT_TRUE(outfile_open(o, target));
    {
        size_limit limit(1000);
        const std::string big = pattern(100000);  // more than the stdio buffer: written at once
        EXPECT_FALSE(write(o, big));
    }
    EXPECT_FALSE(write(o, "more"));  // a failed file stays failed
    errno = ENOENT;                  // something else failed meanwhile
    EXPECT_FALSE(outfile_commit(o));
    EXPECT_EQ(errno, EFBIG) << std::strerror(errno);
    EXPECT_TRUE(tmp.names().empty());
}

// Places where no file can be created: the message says why and nothing is
// left behind.
TEST(OutFile, TargetThatCannotBeCreatedFailsOnOpen) {
    scratch tmp;
    outfile o;
    errno = 0;
    EXPECT_FALSE(outfile_open(o, tmp / "no-such-folder/out.wav"));
    EXPECT_EQ(errno, ENOENT);

    fs::create_directory(tmp / "folder");
    errno = 0;
    EXPECT_FALSE(outfile_open(o, tmp / "folder"));
    EXPECT_EQ(errno, EISDIR);
    EXPECT_TRUE(fs::is_empty(tmp / "folder"));
    EXPECT_EQ(tmp.names(), std::vector<std::string>{"folder"});

    // A folder without write permission. Root writes anywhere in ordinary
    // folders, so /proc stands in for it there.
    std::string target;
    if (geteuid() != 0) {
        fs::create_directory(tmp / "locked");
        fs::permissions(tmp / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        target = tmp / "locked/out.wav";
    } else if (fs::exists("/proc/self")) {
        target = "/proc/tessellon-outfile-test.wav";
    }
    if (!target.empty()) {
        errno = 0;
        EXPECT_FALSE(outfile_open(o, target)) << target;
        EXPECT_NE(errno, 0);
        EXPECT_FALSE(outfile_commit(o));
        const fs::path t(target);
        for (const auto& e : fs::directory_iterator(t.parent_path()))
            EXPECT_NE(e.path().filename().string().rfind(t.filename().string(), 0), 0u) << e.path();
    }
    if (geteuid() != 0) fs::permissions(tmp / "locked", fs::perms::owner_all);
}

// The target turned into a folder between open and commit: the rename fails,
// its reason is reported, the folder stays and the temporary file goes.
TEST(OutFile, FailedRenameReportsItsReason) {
    scratch tmp;
    const std::string target = tmp / "out.wav";
    outfile o;
    ASSERT_TRUE(outfile_open(o, target));
    ASSERT_TRUE(write(o, "data"));
    fs::create_directory(target);
    put(target + "/inside", "x");
    errno = 0;
    EXPECT_FALSE(outfile_commit(o));
    EXPECT_EQ(errno, EISDIR) << std::strerror(errno);
    EXPECT_EQ(tmp.names(), std::vector<std::string>{"out.wav"});
    EXPECT_EQ(slurp(target + "/inside"), "x");
}

// A device is written in place, never replaced by a file: /dev/null takes
// everything; /dev/full fails on commit, and no temporary file appears
// beside either.
TEST(OutFile, DevicesAreWrittenInPlace) {
    if (!fs::is_character_file("/dev/null") || !fs::is_character_file("/dev/full"))
        GTEST_SKIP() << "no /dev/null or /dev/full here";
    auto dev_temps = [] {
        int n = 0;
        for (const auto& e : fs::directory_iterator("/dev"))
            if (e.path().filename().string().find(".tmp") != std::string::npos) ++n;
        return n;
    };
    const int temps_before = dev_temps();
    {
        outfile o;
        ASSERT_TRUE(outfile_open(o, "/dev/null"));
        EXPECT_TRUE(o.direct);
        EXPECT_TRUE(write(o, pattern(100000)));
        EXPECT_TRUE(outfile_commit(o)) << std::strerror(errno);
    }
    {
        outfile o;
        ASSERT_TRUE(outfile_open(o, "/dev/full"));
        EXPECT_TRUE(o.direct);
        write(o, pattern(10));
        errno = 0;
        EXPECT_FALSE(outfile_commit(o));
        EXPECT_EQ(errno, ENOSPC) << std::strerror(errno);
    }
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_EQ(dev_temps(), temps_before);
}

// The shell's rules for an existing target: a symbolic link is followed and
// the file it points at replaced (the link stays a link); a file with a
// second name is written through (both names keep sharing the data); the
// replacement keeps the mode.
TEST(OutFile, LinksAreFollowedAndModesKept) {
    char tmpl[] = "/tmp/tess-links-XXXXXX";
    const fs::path dir = mkdtemp(tmpl);
    const std::string real = (dir / "real").string(), link = (dir / "link").string(), hard = (dir / "hard").string();
    std::ofstream(real) << "old contents that are longer";
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, link);
    {
        outfile o;
        ASSERT_TRUE(outfile_open(o, link));
        EXPECT_FALSE(o.direct);
        ASSERT_TRUE(write(o, "new"));
        ASSERT_TRUE(outfile_commit(o));
    }
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(slurp(real), "new");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_hard_link(real, hard);
    {
        outfile o;
        ASSERT_TRUE(outfile_open(o, hard));
        EXPECT_TRUE(o.direct);
        ASSERT_TRUE(write(o, "shared"));
        ASSERT_TRUE(outfile_commit(o));
    }
    EXPECT_EQ(slurp(real), "shared");
    EXPECT_EQ(fs::hard_link_count(real), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
    fs::remove_all(dir);
}

// A file its user may not write is refused, even where the folder would let
// a new file be put in its place; it stays as it was.
TEST(OutFile, ReadOnlyFileIsRefused) {
    char tmpl[] = "/tmp/tess-ro-XXXXXX";
    const fs::path dir = mkdtemp(tmpl);
    fs::permissions(dir, fs::perms::all);
    const std::string ro = (dir / "ro.wav").string();
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // As an ordinary user (root may write anything).
        if (geteuid() == 0 && setuid(65534) != 0) _exit(3);
        { std::ofstream(ro) << "keep"; }
        chmod(ro.c_str(), 0444);
        outfile o;
        errno = 0;
        const bool opened = outfile_open(o, ro);
        _exit(opened ? 1 : errno == EACCES ? 0 : 2);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    ASSERT_TRUE(WIFEXITED(st));
    EXPECT_EQ(WEXITSTATUS(st), 0);
    EXPECT_EQ(slurp(ro), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}
