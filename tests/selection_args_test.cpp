// The tyvar and tezzo command line, checked against a stand-in selection run that prints what
// the parse left in the run state: every observable case of the grammar, every message.
#include "harness.h"
#include "texts.h"
#include "tyvar.h"

#include <fcntl.h>
#include <malloc.h>
#include <pty.h>
#include <sched.h>
#include <stdio.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

// Prints " label=" and a present list's entries, then "(short)" unless the list has room for
// one entry per argument.
template <typename T, typename Print> void print_list(const char *label, T *list, int32_t count, Print print)
{
    if (list == nullptr)
        return;
    printf(" %s=", label);
    for (int32_t i = 0; i < count; ++i)
        print(i, list[i]);
    if (malloc_usable_size(list) < sizeof *list * (size_t)run_state.arg_capacity)
        printf("(short)");
}

// The stand-in selection run: one line naming the action and every present list.
int run_selection()
{
    const RunState &s = run_state;
    printf("%s %d", s.personality == PERSONA_TYVAR ? "tyvar" : "tezzo", s.action_value);
    const char letters[] = "fivwn";
    const int32_t counts[] = {s.fast_count, s.interactive_count, s.verbose_count, s.warn_count,
                              s.noaction_count};
    std::string flags;
    for (int i = 0; i < 5; ++i)
        if (counts[i] != 0)
            flags += letters[i];
    if (!flags.empty())
        printf(" %s", flags.c_str());
    print_list("tty", s.tty_list, s.tty_count, [](int i, int32_t v) { printf("%s%d", i ? "," : "", v); });
    print_list("uid", s.uid_list, s.uid_count,
               [](int i, uid_t v) { printf("%s%u", i ? "," : "", (unsigned)v); });
    print_list("pid", s.pid_list, s.pid_count, [](int i, int32_t v) { printf("%s%d", i ? "," : "", v); });
    print_list("cmd", s.command_list, s.command_count, [](int, const char *v) { printf("[%s]", v); });
    printf("\n");
    return 0;
}

void inspect_process(int32_t)
{
}

namespace {

const std::string tyvar_usage = std::string(tyvar_usage_head) + selection_usage_tail;
const std::string tezzo_usage = std::string(tezzo_usage_head) + selection_usage_tail;

// Runs the program entry in a child process, as the named command, with the arguments; extra
// password-database lines (in a mount namespace of its own) and a working directory optional.
RunResult parse(const std::string &name, const std::vector<std::string> &args,
                const std::string &cwd = "", const std::string &extra_users = "")
{
    std::string dir = temp_dir();
    std::string out = dir + "/out", err = dir + "/err";
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(o, 1);
        dup2(e, 2);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0)
            _exit(125);
        if (!extra_users.empty()) {
            std::string passwd = dir + "/passwd";
            std::string text = read_file("/etc/passwd") + extra_users;
            FILE *f = fopen(passwd.c_str(), "w");
            fputs(text.c_str(), f);
            fclose(f);
            if (!enter_user_namespace() || unshare(CLONE_NEWNS) != 0 ||
                mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                mount(passwd.c_str(), "/etc/passwd", nullptr, MS_BIND, nullptr) != 0)
                _exit(125);
        }
        std::vector<char *> argv{const_cast<char *>(name.c_str())};
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        exit(tyvar_main((int)argv.size() - 1, argv.data()));
    }
    RunResult r;
    r.status = wait_status(pid);
    r.out = read_file(out);
    r.err = read_file(err);
    return r;
}

struct Case {
    std::string name;
    std::vector<std::string> args;
    std::string out;  // the stand-in's line, without its line end; empty when the parse fails
    std::string err;  // a message before the usage text, or "usage" for the usage text alone
};

// Two pseudo-terminals of the test's own, named as the terminal criteria name them.
class Grammar : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        for (int i = 0; i < 2; ++i) {
            char name[64];
            ASSERT_EQ(openpty(&master[i], &slave[i], name, nullptr, nullptr), 0);
            struct stat st;
            ASSERT_EQ(fstat(slave[i], &st), 0);
            tty[i] = name + 5; // without "/dev/"
            dev[i] = std::to_string((int32_t)(uint32_t)st.st_rdev);
        }
    }

    static void check(const Case &c, const std::string &cwd = "", const std::string &users = "")
    {
        RunResult r = parse(c.name, c.args, cwd, users);
        std::string shown = c.name;
        for (const std::string &arg : c.args)
            shown += " [" + arg + "]";
        const std::string &usage = c.name == "tezzo" ? tezzo_usage : tyvar_usage;
        if (c.err.empty()) {
            EXPECT_EQ(r.out, c.out + "\n") << shown;
            EXPECT_EQ(r.err, "") << shown;
            EXPECT_EQ(r.status, 0) << shown;
        } else {
            EXPECT_EQ(r.out, "") << shown;
            EXPECT_EQ(r.err, (c.err == "usage" ? "" : c.err) + usage) << shown;
            EXPECT_EQ(r.status, 1) << shown;
        }
    }

    static inline int master[2], slave[2];
    static inline std::string tty[2], dev[2];
};

