/* Reference for the status line: /proc/uptime, /proc/loadavg, the login records, one line. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>
#include <utmpx.h>

static void read_text(const char *path, char *buf, size_t size)
{
    int fd = open(path, O_RDONLY);
    ssize_t n = fd < 0 ? -1 : read(fd, buf, size - 1);
    if (fd >= 0)
        close(fd);
    buf[n > 0 ? n : 0] = '\0';
}

int main(void)
{
    char up[128], load[128];
    read_text("/proc/uptime", up, sizeof up);
    read_text("/proc/loadavg", load, sizeof load);
    int users = 0;
    setutxent();
    struct utmpx *entry;
    while ((entry = getutxent()) != NULL)
        users += entry->ut_type == USER_PROCESS;
    endutxent();
    time_t now = time(NULL);
    struct tm local;
    localtime_r(&now, &local);
    double a = 0, b = 0, c = 0;
    sscanf(load, "%lf %lf %lf", &a, &b, &c);
    long minutes = (long)(strtod(up, NULL) / 60);
    printf(" %02d:%02d:%02d up %ld min, %d users, load average: %.2f, %.2f, %.2f\n", local.tm_hour,
           local.tm_min, local.tm_sec, minutes, users, a, b, c);
    return 0;
}
