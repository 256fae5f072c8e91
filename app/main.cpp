// Program entry: without a subcommand the window program; the subcommands
// work without a window.
#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "app/play.h"
#include "app/render.h"
#include "app/sample.h"
#include "app/signals.h"
#include "app/window.h"
#include "shell/fl_main.h"

namespace {

// A setting file to open in the window program: a name ending in .rov, or
// any file that exists.
bool is_setting_file(const std::string& a) {
    if (a.empty() || a[0] == '-') return false;
    if (a.size() > 4) {
        std::string ext = a.substr(a.size() - 4);
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".rov") return true;
    }
    struct stat sb {};
    return stat(a.c_str(), &sb) == 0 && S_ISREG(sb.st_mode);
}

int usage() {
    std::fprintf(stderr,
                 "usage: tessellon [--no-intro] [FILE.rov]\n"
                 "                                 the window program (needs an X display)\n"
                 "       tessellon render ...      compute a setting's sound into a WAV file\n"
                 "       tessellon play ...        play a setting on the output device\n"
                 "       tessellon devices         list the output and input devices\n"
                 "       tessellon sample expand|compress|optimize ... IN.wav OUT.wav\n"
                 "                                 convert a sample file\n"
                 "       tessellon sample record --seconds S ... OUT.wav\n"
                 "                                 record a sample from the input device\n"
                 "       tessellon COMMAND --help\n"
                 "       tessellon --version       print the version\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args.front() == "--no-intro" || is_setting_file(args.front())) {
        tess_window_connect();
        const int rc = sh_window_main(args);
        tess_window_disconnect();
        return rc;
    }
    const std::string cmd = args.front();
    args.erase(args.begin());
    // render and play end cleanly on a signal, however early it comes.
    if (cmd == "render" || cmd == "play" || cmd == "sample") cli_catch_signals();
    if (cmd == "render") return cmd_render(args);
    if (cmd == "play") return cmd_play(args);
    if (cmd == "devices") return cmd_devices(args);
    if (cmd == "sample") return cmd_sample(args);
    if (cmd == "--version") {
        std::printf("tessellon %s\n", TESS_VERSION);
        return 0;
    }
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        usage();
        return 0;
    }
    std::fprintf(stderr, "tessellon: unknown command '%s'\n", cmd.c_str());
    return usage();
}
