#include "files/outfile.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

outfile::~outfile() { outfile_discard(*this); }

bool outfile_open(outfile& o, const std::string& path) {
    outfile_discard(o);
    o.path = path;
    o.failed = false;
    o.direct = false;
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return false;
        }
        o.fp = std::fopen(path.c_str(), "wb");
        o.direct = o.fp != nullptr;
        return o.direct;
    }
    std::string tmpl = path + ".tmp.XXXXXX";
    const int fd = mkstemp(tmpl.data());
    if (fd < 0) return false;
    // mkstemp creates the file private; give it the mode a new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
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

bool outfile_write(outfile& o, const void* data, std::size_t n) {
    if (!o.fp || o.failed) return false;
    if (std::fwrite(data, 1, n, o.fp) != n) o.failed = true;
    return !o.failed;
}

bool outfile_pwrite(outfile& o, long offset, const void* data, std::size_t n) {
    if (!o.fp || o.failed) return false;
    const long end = std::ftell(o.fp);
    if (std::fseek(o.fp, offset, SEEK_SET) != 0 || std::fwrite(data, 1, n, o.fp) != n ||
        std::fseek(o.fp, end, SEEK_SET) != 0)
        o.failed = true;
    return !o.failed;
}

bool outfile_commit(outfile& o) {
    if (!o.fp) return false;
    if (o.direct) {
        bool ok = !o.failed && std::fflush(o.fp) == 0;
        if (std::fclose(o.fp) != 0) ok = false;
        o.fp = nullptr;
        if (!ok && errno == 0) errno = EIO;
        return ok;
    }
    bool ok = !o.failed && std::fflush(o.fp) == 0 && fsync(fileno(o.fp)) == 0;
    const int e = errno;
    if (std::fclose(o.fp) != 0) ok = false;
    o.fp = nullptr;
    if (ok && std::rename(o.tmppath.c_str(), o.path.c_str()) != 0) ok = false;
    if (!ok) {
        unlink(o.tmppath.c_str());
        errno = e ? e : EIO;
    }
    o.tmppath.clear();
    return ok;
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
