// The input device on SDL2's capture devices (PulseAudio, PipeWire, ALSA;
// SDL converts to the rate asked for).
//
// Each opening opens an SDL capture stream, paused; start() lets it run.
// The audio callback only copies what it is handed into the prepared
// buffer, publishes how far it got and, once the buffer is full, posts the
// data notification; it neither allocates nor blocks. Closing goes through
// the bounded close of the output device (audio/sdldev.h), so a frozen sound
// server cannot hang the program.
#pragma once

#include <atomic>
#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/capture.h"
#include "audio/sdlcalls.h"

struct wv_sdlcap final : wv_capture {
    wv_sdlcap() = default;
    ~wv_sdlcap();
    wv_sdlcap(const wv_sdlcap&) = delete;
    wv_sdlcap& operator=(const wv_sdlcap&) = delete;

    int count() override;
    std::string name(int n) override;
    bool open(unsigned devno, const wv_format& fmt, wv_notify* sink, uint32_t& gen) override;
    bool prepare(uint32_t bytes) override;
    bool start() override;
    uint32_t take(uint8_t* dst, uint32_t from) override;
    void reset() override;
    void close() override;
    bool lost() override;

    // Shared with the audio callback.
    std::vector<uint8_t> buf;              // the prepared buffer (sized on the recording's thread)
    uint32_t size = 0;                     // its size in bytes
    std::atomic<uint32_t> filled{0};       // bytes recorded into it
    std::atomic<bool> running{false};      // the callback records
    std::atomic<wv_notify*> sink{nullptr};
    std::atomic<uint32_t> cbgen{0};        // generation the callback posts with
    bool posted = false;                   // callback only: the data notification went out

    // The recording's thread only.
    uint32_t sdl = 0;                      // SDL_AudioDeviceID, 0 when closed
    uint32_t gen = 0;
    bool inited = false;
    wv_sdlguard calls = std::make_shared<wv_sdlcalls>();  // shared with the output device of the same program
};

// Starts SDL's audio subsystem for the input device. False with a message
// (see wv_sdl_audio_up).
bool wv_sdlcap_init(wv_sdlcap& d, std::string& err, const volatile sig_atomic_t* stop = nullptr);
// Closes the stream and lets go of SDL's audio subsystem.
void wv_sdlcap_shutdown(wv_sdlcap& d);
// The callback's work: takes `len` recorded bytes.
void wv_sdlcap_fill(wv_sdlcap& d, const uint8_t* in, int len);
