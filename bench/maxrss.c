/* Runs a command and prints its peak resident memory in KiB. */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stdout); /* only the figure is wanted */
        freopen("/dev/null", "w", stderr);
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status;
    struct rusage usage;
    if (wait4(pid, &status, 0, &usage) < 0)
        return 2;
    printf("%ld\n", usage.ru_maxrss);
    return 0;
}
