// play and devices without a sound server: the old message, then the audio
// systems SDL tried and what to do.
#include <gtest/gtest.h>

#include "app/run_program.h"

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The program run with `env` (NAME=VALUE ...) in its environment; stdout and
// stderr together.
program_result run_with_env(const std::string& env, const std::string& args) {
    program_result r;
    std::FILE* p = popen(("env " + env + " " + TESS_PROGRAM + " " + args + " 2>&1 </dev/null").c_str(), "r");
    if (!p) return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) r.out += buf;
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

}  // namespace

TEST(AudioHint, PlayAndDevicesNameTheSystemsTriedAndWhatToDo) {
    // PulseAudio alone, pointed at a server that is not there.
    const std::string env = "SDL_AUDIODRIVER=pulseaudio PULSE_SERVER=unix:/nonexistent/pulse/native";
    for (const std::string cmd : {"devices", "play --algorithm 0 --seconds 1"}) {
        const program_result r = run_with_env(env, cmd);
        EXPECT_EQ(r.status, 1) << r.out;
        const std::string who = "tessellon " + cmd.substr(0, cmd.find(' ')) + ": ";
        EXPECT_TRUE(has(r.out, who + "no audio output: ")) << r.out;
        EXPECT_TRUE(has(r.out, who + "SDL tried the audio system pulseaudio; it could not start\n")) << r.out;
        EXPECT_TRUE(has(r.out, who + "start PulseAudio or PipeWire")) << r.out;
        EXPECT_TRUE(has(r.out, "choose another audio system with SDL_AUDIODRIVER (SDL has ")) << r.out;
    }
}

TEST(AudioHint, AnUnknownSystemIsNamedAsSuch) {
    const program_result r = run_with_env("SDL_AUDIODRIVER=no-such-driver", "devices");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.out, "tessellon devices: SDL_AUDIODRIVER=no-such-driver names no audio system that SDL has"))
        << r.out;
    EXPECT_TRUE(has(r.out, "tessellon devices: unset SDL_AUDIODRIVER, or set it to one of those")) << r.out;
}