const std::string usage = "usage";

TEST_F(Grammar, RequestsAndLoneOptions)
{
    for (const char *name : {"tyvar", "tezzo"}) {
        for (const char *arg : {"-KILL", "-5", "-v", "-t", "-tpts/1", "-", "-x", "--", "-VV"})
            check({name, {arg}, "", usage});
        check({name, {}, "", usage});
    }
    RunResult r = parse("tyvar", {"--version"});
    EXPECT_EQ(r.out, std::string("tyvar (kelpa ") + PROJECT_VERSION_TEXT + ")\n");
    r = parse("tezzo", {"-V"});
    EXPECT_EQ(r.out, std::string("tezzo (kelpa ") + PROJECT_VERSION_TEXT + ")\n");
    r = parse("tezzo", {"-l"});
    EXPECT_TRUE(r.out.starts_with("HUP INT QUIT")) << r.out;
    r = parse("tyvar", {"-L"});
    EXPECT_TRUE(r.out.starts_with(" 1 HUP")) << r.out;
    EXPECT_EQ(r.status, 0);
}

TEST_F(Grammar, SignalsOptionsAndCarryOver)
{
    const std::string &T1 = tty[0], &T2 = tty[1], &D1 = dev[0], &D2 = dev[1];
    const Case cases[] = {
        {"tyvar", {"-KILL", "-v", T1}, "tyvar 9 v tty=" + D1, ""},
        {"tyvar", {"-SIGHUP", T1}, "tyvar 1 tty=" + D1, ""},
        {"tyvar", {"-9", T1}, "tyvar 9 tty=" + D1, ""},
        {"tyvar", {"-0", T1}, "tyvar 0 tty=" + D1, ""},
        {"tyvar", {"-v", "-KILL", T1}, "tyvar 15 v tty=" + D1 + " cmd=[-KILL]", ""},
        {"tyvar", {T1, "-KILL"}, "tyvar 9 tty=" + D1, ""},
        {"tyvar", {"-KILL", "-HUP", T1}, "", usage},
        {"tyvar", {"-l", T1}, "", usage},
        {"tyvar", {T1, "-L"}, "", usage},
        {"tyvar", {T1, "-V"}, "", usage},
        {"tyvar", {"-KILL", "-v"}, "", "ERROR: no process selection criteria.\n"},
        {"tyvar", {"-v"}, "", usage},
        {"tyvar", {"-v", "-v", T1}, "tyvar 15 v tty=" + D1 + " cmd=[-v]", ""},
        {"tyvar", {"-vv", T1}, "", "ERROR: general flags may not be repeated.\n"},
        {"tyvar", {"-v", T1, "-v"}, "", "ERROR: general flags may not be repeated.\n"},
        {"tyvar", {"-ww", T1}, "", "ERROR: general flags may not be repeated.\n"},
        {"tyvar", {"-ff", T1}, "", "ERROR: general flags may not be repeated.\n"},
        {"tyvar", {"-i", "-v", T1}, "tyvar 15 i tty=" + D1 + " cmd=[-v]", ""},
        {"tyvar", {"-iv", T1}, "", "ERROR: -i makes no sense with -v, -f, and -n.\n"},
        {"tyvar", {"-in", T1}, "", "ERROR: -i makes no sense with -v, -f, and -n.\n"},
        {"tyvar", {"-fi", T1}, "", "ERROR: -i makes no sense with -v, -f, and -n.\n"},
        {"tyvar", {"-fv", T1}, "", "ERROR: -v makes no sense with -i and -f.\n"},
        {"tyvar", {"-fwn", T1}, "tyvar 0 fwn tty=" + D1, ""},
        {"tyvar", {"-iw", T1}, "tyvar 15 iw tty=" + D1, ""},
        {"tyvar", {"-vwn", T1}, "tyvar 0 vwn tty=" + D1, ""},
        {"tyvar", {"-tpts/999999", T1}, "", "ERROR: -t used with bad data.\n"},
        {"tyvar", {"-t" + T1, "-KILL"}, "tyvar 9 tty=" + D1, ""},
        {"tyvar", {"-t", T1, "-KILL"}, "tyvar 9 tty=" + D1, ""},
        {"tyvar", {"-vt", T1, "-KILL"}, "tyvar 9 v tty=" + D1, ""},
        {"tyvar", {"-tv", T1}, "", "ERROR: -t used with bad data.\n"},
        {"tyvar", {T1, "-t"}, "", "ERROR: -t with nothing after it.\n"},
        {"tyvar", {"-vc"}, "", usage},
        {"tyvar", {T1, "-vc"}, "", "ERROR: -c with nothing after it.\n"},
        {"tyvar", {"-u", "nosuchuser"}, "", "ERROR: -u used with bad data.\n"},
        {"tyvar", {"-u", "0"}, "", "ERROR: -u used with bad data.\n"},
        {"tyvar", {"-u", "root", "-unobody"}, "tyvar 15 uid=0,65534", ""},
        {"tyvar", {"-p", "12x"}, "", "ERROR: -p used with bad data.\n"},
        {"tyvar", {"-p", "-5"}, "", "ERROR: -p used with bad data.\n"},
        {"tyvar", {"-p", "+5"}, "", "ERROR: -p used with bad data.\n"},
        {"tyvar", {"-p", ""}, "", "ERROR: -p used with bad data.\n"},
        {"tyvar", {"-p", "0x10", "-p99999999999"}, "tyvar 15 pid=16,2147483647", ""},
        {"tyvar", {"-c", "-v"}, "tyvar 15 cmd=[-v]", ""},
        {"tyvar", {"-c", ""}, "tyvar 15 cmd=[]", ""},
        {"tyvar", {"-ctv", T1}, "tyvar 15 tty=" + D1 + " cmd=[tv]", ""},
        {"tyvar", {"-c", T1}, "tyvar 15 cmd=[" + T1 + "]", ""},
        {"tyvar", {"-t", "-", "-t?"}, "tyvar 15 tty=0,0", ""},
        {"tyvar", {"?"}, "tyvar 15 tty=0", ""},
        {"tyvar", {"-v", "-"}, "tyvar 15 v tty=0", ""},
        {"tyvar", {"-"}, "", usage},
        {"tyvar", {"-KILL", "-"}, "tyvar 9 tty=0", ""},
        {"tyvar", {"0x1f"}, "tyvar 15 pid=31", ""},
        {"tyvar", {"010"}, "tyvar 15 pid=8", ""},
        {"tyvar", {"0"}, "tyvar 15 pid=0", ""},
        {"tyvar", {"08"}, "tyvar 15 cmd=[08]", ""},
        {"tyvar", {"12abc"}, "tyvar 15 cmd=[12abc]", ""},
        {"tyvar", {"+5"}, "tyvar 15 cmd=[+5]", ""},
        {"tyvar", {"root", "12"}, "tyvar 15 uid=0 pid=12", ""},
        {"tyvar", {"root", "root"}, "tyvar 15 uid=0,0", ""},
        {"tyvar", {T1, "root", "12", "x"}, "tyvar 15 tty=" + D1 + " uid=0 pid=12 cmd=[x]", ""},
        {"tyvar", {T1, "12", "-KILL"}, "tyvar 9 tty=" + D1 + " pid=12", ""},
        {"tyvar", {T1, T2}, "tyvar 15 tty=" + D1 + "," + D2, ""},
        {"tyvar", {T1, "-KILL", T1}, "tyvar 9 tty=" + D1 + "," + D1, ""},
        {"tyvar", {"-KILL", "-n", T1}, "tyvar 0 n tty=" + D1, ""},
        {"tyvar", {"-n", "-KILL", T1}, "tyvar 0 n tty=" + D1 + " cmd=[-KILL]", ""},
        {"tyvar", {"x", "-KILL", "y", "-HUP"}, "", usage},
        {"tyvar", {"x", "-BOGUS", "y"}, "", usage},
    };
    for (const Case &c : cases)
        check(c);
}

