// Matching and action, run as users meet them, against a /proc of the test's own making (in a
// mount namespace), the recording stand-in and the stand-in library: which processes are
// picked, in which order, what is called for them and every line printed about them.
#include "harness.h"
#include "texts.h"

#include <errno.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string stat_line(int pid, const std::string &name, const std::string &tty)
{
    std::string id = std::to_string(pid);
    return id + " (" + name + ") S 1 " + id + " " + id + " " + tty + " -1 4194560 118 0 0 0 0\n";
}

FakeProcess process(int pid, const std::string &name, const std::string &tty = "0", uid_t owner = 0)
{
    return {std::to_string(pid), stat_line(pid, name, tty), owner};
}

// A small machine: the own process (named like the others), and a handful of neighbours.
const std::vector<FakeProcess> machine = {
    {"self", stat_line(1, "alpha", "259"), 0},
    process(101, "alpha", "259"),
    process(102, "beta", "0"),
    process(103, "alpha", "0", 65534),
    process(104, "alphabet", "259"),
    process(105, "Alpha", "259"),
    process(106, "alph", "259"),
    process(107, "a) b) 7 (c", "259"),
    {"108", "-", 0},
};

struct Outcome {
    RunResult result;
    std::vector<std::string> calls; // kill/setpriority calls, in order
    std::vector<std::string> library; // calls into the stand-in library
};

Outcome run(const std::string &name, const std::vector<std::string> &args,
            const std::vector<FakeProcess> &procs = machine, const std::string &input = "",
            int error = 0, std::vector<std::string> env = {})
{
    Recording rec = recorder({}, error);
    Recording lib = fake_library();
    env.insert(env.end(), rec.env.begin(), rec.env.end());
    env.insert(env.end(), lib.env.begin(), lib.env.end());
    Outcome o;
    o.result = run_tyvar(name, args,
                         {.input = input, .has_input = true, .env = env, .use_fake_proc = true,
                          .fake_proc = procs});
    // The first call is the program's raise of its own priority; the rest are its actions.
    std::vector<std::string> calls = rec.calls();
    if (!calls.empty() && calls[0].starts_with("setpriority 0 ") && calls[0].ends_with(" -20"))
        calls.erase(calls.begin());
    o.calls = calls;
    o.library = lib.calls();
    return o;
}

