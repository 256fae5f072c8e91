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

const char* const usage_text =
    "usage: tessellon [--no-intro] [FILE.rov | --preset NAME]\n"
    "                                 the window program (needs an X display)\n"
    "       tessellon render ...      compute a setting's sound into a WAV file\n"
    "       tessellon play ...        play a setting on the output device\n"
    "       tessellon devices         list the output and input devices\n"
    "       tessellon sample expand|compress|optimize ... IN.wav OUT.wav\n"
    "                                 convert a sample file\n"
    "       tessellon sample record --seconds S ... OUT.wav\n"
    "                                 record a sample from the input device\n"
    "       tessellon COMMAND --help\n"
    "       tessellon --help          this text\n"
    "       tessellon --version       print the version\n";

// A usage error: the message and the usage on stderr, status 2.
int usage(const std::string& err) {
    std::fprintf(stderr, "tessellon: %s\n%s", err.c_str(), usage_text);
    return 2;
}

bool is_help(const std::string& a) { return a == "--help" || a == "-h"; }

// The window program's arguments: --no-intro and at most one setting file.
int window_program(const std::vector<std::string>& args) {
    std::string setting, preset;
    bool intro = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (is_help(a)) {
            std::printf("%s", usage_text);
            return 0;
        }
        if (a == "--no-intro") {
            intro = false;
        } else if (a == "--preset") {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return usage("--preset needs a preset name (tessellon render --list-presets lists them)");
            preset = args[++i];
        } else if (a.empty() || a[0] == '-') {
            return usage("unknown option '" + a + "' (the window program takes --no-intro, --preset NAME and a setting file)");
        } else if (!setting.empty()) {
            return usage("one setting file only ('" + setting + "' and '" + a + "')");
        } else {
            setting = a;
        }
    }
    if (!setting.empty() && !preset.empty()) return usage("give either a setting file or --preset NAME, not both");
    // A preset asked for is played at once, without the introduction question.
    return tess_window_run(setting, intro && preset.empty(), preset);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args.front() == "--no-intro" || args.front() == "--preset" || is_setting_file(args.front()))
        return window_program(args);
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
    if (is_help(cmd) || cmd == "help") {
        std::printf("%s", usage_text);
        return 0;
    }
    return usage("unknown command '" + cmd + "'");
}
