/* A recording stand-in for kill, pidfd_open, pidfd_send_signal, setpriority and usleep,
 * preloaded into the programs under test. Each call is appended to the file named by REC_LOG;
 * a signal sent through a process descriptor is recorded as the kill of its process ID. A call
 * is carried out only when it targets the calling process itself or a process listed in
 * REC_ALLOW (the test's own children); every other call only pretends, and a descriptor for
 * any other process is a stand-in that reaches nothing. REC_ERRNO makes every call that is not aimed at
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

/* Stand-in descriptors and the process IDs they pretend to name. */
static struct {
    int fd;
    pid_t pid;
} stand_ins[256];

static void forget_stand_in(int fd)
{
    for (size_t i = 0; i < sizeof stand_ins / sizeof stand_ins[0]; ++i)
        if (stand_ins[i].fd == fd + 1) /* stored one up, so that zero means free */
            stand_ins[i].fd = 0;
}

int pidfd_open(pid_t pid, unsigned int flags)
{
    if (allowed(pid)) {
        int fd = (int)syscall(SYS_pidfd_open, pid, flags);
        if (fd >= 0)
            forget_stand_in(fd);
        return fd;
    }
    int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    forget_stand_in(fd);
    for (size_t i = 0; i < sizeof stand_ins / sizeof stand_ins[0]; ++i)
        if (stand_ins[i].fd == 0) {
            stand_ins[i].fd = fd + 1;
            stand_ins[i].pid = pid;
            return fd;
        }
    close(fd);
    errno = EMFILE;
    return -1;
}

/* The process a real descriptor names, as the kernel tells it; 0 when it does not. */
static pid_t pid_of_descriptor(int fd)
{
    char path[64], text[1024];
    snprintf(path, sizeof path, "/proc/self/fdinfo/%d", fd);
    int info = open(path, O_RDONLY | O_CLOEXEC);
    if (info < 0)
        return 0;
    ssize_t length = read(info, text, sizeof text - 1);
    close(info);
    text[length > 0 ? length : 0] = '\0';
    const char *line = strstr(text, "Pid:");
    return line != NULL ? (pid_t)atol(line + 4) : 0;
}

int pidfd_send_signal(int pidfd, int sig, siginfo_t *info, unsigned int flags)
{
    for (size_t i = 0; i < sizeof stand_ins / sizeof stand_ins[0]; ++i)
        if (stand_ins[i].fd == pidfd + 1) {
            record("kill %d %d\n", (int)stand_ins[i].pid, sig);
            return forced_failure();
        }
    pid_t pid = pid_of_descriptor(pidfd);
    record("kill %d %d\n", (int)pid, sig);
    if (forced_failure() != 0)
        return -1;
    return allowed(pid) ? (int)syscall(SYS_pidfd_send_signal, pidfd, sig, info, flags) : 0;
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