TEST_F(Grammar, Priorities)
{
    const std::string &T1 = tty[0], &D1 = dev[0];
    const Case cases[] = {
        {"tezzo", {"netscape", "crack", "+7"}, "tezzo 7 cmd=[netscape][crack]", ""},
        {"tezzo", {"+7", T1}, "tezzo 7 tty=" + D1, ""},
        {"tezzo", {"-0", T1}, "tezzo 0 tty=" + D1, ""},
        {"tezzo", {"+999", T1}, "tezzo 999 tty=" + D1, ""},
        {"tezzo", {"-999", T1}, "tezzo -999 tty=" + D1, ""},
        {"tezzo", {"-20", T1}, "tezzo -20 tty=" + D1, ""},
        {"tezzo", {T1}, "tezzo 4 tty=" + D1, ""},
        {"tezzo", {"+1000", T1}, "tezzo 4 tty=" + D1 + " cmd=[+1000]", ""},
        {"tezzo", {"+99999999999", T1}, "tezzo 4 tty=" + D1 + " cmd=[+99999999999]", ""},
        {"tezzo", {"-1000", T1}, "", usage},
        {"tezzo", {"+7", "+5", T1}, "tezzo 7 tty=" + D1 + " cmd=[+5]", ""},
        {"tezzo", {"-7", "-5", T1}, "", usage},
        {"tezzo", {"-v", "+7", T1}, "tezzo 4 v tty=" + D1 + " cmd=[+7]", ""},
        {"tezzo", {"+", T1}, "tezzo 4 tty=" + D1 + " cmd=[+]", ""},
        {"tezzo", {"+7x", T1}, "tezzo 4 tty=" + D1 + " cmd=[+7x]", ""},
        {"tezzo", {"+ 7", T1}, "tezzo 4 tty=" + D1 + " cmd=[+ 7]", ""},
        {"tezzo", {"-KILL", T1}, "", usage},
        {"tezzo", {"-n", T1}, "tyvar 0 n tty=" + D1, ""},
        {"tezzo", {"+7", "-n", T1}, "tyvar 0 n tty=" + D1, ""},
        {"tezzo", {"-n", "-x"}, "tyvar 0 n cmd=[-x]", ""},
        {"tezzo", {"-nx", "a"}, "", usage},
        {"tezzo", {"-v"}, "", usage},
        {"tezzo", {"-v", "-v"}, "tezzo 4 v cmd=[-v]", ""},
    };
    for (const Case &c : cases)
        check(c);
}

