// The multi-call signaller and renicer: its run state and the entry points of its parts.
#ifndef TYVAR_H
#define TYVAR_H

#include <stdint.h>
#include <sys/types.h>

// The command the program runs as, chosen by its invocation name.
enum Personality : int32_t {
    PERSONA_NONE = 0,
    PERSONA_KILL = 1,
    PERSONA_TYVAR = 2,
    PERSONA_TEZZO = 4,
};

// Everything the selection command line hands to matching and action; zero at start.
struct RunState {
    int32_t fast_count;
    int32_t interactive_count;
    int32_t verbose_count;
    int32_t warn_count;
    int32_t noaction_count;
    int32_t tty_count;
    int32_t uid_count;
    int32_t command_count;
    int32_t pid_count;
    int32_t *tty_list;
    uid_t *uid_list;
    const char **command_list;
    int32_t *pid_list;
    int32_t self_pid;
    int32_t arg_capacity;
    int32_t action_value;
    Personality personality;
};

extern RunState run_state;

// The program entry: chooses the personality from argv[0] and returns the exit status.
int tyvar_main(int argc, char **argv);

// Prints the version line of the current personality on standard output.
void print_version_line();

// The kill command: signals processes by ID, lists and converts signals. Never returns.
[[noreturn]] void run_kill(int argc, char **argv);

// Reads the tyvar/tezzo command line into run_state and runs the selection; returns the
// exit status, or ends the process itself on every other outcome.
int parse_selection_args(int argc, char **argv);

// Acts on the selected processes; returns the exit status (0).
int run_selection();

// Examines one candidate process and acts on it when it matches.
void inspect_process(int32_t pid);

#endif
