#include <cstdio>

#include "app/hint.h"
#include "app/play.h"
#include "audio/sdlcap.h"
#include "audio/sdldev.h"

std::string wv_caps_text(const wv_caps& c) {
    static const char* const rows[4] = {"8 bit mono rates:", "8 bit stereo rates:", "16 bit mono rates:",
                                        "16 bit stereo rates:"};
    static const char* const rates[3] = {"11025 Hz", "22050 Hz", "44100 Hz"};
    std::string t = c.name.substr(0, 31) + "\n";
    for (int r = 0; r < 4; ++r) {
        char line[96];
        std::snprintf(line, sizeof line, "  %-21s", rows[r]);
        t += line;
        for (int k = 0; k < 3; ++k) {
            const bool has = (c.dwFormats & (1u << (4 * k + r))) != 0;
            t += "  ";
            t += has ? rates[k] : "        ";
        }
        while (!t.empty() && t.back() == ' ') t.pop_back();
        t += "\n";
    }
    if (c.dwSupport & wv_sup_sync) t += "  only synchronous output!\n";
    if (c.dwSupport & wv_sup_volume) t += "  volume can be controlled\n";
    return t;
}

namespace {

// The record's text headed by the device's whole name, as SDL gives it.
std::string named_caps_text(const wv_caps& c) {
    const std::string t = wv_caps_text(c);
    return c.name + t.substr(t.find('\n'));
}

}  // namespace

int cmd_devices(const std::vector<std::string>& args) {
    if (!args.empty()) {
        if (args[0] == "--help" || args[0] == "-h") {
            std::printf("usage: tessellon devices\n  lists the output devices and what they offer, then the input devices\n");
            return 0;
        }
        std::fprintf(stderr, "tessellon devices: unknown option '%s'\nusage: tessellon devices\n", args[0].c_str());
        return 2;
    }
    wv_sdldev dev;
    std::string err;
    if (!wv_sdl_init(dev, err)) {
        std::fprintf(stderr, "tessellon devices: %s\n", err.c_str());
        cli_print_audio_hint("tessellon devices", *dev.calls);
        return 1;
    }
    wv_caps c;
    if (!dev.caps(wv_mapper, c)) {
        std::fprintf(stderr, "tessellon devices: wave output device not available\n");
        cli_print_audio_hint("tessellon devices", *dev.calls);
        return 1;
    }
    std::printf("mapper: %s", named_caps_text(c).c_str());
    const int n = dev.count();
    for (int i = 0; i < n; ++i) {
        wv_caps d;
        if (!dev.caps(static_cast<unsigned>(i), d)) continue;
        std::printf("%d%s: %s", i, i > 3 ? " (not selectable)" : "", named_caps_text(d).c_str());
    }
    // The input devices that sample recording can use (sample record --device N).
    wv_sdlcap cap;
    cap.calls = dev.calls;
    if (wv_sdlcap_init(cap, err)) {
        const int m = cap.count();
        std::printf("input mapper: the default input\n");
        for (int i = 0; i < m; ++i) std::printf("input %d: %s\n", i, cap.name(i).c_str());
        wv_sdlcap_shutdown(cap);
    }
    return 0;
}
