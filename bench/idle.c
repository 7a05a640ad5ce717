/* Starts N idle processes (its own children, named "kelpa-idle") and keeps them until it is
 * told to end (SIGTERM or SIGINT), then ends them all. Prints "ready" when all have started. */
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    long count = argc > 1 ? atol(argv[1]) : 0;
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigprocmask(SIG_BLOCK, &set, NULL);
    setpgid(0, 0);
    for (long i = 0; i < count; ++i) {
        pid_t pid = fork();
        if (pid == 0) {
            prctl(PR_SET_NAME, "kelpa-idle");
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            for (;;)
                pause();
        }
        if (pid < 0) {
            perror("fork");
            break;
        }
    }
    printf("ready\n");
    fflush(stdout);
    int sig;
    sigwait(&set, &sig);
    signal(SIGTERM, SIG_IGN);
    kill(0, SIGKILL);
    return 0;
}
