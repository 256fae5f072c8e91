#include "app/signals.h"

#include <atomic>
#include <string>

volatile sig_atomic_t cli_signal = 0;

namespace {

std::atomic<sem_t*> wake{nullptr};

void on_signal(int sig) {
    if (cli_signal) {
        // A second signal: the user does not wait for the clean end. The
        // default action ends the program as soon as this handler returns
        // (the signal is blocked until then).
        signal(sig, SIG_DFL);
        raise(sig);
        return;
    }
    cli_signal = sig;
    if (sem_t* s = wake.load()) sem_post(s);
}

}  // namespace

void cli_catch_signals() {
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
}

void cli_wake_on_signal(sem_t* s) { wake.store(s); }

std::string cli_signal_name(int sig) {
    switch (sig) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "signal " + std::to_string(sig);
    }
}
