// The tyvar and tezzo command line: signal or priority, general options and selection criteria.
#include "tyvar.h"
#include "numbers.h"

#include "kelpa.h"

#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

namespace {

// No priority given yet: outside every priority a user can give (-999 to 999).
constexpr int32_t NO_PRIORITY = (int32_t)0xDEAFBEEF;

// The parse position: the current text and the arguments from its own to the last.
char **arg_vector;
int arg_index;
int args_left;
const char *current;
int found_count;

// Makes the next argument, whole, the current text; false when none is left.
bool advance()
{
    ++arg_index;
    if (--args_left <= 0)
        return false;
    current = arg_vector[arg_index];
    return true;
}


[[noreturn]] void show_selection_usage()
{
    fputs(run_state.personality == PERSONA_TYVAR
              ? "Usage:   tyvar [signal to send] [options] process selection criteria\n"
                "Example: tyvar -KILL -v pts/*\n"
                "\n"
                "The default signal is TERM. Use -l or -L to list available signals.\n"
                "Particularly useful signals include HUP, INT, KILL, STOP, CONT, and 0.\n"
                "Alternate signals may be specified in three ways: -SIGKILL -KILL -9\n"
              : "Usage:   tezzo [new priority] [options] process selection criteria\n"
                "Example: tezzo netscape crack +7\n"
                "\n"
                "The default priority is +4. (tezzo +4 ...)\n"
                "Priority numbers range from +20 (slowest) to -20 (fastest).\n"
                "Negative priority numbers are restricted to administrative users.\n",
          stderr);
    fputs("\n"
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
          "-c  The next argument is a command name.\n",
          stderr);
    exit(1);
}

// The requests that stand alone on the command line: lists and the version line.
void answer_request(const char *arg)
{
    if (strcmp(arg, "-L") == 0)
        pretty_print_signals();
    else if (strcmp(arg, "-l") == 0)
        unix_print_signals();
    else if (strcmp(arg, "-V") == 0 || strcmp(arg, "--version") == 0)
        print_version_line();
    else
        show_selection_usage();
    exit(0);
}


// Stores value in a selection list, which gets room for one entry per argument with its first.
template <typename T> void append_selection(T **list, int32_t *count, T value)
{
    if (*list == nullptr) {
        *list = (T *)malloc(sizeof(T) * (size_t)run_state.arg_capacity);
        if (*list == nullptr) {
            fputs("No memory.\n", stderr);
            exit(2);
        }
    }
    (*list)[(*count)++] = value;
}

bool terminal_test()
{
    char path[32];
    struct stat st;
    // A path cut to fit could name a different device: such a text is no device name.
    if ((size_t)snprintf(path, sizeof path, "/dev/%s", current) < sizeof path &&
        stat(path, &st) == 0 && S_ISCHR(st.st_mode)) {
        append_selection(&run_state.tty_list, &run_state.tty_count, (int32_t)(uint32_t)st.st_rdev);
        found_count = 1;
        advance();
        return true;
    }
    if (current[0] != '\0' && current[1] == '\0' &&
        (current[0] == '-' || current[0] == '?' || stat(current, &st) == 0)) {
        append_selection(&run_state.tty_list, &run_state.tty_count, (int32_t)0);
        found_count = 1;
        advance();
        return true;
    }
    return false;
}

bool user_test()
{
    struct passwd *pw = getpwnam(current);
    if (pw == nullptr)
        return false;
    append_selection(&run_state.uid_list, &run_state.uid_count, pw->pw_uid);
    ++found_count;
    advance();
    return true;
}

bool pid_test()
{
    int32_t pid;
    if (current[0] < '0' || current[0] > '9' || !whole_number(current, 0, &pid))
        return false;
    append_selection(&run_state.pid_list, &run_state.pid_count, pid);
    ++found_count;
    advance();
    return true;
}

void command_step()
{
    append_selection(&run_state.command_list, &run_state.command_count, current);
    found_count = 1;
    advance();
}

// Tries terminal, user, process ID and command in turn; an accepted terminal or user makes
// the following argument the next test's text.
void classify_untagged()
{
    found_count = 0;
    if (terminal_test() && args_left <= 0)
        return;
    if (user_test() && args_left <= 0)
        return;
    if (pid_test() || found_count != 0)
        return;
    command_step();
}

void classify_tagged(char letter)
{
    found_count = 0;
    switch (letter) {
    case 't': terminal_test(); break;
    case 'u': user_test(); break;
    case 'p': pid_test(); break;
    default: command_step(); break;
    }
}

// Reads the option letters of the current text; returns the criterion letter it ends with,
// or 0 when it ended with the argument.
char read_option_cluster()
{
    for (const char *p = current + 1;; ++p) {
        switch (*p) {
        case 'f': ++run_state.fast_count; break;
        case 'i': ++run_state.interactive_count; break;
        case 'v': ++run_state.verbose_count; break;
        case 'w': ++run_state.warn_count; break;
        case 'n': ++run_state.noaction_count; break;
        case 't':
        case 'u':
        case 'p':
        case 'c':
            if (p[1] != '\0') {
                current = p + 1;
            } else if (!advance()) {
                fprintf(stderr, "ERROR: -%c with nothing after it.\n", *p);
                show_selection_usage();
            }
            classify_tagged(*p);
            return *p;
        case '\0':
            if (advance())
                classify_untagged();
            return 0;
        default:
            show_selection_usage();
        }
    }
}

[[noreturn]] void reject(const char *message)
{
    fputs(message, stderr);
    show_selection_usage();
}

} // namespace

