// The program entry: one program that runs as kill, tyvar or tezzo by its invocation name.
#include "tyvar.h"

#include "kelpa.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <unistd.h>

RunState run_state;

void print_version_line()
{
    const char *name = run_state.personality == PERSONA_KILL    ? "kill"
                       : run_state.personality == PERSONA_TYVAR ? "tyvar"
                                                                : "tezzo";
    // Pieces rather than a format: the line needs none of printf's machinery.
    fputs(name, stdout);
    fputs(" (", stdout);
    fputs(kelpa_version, stdout);
    fputs(")\n", stdout);
}

int tyvar_main(int argc, char **argv)
{
    run_state.self_pid = getpid();
    run_state.arg_capacity = argc;
    if (argc == 0) {
        fputs("ERROR: could not determine own name.\n", stderr);
        exit(1);
    }
    const char *slash = strrchr(argv[0], '/');
    const char *name = slash ? slash + 1 : argv[0];

    run_state.personality = PERSONA_NONE;
    if (name[0] == 't') {
        // Selection runs walk every process; do it ahead of the load it may be fighting.
        setpriority(PRIO_PROCESS, run_state.self_pid, -20);
        if (strcmp(name, "tezzo") == 0)
            run_state.personality = PERSONA_TEZZO;
        if (strcmp(name, "tyvar") == 0)
            run_state.personality = PERSONA_TYVAR;
    } else if (strcmp(name, "kill") == 0) {
        run_state.personality = PERSONA_KILL;
    }

    switch (run_state.personality) {
    case PERSONA_TYVAR:
    case PERSONA_TEZZO:
        return parse_selection_args(argc, argv);
    case PERSONA_KILL:
        run_kill(argc, argv);
    default:
        fprintf(stderr, "ERROR: no \"%s\" support.\n", name);
        return 1;
    }
}
