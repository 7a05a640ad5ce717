// The pieces of the status line: the kernel's uptime and load texts, and the line itself.
#ifndef KELPA_UPTIME_H
#define KELPA_UPTIME_H

#include <stddef.h>

// Seconds since boot from the text of /proc/uptime; false when it holds no number.
bool parse_uptime(const char *text, double *seconds);

// The three load averages from the text of /proc/loadavg; false unless all three are there.
bool parse_loadavg(const char *text, double loads[3]);

// Writes the status line, with its line end, into buf: the time of day, the time since boot,
// the users and the load averages. Returns the length it needed, as snprintf does.
int format_uptime(char *buf, size_t size, int hour, int minute, int second, double up_seconds,
                  int users, const double loads[3]);

// Writes the time since boot in words, without a line end: "up 3 days, 2 hours, 41 minutes",
// zero parts left out, "up 0 minutes" in the first minute. Returns the length it needed.
int format_uptime_words(char *buf, size_t size, double up_seconds);

// Writes the local time up_seconds before now (seconds since the epoch), to the second, as
// "2026-12-08 11:22:44". Returns its length.
int format_boot_time(char *buf, size_t size, double now, double up_seconds);

#endif
