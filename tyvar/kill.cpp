// The kill command: one signal to each process given by ID, signal lists and conversions.
#include "tyvar.h"
#include "numbers.h"

#include "kelpa.h"

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

[[noreturn]] void show_kill_usage()
{
    fputs("Usage:\n"
          "  kill pid ...              Send SIGTERM to every process listed.\n"
          "  kill signal pid ...       Send a signal to every process listed.\n"
          "  kill -s signal pid ...    Send a signal to every process listed.\n"
          "  kill -l                   List all signal names.\n"
          "  kill -L                   List all signal names in a nice table.\n"
          "  kill -l signal            Convert between signal numbers and names.\n",
          stderr);
    exit(1);
}

} // namespace

void run_kill(int argc, char **argv)
{
    if (argc < 2)
        show_kill_usage();
    const char *first = argv[1];
    if (strcmp(first, "-V") == 0 || strcmp(first, "--version") == 0) {
        print_version_line();
        exit(0);
    }

    const char *signal_text = nullptr;
    int ids_from = 2;
    if (first[0] != '-') {
        ids_from = 1;
    } else if (strcmp(first, "-l") == 0) {
        if (argc == 2) {
            unix_print_signals();
            exit(0);
        }
        if (argc > 128 || argv[2][0] == '-')
            show_kill_usage();
        exit(print_given_signals(argc - 2, argv + 2, 80));
    } else if (strcmp(first, "-L") == 0) {
        if (argc != 2)
            show_kill_usage();
        pretty_print_signals();
        exit(0);
    } else if (first[1] == '-') {
        if (first[2] != '\0')
            show_kill_usage();
    } else if (strcmp(first, "-s") == 0 || strcmp(first, "-n") == 0) {
        if (argc < 3)
            show_kill_usage();
        signal_text = argv[2];
        ids_from = 3;
    } else {
        signal_text = first + 1;
    }

    int signal = SIGTERM;
    if (signal_text != nullptr) {
        signal = signal_name_to_number(signal_text);
        if (signal < 0) {
            fprintf(stderr, "ERROR: unknown signal name \"%s\".\n", signal_text);
            show_kill_usage();
        }
    }
    if (ids_from >= argc)
        show_kill_usage();

    int status = 0;
    for (int i = argc - 1; i >= ids_from; --i) {
        // An empty text is no process ID: taken as 0 it would signal the caller's process group.
        int32_t pid;
        if (!whole_number(argv[i], 10, &pid)) {
            fprintf(stderr, "ERROR: garbage process ID \"%s\".\n", argv[i]);
            show_kill_usage();
        }
        if (kill(pid, signal) != 0)
            status = 1;
    }
    exit(status);
}