std::vector<std::string> sorted(std::vector<std::string> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

class Selection : public testing::Test {
protected:
    void SetUp() override
    {
        if (!namespaces_available())
            GTEST_SKIP() << "no user or mount namespaces here";
        if (!other_owners_available())
            GTEST_SKIP() << "processes of other users cannot be faked: this user has no subordinate IDs "
                            "(/etc/subuid, /etc/subgid and newuidmap from the uidmap package)";
    }
};

using Calls = std::vector<std::string>;

TEST_F(Selection, ScanMatchesCommandsExactlyAndSkipsItself)
{
    Outcome o = run("tyvar", {"-n", "alpha"});
    EXPECT_EQ(sorted(lines_of(o.result.out)), (Calls{"101", "103"}));
    EXPECT_EQ(o.result.err, "");
    EXPECT_EQ(o.result.status, 0);
    EXPECT_EQ(sorted(o.calls), (Calls{"kill 101 0", "kill 103 0"}));

    o = run("tyvar", {"-HUP", "-c", "a) b) 7 (c", "-c", "Alpha"});
    EXPECT_EQ(sorted(o.calls), (Calls{"kill 105 1", "kill 107 1"}));
    EXPECT_EQ(o.result.out, "");
}

TEST_F(Selection, CriteriaCombine)
{
    struct Case {
        std::vector<std::string> args;
        Calls calls;
    } cases[] = {
        {{"-nt", "null"}, {"kill 101 0", "kill 104 0", "kill 105 0", "kill 106 0", "kill 107 0"}},
        {{"-n", "?", "alpha"}, {"kill 103 0"}},
        {{"-nu", "nobody"}, {"kill 103 0"}},
        {{"-n", "root", "alpha"}, {"kill 101 0"}},
        {{"-n", "root", "-u", "nobody", "-c", "alpha"}, {"kill 101 0", "kill 103 0"}},
        {{"-n", "null", "?", "beta", "alph"}, {"kill 102 0", "kill 106 0"}},
        {{"-np", "103", "-p", "102", "beta"}, {"kill 102 0"}},
        {{"-nu", "nobody", "beta"}, {}},
    };
    for (const Case &c : cases) {
        Outcome o = run("tyvar", c.args);
        EXPECT_EQ(sorted(o.calls), c.calls) << testing::PrintToString(c.args);
        EXPECT_EQ(o.result.status, 0);
    }
}

TEST_F(Selection, ListedIdsGoFromLastToFirst)
{
    Outcome o = run("tyvar", {"-n", "101", "102", "103", "101"});
    EXPECT_EQ(o.calls, (Calls{"kill 101 0", "kill 103 0", "kill 102 0", "kill 101 0"}));
    EXPECT_EQ(o.result.out, "101\n103\n102\n101\n");

    o = run("tezzo", {"+7", "102", "101"});
    EXPECT_EQ(o.calls, (Calls{"setpriority 0 101 7", "setpriority 0 102 7"}));
    EXPECT_EQ(o.result.out, "");
    // A renice to -20 is an action like any other, not the program's raise of its own priority.
    o = run("tezzo", {"-20", "101"});
    EXPECT_EQ(o.calls, (Calls{"setpriority 0 101 -20"}));
}

TEST_F(Selection, NotFoundWarningsOnlyForListedIdsWithW)
{
    Outcome o = run("tyvar", {"-wn", "0", "999", "108", "101"});
    EXPECT_EQ(o.result.out, "101\nWARNING: process 108 could not be found."
                            "WARNING: process 999 could not be found."
                            "WARNING: process 0 could not be found.");
    EXPECT_EQ(o.calls, (Calls{"kill 101 0"}));
    EXPECT_EQ(run("tyvar", {"-n", "0", "999"}).result.out, "");
    // Without listed IDs, a process gone before its file is opened passes unmentioned.
    EXPECT_EQ(sorted(lines_of(run("tyvar", {"-wn", "?"}).result.out)), (Calls{"102", "103"}));
}

TEST_F(Selection, ProcessLinesByteForByte)
{
    std::vector<FakeProcess> procs = {process(7, "alpha", "259"), process(31337, "beta", "0", 65534),
                                      process(99999, "a-name-longer-than-16", "-5")};
    Outcome o = run("tyvar", {"-vp", "99999", "31337", "7"}, procs);
    EXPECT_EQ(o.result.out, "tty259   user0        7 alpha           \n"
                            "tty0     user65534 31337 beta            \n"
                            "tty-5    user0    99999 a-name-longer-th\n");
    EXPECT_EQ(o.result.err, "");
    // The terminal field reaches the library sign-extended, with the bound and the flag.
    Calls tty_calls;
    for (const std::string &call : o.library)
        if (call.starts_with("dev_to_tty"))
            tty_calls.push_back(call);
    EXPECT_EQ(tty_calls, (Calls{"dev_to_tty 999 259 7 1", "dev_to_tty 999 0 31337 1",
                                "dev_to_tty 999 18446744073709551611 99999 1"}));

    o = run("tyvar", {"-vn", "7"}, procs);
    EXPECT_EQ(o.result.out, "tty259   user0        7 alpha           \n");
    EXPECT_EQ(o.calls, (Calls{"kill 7 0"}));

    EXPECT_EQ(run("tyvar", {"7"}, procs).result.out, "");
}

TEST_F(Selection, TezzoRenicesAndProbesWithN)
{
    Outcome o = run("tezzo", {"-v", "alpha"});
    EXPECT_EQ(sorted(o.calls), (Calls{"setpriority 0 101 4", "setpriority 0 103 4"}));
    EXPECT_EQ(sorted(lines_of(o.result.out)),
              (Calls{"tty0     user65534   103 alpha           ", "tty259   user0      101 alpha           "}));
    o = run("tezzo", {"-10", "-n", "beta"});
    EXPECT_EQ(o.calls, (Calls{"kill 102 0"}));
    EXPECT_EQ(o.result.out, "102\n");
}

TEST_F(Selection, FailedActions)
{
    std::vector<FakeProcess> procs = {process(7, "alpha", "259"), process(8, "alpha", "0")};
    const std::string report7 = "tty259   user0        7 alpha              Operation not permitted\n";
    const std::string report8 = "tty0     user0        8 alpha              Operation not permitted\n";
    // With -w: the failure report replaces the other lines; the status stays 0.
    Outcome o = run("tyvar", {"-wv", "8", "7"}, procs, "", EPERM);
    EXPECT_EQ(o.result.err, report7 + report8);
    EXPECT_EQ(o.result.out, "");
    EXPECT_EQ(o.result.status, 0);
    o = run("tezzo", {"-wn", "7"}, procs, "", ESRCH);
    EXPECT_EQ(o.result.err, "tty259   user0        7 alpha              No such process\n");
    EXPECT_EQ(o.result.out, "");
    // Without -w a failure looks like a success.
    o = run("tyvar", {"-v", "8", "7"}, procs, "", EPERM);
    EXPECT_EQ(o.result.out, "tty259   user0        7 alpha           \n"
                            "tty0     user0        8 alpha           \n");
    EXPECT_EQ(o.result.err, "");
    // Asked first, then told.
    o = run("tyvar", {"-iw", "7"}, procs, "y\n", EPERM);
    EXPECT_EQ(o.result.err, "tty259   user0        7 alpha              ? " + report7);
    EXPECT_EQ(o.result.out, "");
}

TEST_F(Selection, Interactive)
{
    std::vector<FakeProcess> procs = {process(7, "alpha", "259"), process(8, "alpha", "0"),
                                      process(9, "alpha", "0")};
    const std::string ask7 = "tty259   user0        7 alpha              ? ";
    const std::string ask8 = "tty0     user0        8 alpha              ? ";
    const std::string ask9 = "tty0     user0        9 alpha              ? ";
    struct Case {
        std::string input;
        Calls calls;
        std::string err, out;
    } cases[] = {
        {"y\nn\nY\n", {"kill 9 15", "kill 7 15"}, ask9 + ask8 + ask7, ""},
        {"yes\nYes\nno\n", {"kill 9 15", "kill 8 15"}, ask9 + ask8 + ask7, ""},
        {" y\n\nN\n", {}, ask9 + ask8 + ask7, ""},
        // A long reply is taken six characters at a time, each piece answering one prompt.
        {"nnnnnny\ny\n", {"kill 8 15", "kill 7 15"}, ask9 + ask8 + ask7, ""},
        {"yyyyyyyyyyyyn", {"kill 9 15", "kill 8 15"}, ask9 + ask8 + ask7, ""},
        // End of input ends the run: a line end on standard output, status 0.
        {"", {}, ask9, "\n"},
        {"y\n", {"kill 9 15"}, ask9 + ask8, "\n"},
    };
    for (const Case &c : cases) {
        Outcome o = run("tyvar", {"-i", "7", "8", "9"}, procs, c.input);
        EXPECT_EQ(o.calls, c.calls) << '"' << c.input << '"';
        EXPECT_EQ(o.result.err, c.err) << '"' << c.input << '"';
        EXPECT_EQ(o.result.out, c.out) << '"' << c.input << '"';
        EXPECT_EQ(o.result.status, 0);
    }
}

// Anyone can name a process: its name must reach the terminal without control bytes.
TEST_F(Selection, ControlBytesInNamesAreMasked)
{
    std::string name = "ev\x1b[2J\x07il\x7f";
    std::vector<FakeProcess> procs = {process(7, name, "0")};
    Outcome o = run("tyvar", {"-vc", name}, procs);
    EXPECT_EQ(o.result.out, "tty0     user0        7 ev?[2J?il?      \n");
    o = run("tyvar", {"-iwc", name}, procs, "y\n", EPERM);
    EXPECT_EQ(o.result.err, "tty0     user0        7 ev?[2J?il?         ? "
                            "tty0     user0        7 ev?[2J?il?         Operation not permitted\n");
}

// Stat texts that end early or lack their parts are passed over without a word.
TEST_F(Selection, DamagedStatTextsAreSkipped)
{
    std::vector<FakeProcess> procs = {
        {"11", "", 0},
        {"12", "12 (nameless S 1 12 12 0 -1\n", 0},
        {"13", "13 name) S 1 13 13 0 -1\n", 0},
        {"14", "14 )x( S 1 14 14 0\n", 0},
        {"15", "15 (x) S 1 15 15", 0},
        {"16", "16 (x) S " + std::string(120, '1') + " 16 16 0 -1\n", 0},
        {"17", "17 (x) S 1 17 17 0 -1\n", 0},
    };
    Outcome o = run("tyvar", {"-wnp", "17", "16", "15", "14", "13", "12", "11"}, procs);
    EXPECT_EQ(o.result.out, "17\n");
    EXPECT_EQ(o.result.err, "");
    EXPECT_EQ(o.calls, (Calls{"kill 17 0"}));
}

// The name runs from the first '(' to the last ')', and the fields are counted from there.
TEST_F(Selection, NamesWithBlanksAndParentheses)
{
    std::vector<FakeProcess> procs = {{"21", "21 (x) S 1 2 3 4 (y) S 1 21 21 259 -1\n", 0}};
    Outcome o = run("tyvar", {"-vc", "x) S 1 2 3 4 (y"}, procs);
    EXPECT_EQ(o.result.out, "tty259   user0       21 x) S 1 2 3 4 (y \n");
}

// A user criterion is asked of the process's directory first and of its held file after: an
// ID that passed to another owner in between is not selected.
TEST_F(Selection, OwnerAskedOfTheDirectoryAndAgainOfTheFile)
{
    std::vector<FakeProcess> procs = {
        process(7, "alpha", "0", 65534),
        {"8", stat_line(8, "alpha", "0"), 0, 65534},     // the file's owner is root
        {"9", stat_line(9, "alpha", "0"), 65534, 0},     // the directory's owner is root
        {"10", "-", 65534},                              // a directory without files
    };
    Outcome o = run("tyvar", {"-nu", "nobody"}, procs);
    EXPECT_EQ(o.calls, (Calls{"kill 7 0"}));
    o = run("tyvar", {"-wnu", "nobody", "-p", "10", "-p", "9", "-p", "8", "-p", "7", "-p", "11"}, procs);
    EXPECT_EQ(o.result.out, "WARNING: process 11 could not be found.7\n"
                            "WARNING: process 10 could not be found.");
    EXPECT_EQ(o.calls, (Calls{"kill 7 0"}));
}

// Names come from comm; the stat line is read where its terminal is needed: for a terminal
// criterion and for lines about a process (a damaged stat line then passes it over).
TEST_F(Selection, StatLineOnlyWhereItsTerminalIsNeeded)
{
    std::vector<FakeProcess> procs = {{"7", "7 (alpha) S 1 7 7", 0}, process(8, "alpha", "0")};
    struct Case {
        std::vector<std::string> args;
        Calls calls;
        std::string out;
    } cases[] = {
        {{"-n", "alpha"}, {"kill 7 0", "kill 8 0"}, ""},
        {{"-n", "?", "alpha"}, {"kill 8 0"}, "8\n"},
        {{"-v", "alpha"}, {"kill 8 15"}, "tty0     user0        8 alpha           \n"},
        {{"-w", "alpha"}, {"kill 8 15"}, ""},
    };
    for (const Case &c : cases) {
        Outcome o = run("tyvar", c.args, procs);
        EXPECT_EQ(sorted(o.calls), c.calls) << testing::PrintToString(c.args);
        if (c.args.size() > 2 || c.args[0] != "-n") { // two IDs in the directory's order
            EXPECT_EQ(o.result.out, c.out) << testing::PrintToString(c.args);
        }
    }
}

TEST_F(Selection, UnreadableProcDirectory)
{
    Outcome o = run("tyvar", {"-n", "alpha"}, machine, "", 0, {"REC_OPENDIR_ERRNO=13"});
    EXPECT_EQ(o.result.err, "/proc: Permission denied\n");
    EXPECT_EQ(o.result.out, "");
    EXPECT_EQ(o.result.status, 1);
    // Listed IDs never need the directory.
    o = run("tyvar", {"-n", "101"}, machine, "", 0, {"REC_OPENDIR_ERRNO=13"});
    EXPECT_EQ(o.result.out, "101\n");
    EXPECT_EQ(o.result.status, 0);
}

TEST(SelectionMemory, NoRoomForAListEndsWithStatus2)
{
    // Room for 140001 command names is more than the allocator will give; the sanitizers'
    // allocator is told the same through its own options.
    std::vector<std::string> args{"-n"};
    args.insert(args.end(), 140000, "x");
    RunResult r = run_tyvar("tyvar", args,
                            {.env = {"LD_PRELOAD=" NOMEM_SO, "NOMEM_AT_LEAST=500000",
                                     "ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=1"}});
#ifdef KELPA_SANITIZE
    EXPECT_TRUE(r.err.ends_with("\nNo memory.\n")) << r.err; // after the allocator's own warning
#else
    EXPECT_EQ(r.err, "No memory.\n");
#endif
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 2);
}

TEST(SelectionRequests, AnsweredThroughTheLibrary)
{
    struct Case {
        const char *name, *arg, *out;
    } cases[] = {
        {"tyvar", "-L", "<signal table>\n"},  {"tezzo", "-L", "<signal table>\n"},
        {"tyvar", "-l", "<signal list>\n"},   {"tezzo", "-l", "<signal list>\n"},
        {"tyvar", "-V", "tyvar (FAKE-VERSION)\n"}, {"tezzo", "--version", "tezzo (FAKE-VERSION)\n"},
    };
    for (const Case &c : cases) {
        RunResult r = run_tyvar(c.name, {c.arg}, {.env = fake_library().env});
        EXPECT_EQ(r.out, c.out) << c.name << " " << c.arg;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.status, 0);
    }
}

} // namespace
