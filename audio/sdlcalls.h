// The SDL calls that run with a time limit (wv_sdl_bounded, audio/sdldev.h):
// which of them were given up and still run on their helper threads, and
// whether the sound server once failed to answer. SDL's audio subsystem is
// one per process, so the devices of one program share one record (the
// owner of the devices hands the output device's record to the input
// device); a call left running keeps the record alive.
#pragma once

#include <atomic>
#include <memory>

struct wv_sdlcalls {
    std::atomic<int> stuck{0};             // calls given up that have not returned yet
    std::atomic<bool> no_answer{false};    // a call was given up at its time limit
    std::atomic<bool> exit_hooked{false};  // exit() looks at `stuck` first (see wv_sdl_bounded)
};
using wv_sdlguard = std::shared_ptr<wv_sdlcalls>;

// True while a call that did not return in time is still running.
inline bool wv_sdl_stuck(const wv_sdlcalls& c) { return c.stuck.load() != 0; }
// True once a call has been given up because the sound server did not answer.
inline bool wv_sdl_no_answer(const wv_sdlcalls& c) { return c.no_answer.load(); }
