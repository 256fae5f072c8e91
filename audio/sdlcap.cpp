#include "audio/sdlcap.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "audio/sdldev.h"
#include "audio/sdlopen.h"

namespace {

void SDLCALL callback(void* user, Uint8* in, int len) { wv_sdlcap_fill(*static_cast<wv_sdlcap*>(user), in, len); }

// Closes the SDL stream, waiting for SDL at most wv_sdl_close_ms.
void close_stream(wv_sdlcap& d) {
    if (d.sdl == 0) return;
    const SDL_AudioDeviceID id = d.sdl;
    d.sdl = 0;
    wv_sdl_bounded(d.calls, wv_sdl_close_ms, [id] { SDL_CloseAudioDevice(id); });
}

}  // namespace

void wv_sdlcap_fill(wv_sdlcap& d, const uint8_t* in, int len) {
    if (!d.running.load(std::memory_order_acquire) || len <= 0) return;
    const uint32_t f = d.filled.load(std::memory_order_relaxed);
    const uint32_t n = std::min(static_cast<uint32_t>(len), d.size - f);
    if (n) std::memcpy(d.buf.data() + f, in, n);
    d.filled.store(f + n, std::memory_order_release);
    if (f + n == d.size && !d.posted) {
        d.posted = true;
        d.running.store(false, std::memory_order_release);
        if (wv_notify* s = d.sink.load(std::memory_order_acquire))
            s->post({wv_evkind::indata, d.cbgen.load(std::memory_order_relaxed)});
    }
}

bool wv_sdlcap_init(wv_sdlcap& d, std::string& err, const volatile sig_atomic_t* stop) {
    return wv_sdl_audio_up(d.calls, d.inited, "input", err, stop);
}

void wv_sdlcap_shutdown(wv_sdlcap& d) {
    if (!d.inited) return;
    d.running.store(false);
    close_stream(d);
    if (!wv_sdl_stuck(*d.calls)) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    d.inited = false;
}

wv_sdlcap::~wv_sdlcap() { wv_sdlcap_shutdown(*this); }

int wv_sdlcap::count() { return inited && !wv_sdl_stuck(*calls) ? std::max(0, SDL_GetNumAudioDevices(1)) : 0; }

std::string wv_sdlcap::name(int n) {
    if (n < 0 || n >= count()) return "";
    const char* s = SDL_GetAudioDeviceName(n, 1);
    return s ? s : "";
}

bool wv_sdlcap::open(unsigned devno, const wv_format& f, wv_notify* s, uint32_t& g) {
    if (!inited || sdl != 0 || wv_sdl_stuck(*calls)) return false;
    const char* name = nullptr;
    SDL_AudioSpec want{};
    if (!wv_sdl_request(devno, 1, count(), f, callback, this, name, want)) return false;
    SDL_AudioSpec have{};
    // The stream opens paused: the callback stays away until start().
    running.store(false);
    const SDL_AudioDeviceID id = wv_sdl_open(calls, name, 1, &want, &have, 0);
    if (id == 0) return false;
    sdl = id;
    sink.store(s, std::memory_order_release);
    g = ++gen;
    cbgen.store(gen, std::memory_order_relaxed);
    size = 0;
    filled.store(0);
    posted = false;
    return true;
}

bool wv_sdlcap::prepare(uint32_t bytes) {
    if (sdl == 0 || bytes == 0) return false;
    // The stream is paused: the callback does not touch the buffer now.
    try {
        if (buf.size() < bytes) buf.resize(bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    size = bytes;
    filled.store(0);
    posted = false;
    return true;
}

bool wv_sdlcap::start() {
    if (sdl == 0 || size == 0) return false;
    running.store(true, std::memory_order_release);
    SDL_PauseAudioDevice(sdl, 0);
    return SDL_GetAudioDeviceStatus(sdl) == SDL_AUDIO_PLAYING;
}

uint32_t wv_sdlcap::take(uint8_t* dst, uint32_t from) {
    const uint32_t f = filled.load(std::memory_order_acquire);
    if (f > from) std::memcpy(dst + from, buf.data() + from, f - from);
    return f;
}

// The callback sees the flag at its next call. No lock is taken (a frozen
// sound server could hold it): take() reads only what the callback has
// published, and a callback still running writes only beyond that.
void wv_sdlcap::reset() { running.store(false, std::memory_order_release); }

void wv_sdlcap::close() {
    if (sdl == 0) return;
    reset();
    close_stream(*this);
    if (wv_notify* s = sink.load(std::memory_order_acquire)) s->post({wv_evkind::inclose, gen});
}

bool wv_sdlcap::lost() { return sdl != 0 && SDL_GetAudioDeviceStatus(sdl) == SDL_AUDIO_STOPPED; }
