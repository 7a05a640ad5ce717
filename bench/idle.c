/* Starts N idle processes (its own children, named "kelpa-idle") and keeps them until it is
 * told to end (SIGTERM or SIGINT), then ends and reaps them all, so that none lingers in the
 * process table of the next measurement. Prints "ready" and the ID of its first child when
 * all have started. */
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
    pid_t *children = calloc((size_t)count + 1, sizeof(pid_t));
    long started = 0;
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
        children[started++] = pid;
    }
    printf("ready %d\n", started > 0 ? (int)children[0] : 0);
    fflush(stdout);
    int sig;
    sigwait(&set, &sig);
    for (long i = 0; i < started; ++i)
        kill(children[i], SIGKILL);
    while (wait(NULL) > 0) {
    }
    return 0;
}
