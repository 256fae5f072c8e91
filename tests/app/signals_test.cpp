// The command line's signal handling: the first signal is noted for a clean
// end, a second one ends the program at once.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "app/signals.h"

TEST(Signals, TheSecondSignalEndsTheProgramAtOnce) {
    for (int sig : {SIGINT, SIGTERM}) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            cli_catch_signals();
            raise(sig);
            if (cli_signal != sig) _exit(3);
            raise(sig == SIGINT ? SIGTERM : SIGINT);  // any second one
            _exit(4);                                 // not reached
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), sig == SIGINT ? SIGTERM : SIGINT);
    }
}
