#include "app/cycle.h"

#include <time.h>

#include <algorithm>
#include <cerrno>

cli_loop::cli_loop() { sem_init(&sem, 0, 0); }
cli_loop::~cli_loop() { sem_destroy(&sem); }

void cli_loop::post(const wv_event& ev) {
    wv_evq_push(q, ev);
    sem_post(&sem);
}

void cli_loop::set(int ms) {
    armed = true;
    due = cli_now() + ms / 1000.0;
}

double cli_now() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void cli_wait(cli_loop& l, double until, const volatile int* interrupted) {
    if (l.virtual_time) return;
    const double now = cli_now();
    if (until <= now) return;
    // A far deadline is capped: a day of waiting is woken by a post long before.
    until = std::min(until, now + 86400.0);
    timespec ts;
    ts.tv_sec = static_cast<time_t>(until);
    ts.tv_nsec = static_cast<long>((until - static_cast<double>(ts.tv_sec)) * 1e9);
    while (sem_clockwait(&l.sem, CLOCK_MONOTONIC, &ts) != 0 && errno == EINTR && !(interrupted && *interrupted)) {
    }
}

bool cli_dispatch_one(cli_loop& l, wv_stream& s, double& longest) {
    wv_event ev;
    bool have = wv_evq_pop(l.q, ev);
    if (!have && l.armed && (l.virtual_time || cli_now() >= l.due)) {
        l.armed = false;
        ev = {wv_evkind::timer, 0};
        have = true;
    }
    if (!have) return false;
    const double t0 = cli_now();
    wv_dispatch(s, ev);
    longest = std::max(longest, cli_now() - t0);
    return true;
}

void cli_drain(cli_loop& l) {
    wv_event ev;
    while (wv_evq_pop(l.q, ev)) {
    }
}
