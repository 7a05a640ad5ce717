// Processes of the test's command name start and end all the time while tyvar scans and signals
// by that name: every run ends cleanly, and no signal reaches a process of another name.
#include "harness.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

namespace {

bool alive(pid_t pid)
{
    return waitpid(pid, nullptr, WNOHANG) == 0;
}

TEST(Churn, SignalsOnlyTheNameThatMatches)
{
    std::string id = std::to_string(getpid());
    std::string name = "k" + id + "-ch";
    // Neighbours whose names differ by a prefix, a suffix or a letter's case.
    std::vector<pid_t> bystanders = {spawn_named("k" + id + "-c"), spawn_named("k" + id + "-chx"),
                                     spawn_named("K" + id + "-ch"), spawn_named("k" + id + "-cH")};

    // A shell that keeps starting short-lived processes of the name; the link it runs has it.
    std::string dir = temp_dir();
    chmod(dir.c_str(), 0755);
    std::string link = dir + "/" + name;
    ASSERT_EQ(symlink("/bin/sleep", link.c_str()), 0);
    pid_t churner = fork();
    if (churner == 0) {
        setsid();
        execl("/bin/sh", "sh", "-c",
              ("while :; do '" + link + "' 0.0$(( $$ % 5 + 1 )) & '" + link + "' 0.02 & wait; done").c_str(),
              (char *)nullptr);
        _exit(127);
    }

    // A fixed amount of work, however fast the machine: each variant several times.
    const std::vector<std::string> variants[] = {
        {"-KILL", name}, {"-v", "-HUP", name}, {"-wv", name}, {"-TERM", "-c", name}, {"-wn", name}};
    for (int run = 0; run < 30; ++run) {
        RunResult r = run_tyvar("tyvar", variants[run % 5], {.timeout_seconds = 20});
        ASSERT_EQ(r.status, 0) << r.err;
    }

    EXPECT_TRUE(alive(churner)) << "the shell is named sh and never matches";
    for (pid_t pid : bystanders)
        EXPECT_TRUE(alive(pid)) << pid;
    kill(-churner, SIGKILL);
    waitpid(churner, nullptr, 0);
}

} // namespace
