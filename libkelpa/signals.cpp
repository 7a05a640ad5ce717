// Conversion between signal names and numbers, and the signal listings; every number
// comes from <signal.h>, so the table is right on every architecture.
#include "kelpa.h"
#include "signals.h"

#include <signal.h>
#include <stdio.h>
#include <string.h>

#include <string_view>

namespace {

// Names held in place rather than by pointer: the table needs no relocation at load time.
struct SignalName {
    char name[8];
    int number;
};

// The first entry of a number gives its name in listings; later ones are aliases.
constexpr SignalName signal_names[] = {
    {"HUP", SIGHUP},       {"INT", SIGINT},       {"QUIT", SIGQUIT},   {"ILL", SIGILL},
    {"TRAP", SIGTRAP},     {"ABRT", SIGABRT},     {"IOT", SIGABRT},    {"BUS", SIGBUS},
#ifdef SIGEMT
    {"EMT", SIGEMT},
#endif
    {"FPE", SIGFPE},       {"KILL", SIGKILL},     {"USR1", SIGUSR1},   {"SEGV", SIGSEGV},
    {"USR2", SIGUSR2},     {"PIPE", SIGPIPE},     {"ALRM", SIGALRM},   {"TERM", SIGTERM},
#ifdef SIGSTKFLT
    {"STKFLT", SIGSTKFLT},
#endif
    {"CHLD", SIGCHLD},     {"CLD", SIGCHLD},      {"CONT", SIGCONT},   {"STOP", SIGSTOP},
    {"TSTP", SIGTSTP},     {"TTIN", SIGTTIN},     {"TTOU", SIGTTOU},   {"URG", SIGURG},
    {"XCPU", SIGXCPU},     {"XFSZ", SIGXFSZ},     {"VTALRM", SIGVTALRM}, {"PROF", SIGPROF},
    {"WINCH", SIGWINCH},   {"IO", SIGIO},         {"POLL", SIGIO},
#ifdef SIGPWR
    {"PWR", SIGPWR},
#endif
#ifdef SIGINFO
    {"INFO", SIGINFO},
#endif
#ifdef SIGLOST
    {"LOST", SIGLOST},
#endif
    {"SYS", SIGSYS},
};

// The value of an all-digit text, or -1 when it has other characters or exceeds limit.
int decimal_upto(std::string_view text, int limit)
{
    if (text.empty())
        return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
        if (value > limit)
            return -1;
    }
    return value;
}

// RTMIN, RTMIN+n, RTMAX-n or RTMAX; -1 for anything else.
int realtime_number(std::string_view text)
{
    int low = SIGRTMIN, high = SIGRTMAX;
    int span = high - low;
    if (text == "RTMIN")
        return low;
    if (text == "RTMAX")
        return high;
    if (text.starts_with("RTMIN+")) {
        int n = decimal_upto(text.substr(6), span);
        return n < 0 ? -1 : low + n;
    }
    if (text.starts_with("RTMAX-")) {
        int n = decimal_upto(text.substr(6), span);
        return n < 0 ? -1 : high - n;
    }
    return -1;
}

// Writes word on standard output after a blank, or on a new line when the line would
// reach width columns; *column is the length of the current line.
void put_word(const char *word, int *column, int width)
{
    int length = (int)strlen(word);
    if (*column > 0 && *column + 1 + length >= width) {
        putchar('\n');
        *column = 0;
    }
    if (*column > 0) {
        putchar(' ');
        ++*column;
    }
    fputs(word, stdout);
    *column += length;
}

void end_line(int column)
{
    if (column > 0)
        putchar('\n');
}

} // namespace

const char *signal_name(int sig, char *buf)
{
    int low = SIGRTMIN, high = SIGRTMAX;
    if (sig >= low && sig <= high) {
        // Lower half counts up from RTMIN, upper half down from RTMAX.
        if (sig == low)
            return "RTMIN";
        if (sig == high)
            return "RTMAX";
        if (sig - low <= (high - low) / 2)
            snprintf(buf, signal_name_size, "RTMIN+%d", sig - low);
        else
            snprintf(buf, signal_name_size, "RTMAX-%d", high - sig);
        return buf;
    }
    for (const SignalName &entry : signal_names)
        if (entry.number == sig)
            return entry.name;
    return nullptr;
}

int signal_name_to_number(const char *name)
{
    if (name == nullptr)
        return -1;
    std::string_view text(name);
    if (!text.empty() && text[0] >= '0' && text[0] <= '9')
        return decimal_upto(text, SIGRTMAX);
    if (text.starts_with("SIG"))
        text.remove_prefix(3);
    for (const SignalName &entry : signal_names)
        if (std::string_view(entry.name) == text)
            return entry.number;
    return realtime_number(text);
}

void unix_print_signals(void)
{
    char buf[signal_name_size];
    int column = 0;
    for (int sig = 1; sig <= SIGRTMAX; ++sig)
        if (const char *name = signal_name(sig, buf))
            put_word(name, &column, 80);
    end_line(column);
}

void pretty_print_signals(void)
{
    constexpr int per_line = 6, name_width = 8;
    char buf[signal_name_size];
    int in_line = 0, pad = 0;
    for (int sig = 1; sig <= SIGRTMAX; ++sig) {
        const char *name = signal_name(sig, buf);
        if (name == nullptr)
            continue;
        if (in_line == per_line) {
            putchar('\n');
            in_line = 0;
        } else if (in_line > 0) {
            printf("%*s", pad + 1, ""); // padding goes before the next entry: no trailing blanks
        }
        int length = printf("%2d %s", sig, name) - 3;
        pad = length < name_width ? name_width - length : 0;
        ++in_line;
    }
    if (in_line > 0)
        putchar('\n');
}

int print_given_signals(int argc, const char *const *argv, int max_line)
{
    int status = 0, column = 0;
    char buf[signal_name_size];
    for (int i = 0; i < argc; ++i) {
        const char *text = argv[i];
        const char *word = nullptr;
        if (text[0] >= '0' && text[0] <= '9') {
            // Shells give a process that a signal ended the exit status 128 + the signal.
            int number = decimal_upto(text, 128 + SIGRTMAX);
            if (number > 128)
                number -= 128;
            else if (number > SIGRTMAX)
                number = -1;
            word = signal_name(number, buf);
        } else {
            int sig = signal_name_to_number(text);
            if (sig >= 0) {
                snprintf(buf, sizeof buf, "%d", sig);
                word = buf;
            }
        }
        if (word == nullptr) {
            fflush(stdout);
            fprintf(stderr, "ERROR: unknown signal \"%s\".\n", text);
            status = 1;
            continue;
        }
        put_word(word, &column, max_line);
    }
    end_line(column);
    return status;
}