int parse_selection_args(int argc, char **argv)
{
    if (argc <= 1)
        show_selection_usage();
    if (argc == 2 && argv[1][0] == '-')
        answer_request(argv[1]);

    arg_vector = argv;
    arg_index = 1;
    args_left = argc - 1;
    current = argv[1];
    int32_t signal_number = -1, priority = NO_PRIORITY;
    char pending = 0;
    while (args_left > 0) {
        if (pending != 0 && found_count == 0) {
            fprintf(stderr, "ERROR: -%c used with bad data.\n", pending);
            show_selection_usage();
        }
        pending = 0;
        if (run_state.personality == PERSONA_TYVAR && signal_number < 0 && current[0] == '-') {
            signal_number = signal_name_to_number(current + 1);
            if (signal_number >= 0) {
                advance();
                continue;
            }
        }
        if (run_state.personality == PERSONA_TEZZO && priority == NO_PRIORITY &&
            (current[0] == '+' || current[0] == '-') && current[1] != '\0') {
            int32_t value;
            if (whole_number(current, 10, &value) && value >= -999 && value <= 999) {
                priority = value;
                advance();
                continue;
            }
        }
        if (current[0] == '-' && current[1] != '\0')
            pending = read_option_cluster();
        else
            classify_untagged();
    }

    const RunState &s = run_state;
    if (s.tty_count == 0 && s.uid_count == 0 && s.command_count == 0 && s.pid_count == 0)
        reject("ERROR: no process selection criteria.\n");
    if (s.fast_count > 1 || s.interactive_count > 1 || s.verbose_count > 1 || s.warn_count > 1 ||
        s.noaction_count > 1)
        reject("ERROR: general flags may not be repeated.\n");
    if (s.interactive_count != 0 && (s.verbose_count != 0 || s.fast_count != 0 || s.noaction_count != 0))
        reject("ERROR: -i makes no sense with -v, -f, and -n.\n");
    if (s.verbose_count != 0 && (s.interactive_count != 0 || s.fast_count != 0))
        reject("ERROR: -v makes no sense with -i and -f.\n");

    if (signal_number < 0)
        signal_number = 15;
    if (priority == NO_PRIORITY)
        priority = 4;
    if (s.noaction_count != 0) {
        run_state.personality = PERSONA_TYVAR;
        signal_number = 0;
    }
    run_state.action_value = run_state.personality == PERSONA_TYVAR ? signal_number : priority;
    return run_selection();
}
