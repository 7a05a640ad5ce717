// The kill command line, as users meet it: every rule, message, usage and exit status, the
// order in which IDs are signalled, and real signals to the test's own children.
#include "harness.h"
#include "texts.h"

#include <errno.h>
#include <signal.h>

#include <gtest/gtest.h>

namespace {

struct KillCase {
    std::vector<std::string> args;
    std::string out;
    std::string err;
    int status;
    std::vector<std::string> calls; // both kill calls and the library's calls, in order
};

std::string garbage(const std::string &text)
{
    return "ERROR: garbage process ID \"" + text + "\".\n" + kill_usage;
}

std::string unknown(const std::string &text)
{
    return "ERROR: unknown signal name \"" + text + "\".\n" + kill_usage;
}

std::string name(const std::string &text)
{
    return "signal_name_to_number \"" + text + "\"";
}

void check(const KillCase &c, const std::vector<std::string> &extra_env = {})
{
    Recording rec = recorder_and_fake({}, extra_env);
    RunResult r = run_tyvar("kill", c.args, {.env = rec.env});
    std::string shown;
    for (const std::string &arg : c.args)
        shown += " [" + arg + "]";
    EXPECT_EQ(r.out, c.out) << shown;
    EXPECT_EQ(r.err, c.err) << shown;
    EXPECT_EQ(r.status, c.status) << shown;
    EXPECT_EQ(rec.calls(), c.calls) << shown;
}

TEST(Kill, CommandLineRules)
{
    const std::string usage = kill_usage;
    const KillCase cases[] = {
        {{}, "", usage, 1, {}},
        {{"-V", "12"}, "kill (FAKE-VERSION)\n", "", 0, {}},
        {{"--version", "x"}, "kill (FAKE-VERSION)\n", "", 0, {}},
        {{"12", "34", "56"}, "", "", 0, {"kill 56 15", "kill 34 15", "kill 12 15"}},
        {{"12", "x", "56"}, "", garbage("x"), 1, {"kill 56 15"}},
        {{"12", "-V"}, "", garbage("-V"), 1, {}},
        {{"-l"}, "<signal list>\n", "", 0, {"unix_print_signals"}},
        {{"-l", "-9"}, "", usage, 1, {}},
        {{"-l", "9", "-9"}, "<converted>\n", "", 0, {"print_given_signals 2 \"9\" \"-9\" 80"}},
        {{"-L"}, "<signal table>\n", "", 0, {"pretty_print_signals"}},
        {{"-L", "9"}, "", usage, 1, {}},
        {{"-9"}, "", unknown("9"), 1, {name("9")}},
        {{"-KILL"}, "", usage, 1, {name("KILL")}},
        {{"--"}, "", usage, 1, {}},
        {{"--", "-1"}, "", "", 0, {"kill -1 15"}},
        {{"--", "12", "-1"}, "", "", 0, {"kill -1 15", "kill 12 15"}},
        {{"--foo", "12"}, "", usage, 1, {}},
        {{"---"}, "", usage, 1, {}},
        {{"-s", "HUP", "12"}, "", "", 0, {name("HUP"), "kill 12 1"}},
        {{"-n", "HUP", "12", "13"}, "", "", 0, {name("HUP"), "kill 13 1", "kill 12 1"}},
        {{"-s", "HUP"}, "", usage, 1, {name("HUP")}},
        {{"-s"}, "", usage, 1, {}},
        {{"-n"}, "", usage, 1, {}},
        {{"-sHUP", "12"}, "", unknown("sHUP"), 1, {name("sHUP")}},
        {{"-l9", "12"}, "", unknown("l9"), 1, {name("l9")}},
        {{"-Lx", "12"}, "", unknown("Lx"), 1, {name("Lx")}},
        {{"-Vx", "12"}, "", unknown("Vx"), 1, {name("Vx")}},
        {{"-", "12"}, "", unknown(""), 1, {name("")}},
        {{"-BOGUS", "12"}, "", unknown("BOGUS"), 1, {name("BOGUS")}},
        {{"-s", "kill", "12"}, "", unknown("kill"), 1, {name("kill")}},
        {{"-ZERO", "12"}, "", "", 0, {name("ZERO"), "kill 12 0"}},
        {{"-KILL", "  12", "\t7"}, "", "", 0, {name("KILL"), "kill 7 9", "kill 12 9"}},
        {{"+12"}, "", "", 0, {"kill 12 15"}},
        {{"12x"}, "", garbage("12x"), 1, {}},
        {{"1", "+"}, "", garbage("+"), 1, {}},
        {{" "}, "", garbage(" "), 1, {}},
        {{""}, "", garbage(""), 1, {}},
        {{"12", ""}, "", garbage(""), 1, {}},
        {{"-KILL", "", "12"}, "", garbage(""), 1, {name("KILL"), "kill 12 9"}},
        {{"12 "}, "", garbage("12 "), 1, {}},
        {{"0x10"}, "", garbage("0x10"), 1, {}},
        {{"010"}, "", "", 0, {"kill 10 15"}},
        {{"0"}, "", "", 0, {"kill 0 15"}},
        {{"99999999999"}, "", "", 0, {"kill 2147483647 15"}},
        {{"--", "-99999999999"}, "", "", 0, {"kill -2147483648 15"}},
    };
    for (const KillCase &c : cases)
        check(c);
}

TEST(Kill, ConversionStatusComesFromTheLibrary)
{
    check({{"-l", "9", "HUP"}, "<converted>\n", "", 3, {"print_given_signals 2 \"9\" \"HUP\" 80"}},
          {"FAKE_STATUS=3"});
}

// At most 126 texts after -l are converted; one more and the usage text follows.
TEST(Kill, ConversionArgumentLimit)
{
    std::vector<std::string> args{"-l"};
    args.insert(args.end(), 126, "9");
    std::string expected = "print_given_signals 126";
    for (int i = 0; i < 126; ++i)
        expected += " \"9\"";
    check({args, "<converted>\n", "", 0, {expected + " 80"}});
    args.push_back("9");
    check({args, "", kill_usage, 1, {}});
}

TEST(Kill, FailedSignalsMakeStatus1WithoutAWord)
{
    Recording rec = recorder({}, ESRCH);
    RunResult r = run_tyvar("kill", {"12", "34"}, {.env = rec.env});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(rec.calls(), (std::vector<std::string>{"kill 34 15", "kill 12 15"}));
}

// Real signals, to the test's own children only, through the real library.
TEST(Kill, SignalsOwnChildren)
{
    pid_t term = spawn_named("kelpa-kt-term");
    pid_t hup = spawn_named("kelpa-kt-hup");
    pid_t probe = spawn_named("kelpa-kt-probe");

    RunResult r = run_tyvar("kill", {std::to_string(term)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(wait_status(term), 128 + SIGTERM);

    r = run_tyvar("kill", {"-s", "SIGHUP", std::to_string(hup)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(wait_status(hup), 128 + SIGHUP);

    r = run_tyvar("kill", {"-0", std::to_string(probe)});
    EXPECT_EQ(r.status, 0) << r.err;
    r = run_tyvar("kill", {"-KILL", std::to_string(probe)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(wait_status(probe), 128 + SIGKILL);
}

TEST(Kill, MissingProcessGivesStatus1)
{
    // Beyond any pid_max the kernel allows, so it can never name a process.
    RunResult r = run_tyvar("kill", {"-0", "2147483647"});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 1);
}

TEST(Kill, RealLibraryListings)
{
    RunResult r = run_tyvar("kill", {"-l"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("HUP INT QUIT ILL TRAP ABRT ")) << r.out;
    EXPECT_TRUE(r.out.ends_with(" RTMAX\n")) << r.out;

    r = run_tyvar("kill", {"-l", "9", "SIGHUP", "nosuch", "15"});
    EXPECT_EQ(r.out, "KILL 1 TERM\n");
    EXPECT_EQ(r.err, "ERROR: unknown signal \"nosuch\".\n");
    EXPECT_EQ(r.status, 1);

    // As a script names what ended a child: kill -l $?
    r = run_tyvar("kill", {"-l", "143", "137"});
    EXPECT_EQ(r.out, "TERM KILL\n");
    EXPECT_EQ(r.status, 0);
}

} // namespace
