// The command line's side of the streaming cycle, shared by `play` and
// `render`: the notification queue, the gap timer and the dispatch loop. The
// cycle itself (audio/stream.h) is the same for both; only the device and
// the clock differ. `play` waits on the wall clock for the sound card;
// `render` runs on virtual time, so a gap timer runs out at once.
#pragma once

#include <semaphore.h>

#include "audio/evqueue.h"
#include "audio/stream.h"

struct cli_loop final : wv_notify, wv_timer {
    wv_evqueue q;
    sem_t sem;
    bool virtual_time = false;  // render: timers run out at once, nothing is waited for
    bool armed = false;
    double due = 0;             // monotonic seconds when the timer runs out

    cli_loop();
    ~cli_loop();
    cli_loop(const cli_loop&) = delete;
    cli_loop& operator=(const cli_loop&) = delete;
    void post(const wv_event& ev) override;
    void set(int ms) override;
    void kill() override { armed = false; }
};

// Monotonic seconds.
double cli_now();

// Waits until `until` (monotonic seconds), a post, or `*interrupted`.
void cli_wait(cli_loop& l, double until, const volatile int* interrupted);

// Dispatches one notification or a timer that has run out; false when there
// was nothing to dispatch. `longest` keeps the longest dispatch (a turn) in seconds.
bool cli_dispatch_one(cli_loop& l, wv_stream& s, double& longest);

// Empties the queue without dispatching (after the cycle is closed).
void cli_drain(cli_loop& l);
