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

#include <algorithm>
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

// The name of the user running the suite, as the lines about its own processes show it.
std::string me()
{
    struct passwd *entry = getpwuid(geteuid());
    return entry != nullptr ? entry->pw_name : std::to_string(geteuid());
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
    EXPECT_EQ(r.out, line("?", me(), a, name));
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
    // Raising the nice value is open to every owner; values at or above the suite's own.
    int low = std::max(before, 4), high = std::max(before, 9);

    RunResult r = run_tyvar("tezzo", {"-n", "+" + std::to_string(high), name});
    EXPECT_EQ(getpriority(PRIO_PROCESS, a), before) << "-n changes nothing";
    EXPECT_NE(r.out.find(std::to_string(a) + "\n"), std::string::npos);

    r = run_tyvar("tezzo", {"+" + std::to_string(low), "-p", std::to_string(b)});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(getpriority(PRIO_PROCESS, b), low);
    EXPECT_EQ(getpriority(PRIO_PROCESS, a), before);

    r = run_tyvar("tezzo", {"+" + std::to_string(high), name});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(getpriority(PRIO_PROCESS, a), high);
    EXPECT_EQ(getpriority(PRIO_PROCESS, b), high);

    // Lowering it again is for root alone; anyone else is told why with -w.
    r = run_tyvar("tezzo", {"+" + std::to_string(low), "-wp", std::to_string(b)});
    if (geteuid() == 0) {
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(getpriority(PRIO_PROCESS, b), low);
    } else {
        std::string report = line("?", me(), b, name);
        report.replace(report.size() - 1, 1, "   Permission denied\n");
        EXPECT_EQ(r.err, report);
        EXPECT_EQ(getpriority(PRIO_PROCESS, b), high);
    }
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
    EXPECT_EQ(r.out, line(tty, me(), child, name));
    r = run_tyvar("tyvar", {"-t", tty});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(wait_status(child), 128 + SIGTERM);
    close(slave);
    close(master);
}

// Root only: it starts a process of another user.
TEST(EndToEnd, ByUser)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to start a process of another user";
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
    std::string prompt = line("?", me(), child, name);
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

// A process can be named with terminal control sequences, 7-bit or 8-bit; they reach the
// screen masked, while valid UTF-8 text stays as it is.
TEST(EndToEnd, ControlCharactersInARealName)
{
    std::string id = std::to_string(getpid() % 100000);
    struct Case {
        std::string name, shown;
    } cases[] = {
        {"k\x1b[1m" + id, "k?[1m" + id},
        {"k\xc2\x9b" "1m" + id, "k?1m" + id},   // U+009B, the 8-bit control sequence introducer
        {"k\x9b" "1m" + id, "k?1m" + id},        // the same as a lone byte
        {"k\xc3\xa9" + id, "k\xc3\xa9" + id}, // e-acute
    };
    for (const Case &c : cases) {
        pid_t child = spawn_named(c.name);
        RunResult r = run_tyvar("tyvar", {"-vc", c.name});
        EXPECT_EQ(r.out, line("?", me(), child, c.shown)) << testing::PrintToString(c.name);
        EXPECT_EQ(wait_status(child), 128 + SIGTERM);
    }
}

// The kernel keeps 15 bytes of a name: a longer criterion matches by the full name, of the
// program or of the script; 15 bytes or fewer match the kernel's name as always.
TEST(EndToEnd, NamesLongerThanTheKernelKeeps)
{
    std::string name = unique("-long-daemon-name"), kept = name.substr(0, 15);
    std::string sibling = kept + "-other";
    pid_t daemon = spawn_named(name), other = spawn_named(sibling);
    std::string dir = temp_dir();
    chmod(dir.c_str(), 0755);
    std::string script_name = unique("-nightly-backup-job"), script = dir + "/" + script_name;
    FILE *file = fopen(script.c_str(), "w");
    fputs("#!/bin/sh\nsleep 60\n", file);
    fclose(file);
    chmod(script.c_str(), 0755);
    pid_t job = spawn_program(script, {script});

    struct Case {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"-vn", name}, line("?", me(), daemon, kept)},
        {{"-n", sibling}, std::to_string(other) + "\n"},
        {{"-n", name + "x"}, ""},
        {{"-n", kept + "-long"}, ""},
        {{"-n", script_name}, std::to_string(job) + "\n"},
        {{"-vnc", script_name, "-c", name}, line("?", me(), job, script_name.substr(0, 15)) +
                                                     line("?", me(), daemon, kept)},
    };
    for (const Case &c : cases) {
        RunResult r = run_tyvar("tyvar", c.args);
        // The order is the directory's: compare as sets of lines.
        std::vector<std::string> got = lines_of(r.out), want = lines_of(c.out);
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << testing::PrintToString(c.args);
        EXPECT_EQ(r.status, 0);
    }
    std::vector<std::string> both = lines_of(run_tyvar("tyvar", {"-n", kept}).out);
    std::sort(both.begin(), both.end());
    std::vector<std::string> expected_both{std::to_string(daemon), std::to_string(other)};
    std::sort(expected_both.begin(), expected_both.end());
    EXPECT_EQ(both, expected_both) << "15 bytes match the kernel's name, as always";

    run_tyvar("tyvar", {name, script_name});
    EXPECT_EQ(wait_status(daemon), 128 + SIGTERM);
    EXPECT_EQ(wait_status(job), 128 + SIGTERM);
    EXPECT_TRUE(alive(other));
    kill(-job, SIGKILL); // the script's own sleep
}

} // namespace

namespace {

// Blanks and parentheses in a real name: the name is read up to the last ')'.
TEST(EndToEnd, BlanksAndParenthesesInARealName)
{
    std::string name = "k(" + std::to_string(getpid() % 100000) + ") S 1";
    pid_t child = spawn_named(name);
    RunResult r = run_tyvar("tyvar", {"-vn", "?", name});
    EXPECT_EQ(r.out, line("?", me(), child, name));
    r = run_tyvar("tyvar", {"-c", name});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(wait_status(child), 128 + SIGTERM);
}

} // namespace
