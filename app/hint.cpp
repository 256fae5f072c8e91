#include "app/hint.h"

#include <cstdio>

#include "audio/sdldev.h"

void cli_print_audio_hint(const char* who, const wv_sdlcalls& calls) {
    const wv_audio_hint h = wv_sdl_hint(calls);
    std::fprintf(stderr, "%s: %s\n%s: %s\n", who, h.tried.c_str(), who, h.advice.c_str());
}
