// Signal names and numbers, shared by the library's converters and listings.
#ifndef KELPA_SIGNALS_H
#define KELPA_SIGNALS_H

constexpr int signal_name_size = 24;

// The name of signal number sig without its SIG prefix, written into buf (signal_name_size
// bytes) when it is a real-time name; nullptr when the number has no name (0, reserved, or
// out of range).
const char *signal_name(int sig, char *buf);

#endif
