/* Starts N idle processes (its own children, named "kelpa-idle") and keeps them until it is
 * told to end (SIGTERM or SIGINT), then ends and reaps them all, so that none lingers in the
 * process table of the next measurement. Prints "ready" and the ID of its first child when
 * all have started. Usage: idle N [M T]: the first M of them run T threads each. */
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

static void *idle_thread(void *unused)
{
    (void)unused;
    for (;;)
        pause();
    return NULL;
}

int main(int argc, char **argv)
{
    long count = argc > 1 ? atol(argv[1]) : 0;
    long threaded = argc > 3 ? atol(argv[2]) : 0, threads = argc > 3 ? atol(argv[3]) : 1;
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
            for (long t = 1; i < threaded && t < threads; ++t) {
                pthread_t thread;
                pthread_attr_t attr;
                pthread_attr_init(&attr);
                pthread_attr_setstacksize(&attr, 64 * 1024);
                pthread_create(&thread, &attr, idle_thread, NULL);
            }
            for (;;)
                pause();
        }
        if (pid < 0) {
            perror("fork");
            break;
        }
        children[started++] = pid;
    }
    /* Each threaded child is ready once the kernel counts all its threads. */
    for (long i = 0; i < started && i < threaded; ++i) {
        char path[64], text[4096];
        snprintf(path, sizeof path, "/proc/%d/stat", (int)children[i]);
        for (;;) {
            FILE *stat = fopen(path, "r");
            size_t length = stat ? fread(text, 1, sizeof text - 1, stat) : 0;
            if (stat)
                fclose(stat);
            text[length] = '\0';
            long found = 0;
            const char *p = strrchr(text, ')');
            for (int field = 3; p != NULL && field <= 20; ++field)
                p = strchr(p + 1, ' ');
            if (p != NULL)
                found = atol(p + 1);
            if (found >= threads)
                break;
            usleep(1000);
        }
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
