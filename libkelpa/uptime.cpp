// The status line: time of day, time since boot, users and load averages.
#include "kelpa.h"
#include "uptime.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <utmpx.h>

namespace {

// Reads a small kernel file into buf; false when it cannot be read.
bool read_text(const char *path, char *buf, size_t size)
{
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ssize_t length = read(fd, buf, size - 1);
    close(fd);
    if (length < 0)
        return false;
    buf[length] = '\0';
    return true;
}

int logged_in_users()
{
    int users = 0;
    setutxent();
    while (struct utmpx *entry = getutxent())
        if (entry->ut_type == USER_PROCESS && entry->ut_user[0] != '\0')
            ++users;
    endutxent();
    return users;
}

} // namespace

bool parse_uptime(const char *text, double *seconds)
{
    char *end;
    *seconds = strtod(text, &end);
    return end != text && *seconds >= 0;
}

bool parse_loadavg(const char *text, double loads[3])
{
    for (int i = 0; i < 3; ++i) {
        char *end;
        loads[i] = strtod(text, &end);
        if (end == text)
            return false;
        text = end;
    }
    return true;
}

int format_uptime(char *buf, size_t size, int hour, int minute, int second, double up_seconds,
                  int users, const double loads[3])
{
    long long up_minutes = (long long)(up_seconds / 60);
    long long days = up_minutes / 1440;
    int hours = (int)(up_minutes / 60 % 24), minutes = (int)(up_minutes % 60);
    char days_text[32] = "", span[32];
    if (days > 0)
        snprintf(days_text, sizeof days_text, "%lld day%s, ", days, days == 1 ? "" : "s");
    if (hours > 0)
        snprintf(span, sizeof span, "%d:%02d", hours, minutes);
    else
        snprintf(span, sizeof span, "%d min", minutes);
    return snprintf(buf, size, " %02d:%02d:%02d up %s%s, %d user%s, load average: %.2f, %.2f, %.2f\n",
                    hour, minute, second, days_text, span, users, users == 1 ? "" : "s", loads[0],
                    loads[1], loads[2]);
}

void print_uptime(void)
{
    char text[256];
    double up_seconds = 0, loads[3] = {0, 0, 0};
    if (!read_text("/proc/uptime", text, sizeof text) || !parse_uptime(text, &up_seconds))
        perror("/proc/uptime");
    if (!read_text("/proc/loadavg", text, sizeof text) || !parse_loadavg(text, loads))
        perror("/proc/loadavg");
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    char line[256];
    format_uptime(line, sizeof line, local.tm_hour, local.tm_min, local.tm_sec, up_seconds,
                  logged_in_users(), loads);
    fputs(line, stdout);
}
