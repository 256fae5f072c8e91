#include "files/setting_file.h"

#include <cerrno>
#include <cstdio>

#include "files/outfile.h"

fi_read fi_read_head(const std::string& path, uint8_t* buf, std::size_t cap, std::size_t& n) {
    n = 0;
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) return fi_read::not_opened;
    errno = 0;
    n = std::fread(buf, 1, cap, fp);
    const bool failed = std::ferror(fp) != 0;
    const int e = errno ? errno : EIO;
    std::fclose(fp);
    if (failed) {
        errno = e;  // a folder, or a device that failed
        return fi_read::not_opened;
    }
    return fi_read::ok;
}

void fi_setting_encode(const rov_setting& s, uint8_t out[rov_setting_bytes]) { rov_setting_write(s, out); }

bool fi_setting_decode(const uint8_t* p, std::size_t n, rov_setting& s) {
    if (n < rov_setting_bytes) return false;
    rov_setting_read(s, p);
    return true;
}

fi_read fi_setting_read(const std::string& path, rov_setting& s) {
    uint8_t bytes[rov_setting_bytes];
    std::size_t n = 0;
    const fi_read r = fi_read_head(path, bytes, sizeof bytes, n);
    if (r != fi_read::ok) return r;
    return fi_setting_decode(bytes, n, s) ? fi_read::ok : fi_read::too_short;
}

bool fi_write_whole(const std::string& path, const uint8_t* data, std::size_t n, int& err) {
    outfile o;
    err = 0;
    if (!outfile_open(o, path)) {
        err = errno ? errno : EIO;
        return false;
    }
    outfile_write(o, data, n);
    if (!outfile_commit(o)) {
        err = errno ? errno : EIO;
        return false;
    }
    return true;
}

bool fi_setting_write(const std::string& path, const rov_setting& s, int& err) {
    uint8_t bytes[rov_setting_bytes];
    fi_setting_encode(s, bytes);
    return fi_write_whole(path, bytes, sizeof bytes, err);
}
