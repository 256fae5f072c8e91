// SIGINT, SIGTERM and SIGHUP for the commands without a window: caught from
// the program's first instruction on, so that `render` and `play` can end
// cleanly at any moment. The handler only notes the signal and wakes the
// loop waiting for the cycle. A second signal ends the program at once, by
// the signal's default action, wherever it is (a load stuck in a library).
#pragma once

#include <semaphore.h>
#include <signal.h>

#include <string>

// The signal caught, 0 while none.
extern volatile sig_atomic_t cli_signal;

// Installs the handlers.
void cli_catch_signals();

// The semaphore the handler posts (the cycle loop's), nullptr for none.
void cli_wake_on_signal(sem_t* s);

// "SIGINT", "SIGTERM", "SIGHUP" or "signal N".
std::string cli_signal_name(int sig);
