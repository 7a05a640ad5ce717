// Signal names and numbers of the real library: conversions for every signal of this machine,
// and the shapes of the list, the table and the converted output.
#include "kelpa.h"
#include "signals.h"

#include <signal.h>

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

TEST(Signals, NamesToNumbers)
{
    struct Case {
        std::string text;
        int number;
    } cases[] = {
        {"KILL", SIGKILL},      {"SIGKILL", SIGKILL},     {"HUP", SIGHUP},
        {"TERM", SIGTERM},      {"IOT", SIGABRT},         {"CLD", SIGCHLD},
        {"POLL", SIGIO},        {"IO", SIGIO},            {"SIGCHLD", SIGCHLD},
        {"SYS", SIGSYS},        {"RTMIN", SIGRTMIN},      {"SIGRTMIN", SIGRTMIN},
        {"RTMIN+1", SIGRTMIN + 1}, {"RTMIN+0", SIGRTMIN}, {"RTMAX", SIGRTMAX},
        {"RTMAX-1", SIGRTMAX - 1}, {"SIGRTMAX-3", SIGRTMAX - 3},
        {"RTMIN+" + std::to_string(SIGRTMAX - SIGRTMIN), SIGRTMAX},
        {"RTMAX-" + std::to_string(SIGRTMAX - SIGRTMIN), SIGRTMIN},
        {"0", 0},               {"9", 9},                 {"15", 15},
        {"09", 9},              {std::to_string(SIGRTMAX), SIGRTMAX},
        // Everything else names no signal; lower case above all, so that option clusters
        // such as -v or -vt are never taken for signals.
        {"kill", -1},  {"Kill", -1},   {"sigkill", -1}, {"v", -1},      {"vt", -1},
        {"n", -1},     {"", -1},       {"SIG", -1},     {"SIGSIGKILL", -1}, {"SIG9", -1},
        {"+9", -1},    {"-9", -1},     {" 9", -1},      {"9 ", -1},     {"9x", -1},
        {"RTMIN+", -1}, {"RTMIN-1", -1}, {"RTMAX+1", -1}, {"RTMIN+x", -1},
        {"RTMIN+" + std::to_string(SIGRTMAX - SIGRTMIN + 1), -1},
        {"RTMAX-" + std::to_string(SIGRTMAX - SIGRTMIN + 1), -1},
        {std::to_string(SIGRTMAX + 1), -1}, {"99999999999999999999", -1}, {"KILL ", -1},
    };
    for (const Case &c : cases) {
        int got = signal_name_to_number(c.text.c_str());
        if (c.number < 0)
            EXPECT_LT(got, 0) << '"' << c.text << '"';
        else
            EXPECT_EQ(got, c.number) << '"' << c.text << '"';
    }
    EXPECT_LT(signal_name_to_number(nullptr), 0);
}

// Every named signal of this machine converts name -> number -> name, with or without SIG.
TEST(Signals, RoundTripForEverySignal)
{
    char buf[signal_name_size];
    int named = 0;
    for (int sig = 1; sig <= SIGRTMAX; ++sig) {
        const char *name = signal_name(sig, buf);
        if (name == nullptr) {
            EXPECT_TRUE(sig > SIGSYS && sig < SIGRTMIN) << sig; // only the C library's reserved ones
            continue;
        }
        ++named;
        std::string text = name;
        EXPECT_EQ(signal_name_to_number(text.c_str()), sig) << text;
        EXPECT_EQ(signal_name_to_number(("SIG" + text).c_str()), sig) << text;
        const char *args[] = {text.c_str()};
        CaptureStdout();
        EXPECT_EQ(print_given_signals(1, args, 80), 0);
        EXPECT_EQ(GetCapturedStdout(), std::to_string(sig) + "\n");
        std::string number = std::to_string(sig);
        args[0] = number.c_str();
        CaptureStdout();
        EXPECT_EQ(print_given_signals(1, args, 80), 0);
        EXPECT_EQ(GetCapturedStdout(), text + "\n");
    }
    EXPECT_EQ(named, SIGSYS + (SIGRTMAX - SIGRTMIN + 1));
}

