// tyvar and tezzo end to end on real processes that the test starts itself: each carries a
// command name unique to this run, so no other process can ever be selected.
#include "harness.h"

#include <fcntl.h>
#include <pty.h>
#include <pwd.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

namespace {

std::string unique(const char *suffix)
{
    return "k" + std::to_string(getpid()) + suffix; // at most 15 bytes
}

bool alive(pid_t pid)
{
    return kill(pid, 0) == 0 && read_file("/proc/" + std::to_string(pid) + "/stat").find(") Z ") ==
                                    std::string::npos;
}

std::string line(const std::string &tty, const std::string &user, pid_t pid, const std::string &name)
{
    char text[256];
    snprintf(text, sizeof text, "%-8s %-8s %5d %-16.16s\n", tty.c_str(), user.c_str(), pid, name.c_str());
    return text;
}

TEST(EndToEnd, SignalsByCommandName)
{
    std::string name = unique("-a"), other = unique("-b");
    pid_t a = spawn_named(name), b = spawn_named(other);

    RunResult r = run_tyvar("tyvar", {"-n", name});
    EXPECT_EQ(r.out, std::to_string(a) + "\n");
    EXPECT_TRUE(alive(a));

    r = run_tyvar("tyvar", {"-KILL", "-v", name});
    EXPECT_EQ(r.out, line("?", "root", a, name));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(wait_status(a), 128 + SIGKILL);
    EXPECT_TRUE(alive(b));

    r = run_tyvar("tyvar", {other});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(wait_status(b), 128 + SIGTERM);
}

TEST(EndToEnd, RenicesOwnChildren)
{
    std::string name = unique("-r");
    pid_t a = spawn_named(name), b = spawn_named(name);
    int before = getpriority(PRIO_PROCESS, a);

    RunResult r = run_tyvar("tezzo", {"-n", "+9", name});
    EXPECT_EQ(getpriority(PRIO_PROCESS, a), before) << "-n changes nothing";
    EXPECT_NE(r.out.find(std::to_string(a) + "\n"), std::string::npos);

    r = run_tyvar("tezzo", {"+9", name});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(getpriority(PRIO_PROCESS, a), 9);
    EXPECT_EQ(getpriority(PRIO_PROCESS, b), 9);

    r = run_tyvar("tezzo", {"-p", std::to_string(b)});
    EXPECT_EQ(getpriority(PRIO_PROCESS, b), 4);
    EXPECT_EQ(getpriority(PRIO_PROCESS, a), 9);
    EXPECT_TRUE(alive(a) && alive(b));
}

TEST(EndToEnd, OwnPseudoTerminal)
{
    int master, slave;
    char path[64];
    ASSERT_EQ(openpty(&master, &slave, path, nullptr, nullptr), 0);
    std::string tty = path + 5, name = unique("-t");
    pid_t child = spawn_named(name, "60", [slave] { ioctl(slave, TIOCSCTTY, 0); });

    RunResult r = run_tyvar("tyvar", {"-vn", tty});
    EXPECT_EQ(r.out, line(tty, "root", child, name));
    r = run_tyvar("tyvar", {"-t", tty});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(wait_status(child), 128 + SIGTERM);
    close(slave);
    close(master);
}

TEST(EndToEnd, ByUser)
{
    struct passwd *nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    uid_t uid = nobody->pw_uid;
    gid_t gid = nobody->pw_gid;
    std::string name = unique("-u");
    pid_t theirs = spawn_named(name, "60", [uid, gid] {
        if (setgid(gid) != 0 || setuid(uid) != 0)
            _exit(126);
    });
    pid_t ours = spawn_named(name);

    RunResult r = run_tyvar("tyvar", {"-vn", "nobody", name});
    EXPECT_EQ(r.out, line("?", "nobody", theirs, name));
    r = run_tyvar("tyvar", {"-vn", "root", name});
    EXPECT_EQ(r.out, line("?", "root", ours, name));

    r = run_tyvar("tyvar", {"-u", "nobody", name});
    EXPECT_EQ(wait_status(theirs), 128 + SIGTERM);
    EXPECT_TRUE(alive(ours));
}

TEST(EndToEnd, ApprovalAtThePrompt)
{
    std::string name = unique("-i");
    pid_t child = spawn_named(name);
    std::string prompt = line("?", "root", child, name);
    prompt.replace(prompt.size() - 1, 1, "   ? ");

    RunResult r = run_tyvar("tyvar", {"-i", name}, {.input = "no\n"});
    EXPECT_EQ(r.err, prompt);
    EXPECT_TRUE(alive(child));
    r = run_tyvar("tyvar", {"-i", name}, {.input = "", .has_input = true});
    EXPECT_EQ(r.out, "\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(alive(child));
    r = run_tyvar("tyvar", {"-i", name}, {.input = "yes\n"});
    EXPECT_EQ(r.err, prompt);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(wait_status(child), 128 + SIGTERM);
}

// A process can be named with terminal control sequences; they reach the screen masked.
TEST(EndToEnd, ControlBytesInARealName)
{
    std::string name = "k\x1b[1m" + std::to_string(getpid() % 100000);
    std::string shown = "k?[1m" + std::to_string(getpid() % 100000);
    pid_t child = spawn_named(name);
    RunResult r = run_tyvar("tyvar", {"-vc", name});
    EXPECT_EQ(r.out, line("?", "root", child, shown));
    EXPECT_EQ(wait_status(child), 128 + SIGTERM);
}

} // namespace

namespace {

// Blanks and parentheses in a real name: the name is read up to the last ')'.
TEST(EndToEnd, BlanksAndParenthesesInARealName)
{
    std::string name = "k(" + std::to_string(getpid() % 100000) + ") S 1";
    pid_t child = spawn_named(name);
    RunResult r = run_tyvar("tyvar", {"-vn", "?", name});
    EXPECT_EQ(r.out, line("?", "root", child, name));
    r = run_tyvar("tyvar", {"-c", name});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(wait_status(child), 128 + SIGTERM);
}

} // namespace
