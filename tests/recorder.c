/* A recording stand-in for kill, setpriority and usleep, preloaded into the programs under
 * test. Each call is appended to the file named by REC_LOG. A call is carried out only when
 * it targets the calling process itself or a process listed in REC_ALLOW (the test's own
 * children); every other call only pretends. REC_ERRNO makes every call that is not aimed at
 * the caller fail with that error code instead. usleep never sleeps. REC_OPENDIR_ERRNO makes
 * opening a directory fail with that error code. */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

__attribute__((format(printf, 1, 2))) static void record(const char *format, ...)
{
    const char *path = getenv("REC_LOG");
    if (path == NULL)
        return;
    char line[128];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(line, sizeof line, format, args);
    va_end(args);
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    if (write(fd, line, (size_t)length) < 0) {
    }
    close(fd);
}

static int allowed(long pid)
{
    if (pid == getpid())
        return 1;
    const char *list = getenv("REC_ALLOW");
    if (list == NULL || pid <= 0)
        return 0;
    while (*list != '\0') {
        char *end;
        long value = strtol(list, &end, 10);
        if (end == list)
            return 0;
        if (value == pid)
            return 1;
        list = *end == ',' ? end + 1 : end;
    }
    return 0;
}

/* 0 when the call should go on, else -1 with errno set. */
static int forced_failure(void)
{
    const char *code = getenv("REC_ERRNO");
    if (code == NULL || *code == '\0')
        return 0;
    errno = atoi(code);
    return -1;
}

int kill(pid_t pid, int sig)
{
    record("kill %d %d\n", (int)pid, sig);
    if (pid == getpid())
        return (int)syscall(SYS_kill, pid, sig);
    if (forced_failure() != 0)
        return -1;
    return allowed(pid) ? (int)syscall(SYS_kill, pid, sig) : 0;
}

int setpriority(__priority_which_t which, id_t who, int prio)
{
    record("setpriority %d %d %d\n", (int)which, (int)who, prio);
    if (which == PRIO_PROCESS && (who == 0 || (long)who == getpid()))
        return (int)syscall(SYS_setpriority, which, who, prio);
    if (forced_failure() != 0)
        return -1;
    return which == PRIO_PROCESS && allowed((long)who) ? (int)syscall(SYS_setpriority, which, who, prio)
                                                       : 0;
}

/* REC_USLEEP_LIMIT=N ends the process with status 77 at the N-th sleep, so that a loop
 * without end can be watched for a while. */
int usleep(useconds_t usec)
{
    static long calls;
    record("usleep %u\n", (unsigned)usec);
    const char *limit = getenv("REC_USLEEP_LIMIT");
    if (limit != NULL && ++calls >= atol(limit))
        exit(77);
    return 0;
}

DIR *opendir(const char *name)
{
    const char *code = getenv("REC_OPENDIR_ERRNO");
    if (code != NULL && *code != '\0') {
        errno = atoi(code);
        return NULL;
    }
    DIR *(*real)(const char *) = (DIR * (*)(const char *)) dlsym(RTLD_NEXT, "opendir");
    return real(name);
}
