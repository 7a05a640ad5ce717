// The kernel's table of terminal drivers (/proc/tty/drivers), parsed into fixed storage.
#ifndef KELPA_TTY_DRIVERS_H
#define KELPA_TTY_DRIVERS_H

struct TtyDriver {
    char path[64];         // device path or path prefix, such as "/dev/ttyS"
    unsigned major;
    unsigned minor_first;
    unsigned minor_last;
};

// Parses the text of the drivers table into at most max entries and returns their number.
// Lines that do not have the expected shape are skipped.
int parse_tty_drivers(const char *text, TtyDriver *out, int max);

// Candidate names (without "/dev/") for minor of driver d, in the order to try them; writes
// the n-th (from 0) into buf of size and returns false when there are no more.
bool tty_driver_candidate(const TtyDriver &d, unsigned minor, int n, char *buf, unsigned size);

#endif
