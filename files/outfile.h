// Writing a file so that a failure never leaves a partial file behind: the
// data goes to a temporary file beside the target, which is renamed over the
// target only when everything was written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct outfile {
    std::string path;     // the target
    std::string tmppath;  // the temporary file while open
    std::FILE* fp = nullptr;
    bool failed = false;
    int err = 0;          // errno of the first failure, reported by the commit
    bool direct = false;  // target is a device or pipe: written in place, never replaced

    ~outfile();  // an unfinished file is removed
};

// Opens the temporary file; false (with errno set) when it cannot be created.
// A target that exists and is not a plain regular file (/dev/stdout, a FIFO,
// a symbolic link, a file with other names) is written directly instead, so
// that it is never replaced by a new file.
bool outfile_open(outfile& o, const std::string& path);
// Appends bytes; a short write marks the file failed and keeps its errno.
bool outfile_write(outfile& o, const void* data, std::size_t n);
// Overwrites bytes at an offset (a header written last).
bool outfile_pwrite(outfile& o, long offset, const void* data, std::size_t n);
// Flushes, closes and renames onto the target; false and no file on failure,
// with errno the reason of the first step that failed (an earlier write's
// included).
bool outfile_commit(outfile& o);
// Leaves without a commit: closes and removes the temporary file (the
// destructor does the same).
void outfile_discard(outfile& o);
