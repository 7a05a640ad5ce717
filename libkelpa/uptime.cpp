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

// Seconds since boot; 0, with the reason on standard error, when the kernel does not tell.
double read_uptime()
{
    char text[256];
    double up_seconds = 0;
    if (!read_text("/proc/uptime", text, sizeof text) || !parse_uptime(text, &up_seconds)) {
        perror("/proc/uptime");
        up_seconds = 0;
    }
    return up_seconds;
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
        snprintf(span, sizeof span, "%2d:%02d", hours, minutes);
    else
        snprintf(span, sizeof span, "%d min", minutes);
    // Scripts cut this line at single blanks: the padded user count and the two blanks before
    // "load average" are part of its layout.
    return snprintf(buf, size, " %02d:%02d:%02d up %s%s, %2d user%s,  load average: %.2f, %.2f, %.2f\n",
                    hour, minute, second, days_text, span, users, users == 1 ? "" : "s", loads[0],
                    loads[1], loads[2]);
}

int format_uptime_words(char *buf, size_t size, double up_seconds)
{
    long long up_minutes = up_seconds > 0 ? (long long)(up_seconds / 60) : 0;
    const struct {
        long long count;
        const char *unit;
    } parts[] = {{up_minutes / 1440, "day"}, {up_minutes / 60 % 24, "hour"}, {up_minutes % 60, "minute"}};
    int length = snprintf(buf, size, "up");
    const char *separator = " ";
    for (const auto &part : parts) {
        if (part.count == 0)
            continue;
        length += snprintf(buf + length, size > (size_t)length ? size - (size_t)length : 0, "%s%lld %s%s",
                           separator, part.count, part.unit, part.count == 1 ? "" : "s");
        separator = ", ";
    }
    if (up_minutes == 0)
        length += snprintf(buf + length, size > (size_t)length ? size - (size_t)length : 0, " 0 minutes");
    return length;
}

int format_boot_time(char *buf, size_t size, double now, double up_seconds)
{
    // Truncation is the floor here: the boot is long after the epoch (and libm stays out).
    time_t boot = (time_t)(now - (up_seconds > 0 ? up_seconds : 0));
    struct tm local;
    if (localtime_r(&boot, &local) == nullptr)
        return snprintf(buf, size, "?");
    return (int)strftime(buf, size, "%Y-%m-%d %H:%M:%S", &local);
}

void print_uptime(void)
{
    double up_seconds = read_uptime(), loads[3] = {0, 0, 0};
    char text[256];
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

void print_uptime_words(void)
{
    char line[128];
    format_uptime_words(line, sizeof line, read_uptime());
    puts(line);
}

void print_boot_time(void)
{
    double up_seconds = read_uptime();
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    char line[64];
    format_boot_time(line, sizeof line, (double)now.tv_sec + now.tv_nsec / 1e9, up_seconds);
    puts(line);
}
