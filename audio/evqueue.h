// A bounded lock-free queue of device notifications (many producers, one
// consumer). Producers are the audio thread and the cycle's own thread; the
// consumer is the thread that runs the cycle. Pushing neither blocks nor
// allocates, so an audio callback may post into it.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "audio/device.h"

struct wv_evqueue {
    static constexpr std::size_t cap = 256;  // power of two
    struct cell {
        std::atomic<std::size_t> seq;
        wv_event ev;
    };
    std::array<cell, cap> cells;
    std::atomic<std::size_t> head{0};  // next cell to write
    std::size_t tail = 0;              // next cell to read (consumer only)
    std::atomic<uint32_t> dropped{0};  // pushes refused because the queue was full

    wv_evqueue();
};

// Appends an event; false (and counted in `dropped`) when the queue is full.
bool wv_evq_push(wv_evqueue& q, const wv_event& ev);
// Takes the oldest event; false when there is none.
bool wv_evq_pop(wv_evqueue& q, wv_event& ev);
