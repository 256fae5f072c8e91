// What the SDL output and input devices ask SDL for when they open a stream.
#pragma once

#include <SDL2/SDL.h>

#include "audio/device.h"
#include "audio/sdlcalls.h"

// The request for device `devno` of `count` numbered ones (wv_mapper: SDL's
// default, name nullptr) of playback (iscapture 0) or capture: its name and
// the wanted stream in format f, in chunks of wv_sdl_chunk frames, with
// callback cb and its userdata. False when the numbered device does not exist.
bool wv_sdl_request(unsigned devno, int iscapture, int count, const wv_format& f, SDL_AudioCallback cb, void* user,
                    const char*& name, SDL_AudioSpec& want);
// SDL_OpenAudioDevice, waiting at most wv_sdl_start_ms for the sound server:
// when it does not answer, the opening is left to a helper thread (see
// wv_sdl_bounded with `calls`) and 0 is returned.
SDL_AudioDeviceID wv_sdl_open(const wv_sdlguard& calls, const char* name, int iscapture, const SDL_AudioSpec* want,
                              SDL_AudioSpec* have, int allowed_changes);
