// The action reaches only the process that matched. While tyvar or tezzo waits at its prompt,
// the matched process ends and a new one of the same name is given its ID on purpose, through
// the PID namespace's ns_last_pid. All of it happens in a PID namespace of the test's own (in a
// user namespace of its own when not root), where nothing outside can be reached.
#include "harness.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <stdio.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

namespace {

enum ReuseResult {
    REUSE_DONE = 0,       // the run ended; what it printed is in the log
    REUSE_SKIP = 77,      // the machine refused a namespace
    REUSE_NO_PROMPT = 80, // the program never asked
    REUSE_NOT_REUSED = 81 // the new process did not get the old ID
};

// Reads from fd into text until it ends with tail or the stream ends; false after 20 seconds.
bool read_until(int fd, std::string *text, const std::string &tail)
{
    for (int waited = 0; waited < 20000;) {
        if (!tail.empty() && text->ends_with(tail))
            return true;
        struct pollfd p = {fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) {
            waited += 100;
            continue;
        }
        char buf[512];
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0)
            return tail.empty();
        text->append(buf, (size_t)n);
    }
    return false;
}

// In the namespace's first process: starts a process named name, runs the program on it with
// args (-i and -w among them), and at the prompt either lets it be (reuse false) or ends it and starts another of
// the same name under its ID. Answers y, and writes into log what the program wrote on
// standard error, then a line: the new (or old) process's end status or "alive", and its
// nice value.
[[noreturn]] void reuse_in_namespace(const std::string &personality, const std::vector<std::string> &args,
                                     const std::string &link, const std::string &name, bool reuse,
                                     const std::string &log)
{
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("proc", "/proc", "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) != 0)
        _exit(REUSE_SKIP);
    pid_t first = spawn_program(link, {name, "60"});
    int in[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        _exit(1);
    pid_t program = fork();
    if (program == 0) {
        dup2(in[0], 0);
        dup2(err[1], 2);
        std::vector<char *> argv{const_cast<char *>(personality.c_str())};
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        execv(TYVAR_BIN, argv.data());
        _exit(126);
    }
    close(in[0]);
    close(err[1]);
    std::string text;
    if (!read_until(err[0], &text, "   ? "))
        _exit(REUSE_NO_PROMPT);

    pid_t target = first;
    if (reuse) {
        kill(first, SIGKILL);
        waitpid(first, nullptr, 0);
        if (!write_file_as_is("/proc/sys/kernel/ns_last_pid", std::to_string(first - 1)))
            _exit(REUSE_SKIP);
        target = spawn_program(link, {name, "60"});
        if (target != first)
            _exit(REUSE_NOT_REUSED);
    }
    if (write(in[1], "y\n", 2) != 2)
        _exit(1);
    close(in[1]);
    read_until(err[0], &text, "");
    int program_status = wait_status(program);

    struct timespec pause = {0, 100000000}; // a signal, if one was sent, lands by then
    nanosleep(&pause, nullptr);
    errno = 0;
    int nice = getpriority(PRIO_PROCESS, target);
    int raw = 0;
    std::string state = waitpid(target, &raw, WNOHANG) == 0 ? "alive" : "ended by " + std::to_string(WTERMSIG(raw));
    FILE *out = fopen(log.c_str(), "w");
    fprintf(out, "%s%s, nice %d, status %d\n", text.c_str(), state.c_str(), nice, program_status);
    fclose(out);
    kill(target, SIGKILL);
    _exit(REUSE_DONE);
}

// Runs the above in a fresh PID namespace; the log's text, or "" with *skip set.
std::string run_reuse(const std::string &personality, const std::vector<std::string> &args,
                      const std::string &name, bool reuse, std::string *skip)
{
    std::string dir = temp_dir(), log = dir + "/reuse.log", link = dir + "/" + name;
    if (symlink("/bin/sleep", link.c_str()) != 0)
        return "";
    pid_t child = fork();
    if (child == 0) {
        if (!enter_user_namespace())
            _exit(REUSE_SKIP);
        if (unshare(CLONE_NEWPID | CLONE_NEWNS) != 0)
            _exit(REUSE_SKIP);
        pid_t init = fork();
        if (init == 0)
            reuse_in_namespace(personality, args, link, name, reuse, log);
        _exit(wait_status(init));
    }
    int status = wait_status(child);
    if (status == REUSE_SKIP)
        *skip = "this machine refuses a user or PID namespace, or the setting of its next ID";
    EXPECT_TRUE(status == REUSE_DONE || status == REUSE_SKIP) << "status " << status;
    return read_file(log);
}


TEST(Reuse, SignalReachesOnlyTheProcessThatMatched)
{
    std::string name = "kr" + std::to_string(getpid()) + "-sig", skip;
    std::string log = run_reuse("tyvar", {"-iwc", name}, name, true, &skip);
    if (!skip.empty())
        GTEST_SKIP() << skip;
    std::string fields = log.substr(0, log.find("   ? ") + 3);
    EXPECT_EQ(log, fields + "? " + fields + "No such process\nalive, nice 0, status 0\n");

    // Without reuse, the same run ends the process: the test would see a wrong signal.
    log = run_reuse("tyvar", {"-iwc", name}, name, false, &skip);
    fields = log.substr(0, log.find("   ? ") + 3);
    EXPECT_EQ(log, fields + "? ended by 15, nice 0, status 0\n");
}

TEST(Reuse, PriorityReachesOnlyTheProcessThatMatched)
{
    std::string name = "kr" + std::to_string(getpid()) + "-pri", skip;
    std::string log = run_reuse("tezzo", {"+5", "-iwc", name}, name, true, &skip);
    if (!skip.empty())
        GTEST_SKIP() << skip;
    std::string fields = log.substr(0, log.find("   ? ") + 3);
    EXPECT_EQ(log, fields + "? " + fields + "No such process\nalive, nice 0, status 0\n");

    log = run_reuse("tezzo", {"+5", "-iwc", name}, name, false, &skip);
    fields = log.substr(0, log.find("   ? ") + 3);
    EXPECT_EQ(log, fields + "? alive, nice 5, status 0\n");
}

} // namespace
