// The programs' usage texts, as users see them.
#ifndef KELPA_TESTS_TEXTS_H
#define KELPA_TESTS_TEXTS_H

inline constexpr char kill_usage[] =
    "Usage:\n"
    "  kill pid ...              Send SIGTERM to every process listed.\n"
    "  kill signal pid ...       Send a signal to every process listed.\n"
    "  kill -s signal pid ...    Send a signal to every process listed.\n"
    "  kill -l                   List all signal names.\n"
    "  kill -L                   List all signal names in a nice table.\n"
    "  kill -l signal            Convert between signal numbers and names.\n";

inline constexpr char tyvar_usage_head[] =
    "Usage:   tyvar [signal to send] [options] process selection criteria\n"
    "Example: tyvar -KILL -v pts/*\n"
    "\n"
    "The default signal is TERM. Use -l or -L to list available signals.\n"
    "Particularly useful signals include HUP, INT, KILL, STOP, CONT, and 0.\n"
    "Alternate signals may be specified in three ways: -SIGKILL -KILL -9\n";

inline constexpr char tezzo_usage_head[] =
    "Usage:   tezzo [new priority] [options] process selection criteria\n"
    "Example: tezzo netscape crack +7\n"
    "\n"
    "The default priority is +4. (tezzo +4 ...)\n"
    "Priority numbers range from +20 (slowest) to -20 (fastest).\n"
    "Negative priority numbers are restricted to administrative users.\n";

inline constexpr char selection_usage_tail[] =
    "\n"
    "General options:\n"
    "-f  fast mode            This is not currently useful.\n"
    "-i  interactive use      You will be asked to approve each action.\n"
    "-v  verbose output       Display information about selected processes.\n"
    "-w  warnings enabled     This is not currently useful.\n"
    "-n  no action            This only displays the process ID.\n"
    "\n"
    "Selection criteria can be: terminal, user, pid, command.\n"
    "The options below may be used to ensure correct interpretation.\n"
    "-t  The next argument is a terminal (tty or pty).\n"
    "-u  The next argument is a username.\n"
    "-p  The next argument is a process ID number.\n"
    "-c  The next argument is a command name.\n";

inline constexpr char free_usage[] =
    "usage: free [-b|-k|-m|-g] [-l] [-o] [-t] [-s delay] [-c count] [-V]\n"
    "  -b,-k,-m,-g show output in bytes, KB, MB, or GB\n"
    "  -l show detailed low and high memory statistics\n"
    "  -o use old format (no -/+buffers/cache line)\n"
    "  -t display total for RAM + swap\n"
    "  -s update every [delay] seconds\n"
    "  -c update [count] times\n"
    "  -V display version information and exit\n";

inline constexpr char uptime_usage[] =
    "usage: uptime [-V]\n"
    "    -V    display version\n";

#endif
