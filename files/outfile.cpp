#include "files/outfile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

outfile::~outfile() { outfile_discard(*this); }

namespace {

bool starts_with(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

}  // namespace

bool outfile_open(outfile& o, const std::string& path) {
    outfile_discard(o);
    o.path = path;
    o.failed = false;
    o.err = 0;
    o.direct = false;
    // The shell's rules for an existing target. A symbolic link is followed:
    // the file it points at is replaced and the link stays. A link into /dev
    // or /proc (/dev/stdout is one, whatever it was redirected to), a
    // device, a pipe, or a file with more than one name is written in place:
    // replacing it would put a new file where the device was, or part the
    // names. A file the user may not write is refused.
    struct stat lst;
    if (lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        char* real = realpath(path.c_str(), nullptr);
        const std::string target = real ? real : "";
        std::free(real);
        if (!target.empty() && !starts_with(path, "/dev/") && !starts_with(path, "/proc/") &&
            !starts_with(target, "/dev/") && !starts_with(target, "/proc/"))
            o.path = target;
        else
            o.direct = true;
    }
    struct stat st;
    const bool exists = stat(o.path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    if (exists && access(o.path.c_str(), W_OK) != 0) return false;  // errno: EACCES, EROFS
    if (o.direct || (exists && (!S_ISREG(st.st_mode) || st.st_nlink > 1))) {
        o.fp = std::fopen(o.path.c_str(), "wb");
        o.direct = o.fp != nullptr;
        return o.direct;
    }
    std::string tmpl = o.path + ".tmp.XXXXXX";
    const int fd = mkstemp(tmpl.data());
    if (fd < 0) return false;
    if (exists) {
        // The replacement keeps the file's mode and, where allowed, its owner.
        fchmod(fd, st.st_mode & 07777);
        if (fchown(fd, st.st_uid, st.st_gid) != 0) {
        }
    } else {
        // mkstemp creates the file private; give it the mode a new file gets.
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    o.fp = fdopen(fd, "wb");
    if (!o.fp) {
        const int e = errno;
        close(fd);
        unlink(tmpl.c_str());
        errno = e;
        return false;
    }
    o.tmppath = tmpl;
    return true;
}

namespace {
// Marks the file failed, keeping the reason of the first failure.
void fail(outfile& o) {
    if (!o.failed) o.err = errno ? errno : EIO;
    o.failed = true;
}
}  // namespace

bool outfile_write(outfile& o, const void* data, std::size_t n) {
    if (!o.fp || o.failed) return false;
    errno = 0;
    if (std::fwrite(data, 1, n, o.fp) != n) fail(o);
    return !o.failed;
}

bool outfile_pwrite(outfile& o, long offset, const void* data, std::size_t n) {
    if (!o.fp || o.failed) return false;
    errno = 0;
    const long end = std::ftell(o.fp);
    if (end < 0 || std::fseek(o.fp, offset, SEEK_SET) != 0 || std::fwrite(data, 1, n, o.fp) != n ||
        std::fseek(o.fp, end, SEEK_SET) != 0)
        fail(o);
    return !o.failed;
}

bool outfile_commit(outfile& o) {
    if (!o.fp) {
        errno = EBADF;
        return false;
    }
    // Each step runs only while all before it succeeded (closing always
    // runs); the first failure's errno is the one reported.
    errno = 0;
    if (!o.failed && std::fflush(o.fp) != 0) fail(o);
    if (!o.failed && !o.direct && fsync(fileno(o.fp)) != 0) fail(o);
    if (std::fclose(o.fp) != 0) fail(o);
    o.fp = nullptr;
    if (!o.direct) {
        if (!o.failed && std::rename(o.tmppath.c_str(), o.path.c_str()) != 0) fail(o);
        if (o.failed) unlink(o.tmppath.c_str());
        o.tmppath.clear();
    }
    if (o.failed) errno = o.err;
    return !o.failed;
}

void outfile_discard(outfile& o) {
    if (o.fp) {
        std::fclose(o.fp);
        o.fp = nullptr;
    }
    if (!o.tmppath.empty()) {
        unlink(o.tmppath.c_str());
        o.tmppath.clear();
    }
}
