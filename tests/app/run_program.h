// Runs the program as a user does, through the shell, and keeps what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

struct program_result {
    int status = -1;
    std::string out;  // what the redirect leaves on the pipe
};

// Runs the program with `args`; `redirect` says which streams reach the pipe
// (default: stdout and stderr together), `prefix` goes before the program
// (a change of folder, an environment).
inline program_result run_program(const std::string& args, const std::string& redirect = "2>&1",
                                  const std::string& prefix = "") {
    const std::string cmd = prefix + TESS_PROGRAM + " " + args + " " + redirect;
    program_result r;
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) r.out += buf;
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}