TEST(Signals, ListHasEveryNameOnceInShortLines)
{
    CaptureStdout();
    unix_print_signals();
    std::string out = GetCapturedStdout();
    ASSERT_TRUE(out.ends_with("\n"));
    std::string expected, line;
    char buf[signal_name_size];
    for (int sig = 1; sig <= SIGRTMAX; ++sig)
        if (const char *name = signal_name(sig, buf))
            expected += (expected.empty() ? "" : " ") + std::string(name);
    std::string joined;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        line = out.substr(start, end - start);
        EXPECT_LT(line.size(), 80u) << line;
        EXPECT_FALSE(line.empty() || line.front() == ' ' || line.back() == ' ') << '"' << line << '"';
        joined += (joined.empty() ? "" : " ") + line;
        start = end + 1;
    }
    EXPECT_EQ(joined, expected);
    EXPECT_TRUE(out.starts_with("HUP INT QUIT ILL TRAP ABRT BUS FPE KILL USR1 SEGV USR2 PIPE "));
}

TEST(Signals, TableHasNumberAndNameColumns)
{
    CaptureStdout();
    pretty_print_signals();
    std::string out = GetCapturedStdout();
    EXPECT_TRUE(out.starts_with(" 1 HUP       2 INT       3 QUIT      4 ILL       5 TRAP      6 ABRT\n"
                                " 7 BUS       8 FPE       9 KILL     10 USR1     11 SEGV     12 USR2\n"))
        << out;
    std::set<std::string> entries;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        std::string line = out.substr(start, end - start);
        EXPECT_LT(line.size(), 80u);
        EXPECT_NE(line.back(), ' ') << '"' << line << '"';
        for (size_t col = 0; col < line.size(); col += 12)
            entries.insert(line.substr(col, line.find(' ', col + 3) - col));
        start = end + 1;
    }
    char buf[signal_name_size];
    for (int sig = 1; sig <= SIGRTMAX; ++sig)
        if (const char *name = signal_name(sig, buf)) {
            char entry[32];
            snprintf(entry, sizeof entry, "%2d %s", sig, name);
            EXPECT_TRUE(entries.count(entry)) << entry;
        }
}

TEST(Signals, GivenSignalsWrapAndReportFailures)
{
    const char *args[] = {"1", "2", "3", "NOPE", "4", "5", "SIGUSR1", "0", "32"};
    CaptureStdout();
    CaptureStderr();
    int status = print_given_signals(9, args, 14);
    std::string out = GetCapturedStdout(), err = GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, "HUP INT QUIT\nILL TRAP " + std::to_string(SIGUSR1) + "\n");
    EXPECT_EQ(err, "ERROR: unknown signal \"NOPE\".\n"
                   "ERROR: unknown signal \"0\".\n"
                   "ERROR: unknown signal \"32\".\n");

    const char *none[] = {"x"};
    CaptureStdout();
    CaptureStderr();
    EXPECT_EQ(print_given_signals(1, none, 80), 1);
    EXPECT_EQ(GetCapturedStdout(), "");
    GetCapturedStderr();
    CaptureStdout();
    EXPECT_EQ(print_given_signals(0, none, 80), 0);
    EXPECT_EQ(GetCapturedStdout(), "");
}

// A number above 128 is an exit status, as shells give it: 128 + the signal that ended a
// process. Numbers between the signals and 129, and past 128 + the last signal, stay errors.
TEST(Signals, GivenExitStatusesConvertLikeTheirSignal)
{
    struct Case {
        std::string text, out;
    } cases[] = {
        {"143", "TERM"},   {"137", "KILL"}, {"129", "HUP"}, {"0143", "TERM"},
        {std::to_string(128 + SIGRTMIN), "RTMIN"},
        {std::to_string(128 + SIGRTMAX), "RTMAX"},
        {"0", ""},          {std::to_string(SIGRTMAX + 1), ""}, {"128", ""},
        {std::to_string(128 + SIGRTMAX + 1), ""}, {"160", ""}, {"256", ""},
        {"4294967439", ""}, {"143x", ""},
    };
    for (const Case &c : cases) {
        const char *args[] = {c.text.c_str()};
        CaptureStdout();
        CaptureStderr();
        int status = print_given_signals(1, args, 80);
        std::string out = GetCapturedStdout(), err = GetCapturedStderr();
        if (c.out.empty()) {
            EXPECT_EQ(status, 1) << c.text;
            EXPECT_EQ(out, "") << c.text;
            EXPECT_EQ(err, "ERROR: unknown signal \"" + c.text + "\".\n");
        } else {
            EXPECT_EQ(status, 0) << c.text;
            EXPECT_EQ(out, c.out + "\n") << c.text;
            EXPECT_EQ(err, "") << c.text;
        }
    }
}

} // namespace
