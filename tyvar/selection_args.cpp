// The tyvar and tezzo command line: signal or priority, general options and selection criteria.
#include "tyvar.h"

#include "kelpa.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

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

} // namespace

int parse_selection_args(int argc, char **argv)
{
    if (argc <= 1)
        show_selection_usage();
    if (argc == 2 && argv[1][0] == '-')
        answer_request(argv[1]);
    return run_selection();
}