// One-character criteria name a file of the working directory before anything else.
TEST_F(Grammar, WorkingDirectoryFiles)
{
    const std::string &T1 = tty[0], &D1 = dev[0];
    std::string with = temp_dir(), without = temp_dir();
    for (const char *file : {"v", "1", "0"})
        close(open((with + "/" + file).c_str(), O_CREAT | O_WRONLY, 0600));
    check({"tyvar", {"-tv", T1}, "tyvar 15 tty=0," + D1, ""}, with);
    check({"tyvar", {"-tv", T1}, "", "ERROR: -t used with bad data.\n"}, without);
    check({"tyvar", {"1"}, "tyvar 15 tty=0", ""}, with);
    check({"tyvar", {"1"}, "tyvar 15 pid=1", ""}, without);
    check({"tyvar", {"0", "12"}, "tyvar 15 tty=0 pid=12", ""}, with);
}

// A word that is a user name and a device: a user after an accepted terminal, else a terminal.
TEST_F(Grammar, UserNamedLikeADevice)
{
    if (!namespaces_available())
        GTEST_SKIP() << "no user or mount namespaces here";
    struct stat st;
    ASSERT_EQ(stat("/dev/console", &st), 0);
    const std::string console = std::to_string((int32_t)(uint32_t)st.st_rdev);
    const std::string users = "console:x:4242:4242::/:/bin/false\n0:x:4343:4343::/:/bin/false\n";
    const std::string &T1 = tty[0], &D1 = dev[0];
    check({"tyvar", {T1, "console"}, "tyvar 15 tty=" + D1 + " uid=4242", ""}, "", users);
    check({"tyvar", {"console"}, "tyvar 15 tty=" + console, ""}, "", users);
    check({"tyvar", {"xyz", "console"}, "tyvar 15 tty=" + console + " cmd=[xyz]", ""}, "", users);
    check({"tyvar", {"-u", "0"}, "tyvar 15 uid=4343", ""}, "", users);
    check({"tyvar", {"-u", "console", "console"}, "tyvar 15 tty=" + console + " uid=4242", ""}, "", users);
}

// "/dev/" and the text must fit 31 characters whole; a cut path could name another device.
TEST_F(Grammar, LongTerminalTextsAreNeverCut)
{
    const std::string &T1 = tty[0], &D1 = dev[0];
    std::string fits = std::string(26 - T1.size(), '/') + T1; // "/dev/" + 26 characters
    check({"tyvar", {"-t", fits}, "tyvar 15 tty=" + D1, ""});
    check({"tyvar", {"-t", fits + "x"}, "", "ERROR: -t used with bad data.\n"});
    check({"tyvar", {fits + "x"}, "tyvar 15 cmd=[" + fits + "x]", ""});
}

} // namespace
