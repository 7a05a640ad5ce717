// Running the built programs as a user meets them: chosen invocation name, arguments,
// standard input, environment and working directory; captured output and exit status.
#ifndef KELPA_TESTS_HARNESS_H
#define KELPA_TESTS_HARNESS_H

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

struct RunResult {
    std::string out;
    std::string err;
    int status; // exit status, or 128 + signal number when killed
};

// A process as a fake /proc shows it: /proc/<pid>/stat with this text and comm with the name
// in it (at most 15 bytes, as the kernel keeps), owned by owner.
// The pid "self" is the program's own; a stat of "-" leaves the directory without a stat file.
struct FakeProcess {
    std::string pid;
    std::string stat;
    uid_t owner = 0;
    int dir_owner = -1; // the owner of /proc/<pid> itself, where it differs
};

struct RunOptions {
    std::string input;             // standard input; /dev/null when empty and !has_input
    bool has_input = false;
    std::vector<std::string> env;  // NAME=VALUE entries added to the environment
    std::string cwd;               // working directory; the test's own when empty
    int timeout_seconds = 30;
    std::function<void()> in_child;  // run in the child just before exec
    bool own_pid_namespace = false;  // run in a PID namespace of its own, alone with its /proc
    bool use_fake_proc = false;      // give the program a /proc of its own with only these:
    std::vector<FakeProcess> fake_proc;
    std::vector<std::pair<std::string, std::string>> fake_proc_files; // name in /proc, text
};

// In a child, when not root: goes on in a user namespace of its own, as its root, so that it
// may make mount and PID namespaces. Where this user has subordinate IDs (/etc/subuid, and
// newuidmap), the IDs of other users are mapped too; else only its own. False when the kernel
// refuses.
bool enter_user_namespace();

// Whether this machine lets a test give a program a mount namespace (and so a fake /proc).
bool namespaces_available();

// Whether a fake /proc can hold processes of other users (root, or subordinate IDs).
bool other_owners_available();

// Runs program with argv (argv[0] is the invocation name) and waits for it.
RunResult run_program(const std::string &program, const std::vector<std::string> &argv,
                      const RunOptions &options = {});

// The multi-call program under invocation name name, with the given arguments.
RunResult run_tyvar(const std::string &name, const std::vector<std::string> &args,
                    const RunOptions &options = {});

// A fresh empty temporary directory, removed with its contents at exit.
std::string temp_dir();

// Writes text to an existing file in one write, as kernel files want it; false on failure.
bool write_file_as_is(const std::string &path, const std::string &text);

// The whole content of a file ("" when it does not exist).
std::string read_file(const std::string &path);

// The lines of a text, without their line ends.
std::vector<std::string> lines_of(const std::string &text);

// A log file for the recording stand-in and the stand-in library, and the environment
// entries that put a program under them.
struct Recording {
    std::string log;
    std::vector<std::string> env;
    std::vector<std::string> calls() const { return lines_of(read_file(log)); }
};

// The recording stand-in for kill/setpriority/usleep; allow lists the test's own children
// that calls may really reach, error forces every other call to fail with that code.
Recording recorder(const std::vector<pid_t> &allow = {}, int error = 0);

// The stand-in library (with its call log); extra entries are added to its environment.
Recording fake_library(const std::vector<std::string> &extra = {});

// Both stand-ins at once: one log gets both kinds of call.
Recording recorder_and_fake(const std::vector<pid_t> &allow = {},
                            const std::vector<std::string> &extra = {});

// Starts the program at path with argv, in a session of its own without a terminal, its
// standard input and output on /dev/null; in_child runs in it before exec. Waits until the
// kernel names the process after the file, and kills it at exit if still running.
pid_t spawn_program(const std::string &path, const std::vector<std::string> &argv,
                    const std::function<void()> &in_child = {});

// Starts a child that sleeps, under command name name (at most 15 bytes are kept by the
// kernel), in a session of its own without a terminal; in_child runs in it before exec. It
// is killed at exit if still running.
pid_t spawn_named(const std::string &name, const std::string &seconds = "60",
                  const std::function<void()> &in_child = {});

// Waits for a child and gives its status as run_program does.
int wait_status(pid_t pid);

#endif
