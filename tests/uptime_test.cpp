// The uptime front end and the library's status line: its parsers, its layout, the live line.
#include "harness.h"
#include "kelpa.h"
#include "texts.h"
#include "uptime.h"

#include <regex>
#include <string>

#include <gtest/gtest.h>

int uptime_main(int argc, char **argv);

namespace {

TEST(Uptime, CommandLine)
{
    struct Case {
        std::vector<std::string> args;
        std::string out, err;
        int status;
    } cases[] = {
        {{}, "<status line>\n", "", 0},
        {{"-V"}, "<version>\n", "", 0},
        {{"-V", "-V"}, "", uptime_usage, 1},
        {{"--version"}, "", uptime_usage, 1},
        {{"-v"}, "", uptime_usage, 1},
        {{"-"}, "", uptime_usage, 1},
        {{"-Vx"}, "", uptime_usage, 1},
        {{"word"}, "", uptime_usage, 1},
        {{""}, "", uptime_usage, 1},
    };
    for (const Case &c : cases) {
        std::vector<std::string> argv{"uptime"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        Recording lib = fake_library();
        RunResult r = run_program(UPTIME_BIN, argv, {.env = lib.env});
        EXPECT_EQ(r.out, c.out) << testing::PrintToString(c.args);
        EXPECT_EQ(r.err, c.err) << testing::PrintToString(c.args);
        EXPECT_EQ(r.status, c.status) << testing::PrintToString(c.args);
    }
    // Whatever name it was started under.
    RunResult r = run_program(UPTIME_BIN, {"/some/other-name"}, {.env = fake_library().env});
    EXPECT_EQ(r.out, "<status line>\n");
}

TEST(Uptime, EmptyArgumentVectorGetsTheUsage)
{
    char *argv[] = {nullptr};
    EXPECT_EXIT(exit(uptime_main(0, argv)), testing::ExitedWithCode(1),
                "^usage: uptime \\[-V\\]\n    -V    display version\n$");
}

TEST(Uptime, LiveStatusLine)
{
    RunResult r = run_program(UPTIME_BIN, {"uptime"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(std::regex_match(r.out, std::regex(" [0-2][0-9]:[0-5][0-9]:[0-6][0-9] up "
                                                   "([0-9]+ days?, )?([0-9]+ min|[0-9]+:[0-5][0-9]), "
                                                   "[0-9]+ users?, load average: "
                                                   "[0-9]+\\.[0-9][0-9], [0-9]+\\.[0-9][0-9], "
                                                   "[0-9]+\\.[0-9][0-9]\n")))
        << r.out;
    r = run_program(UPTIME_BIN, {"uptime", "-V"});
    EXPECT_EQ(r.out, "uptime (kelpa " PROJECT_VERSION_TEXT ")\n");
}

TEST(StatusLine, Layout)
{
    const double loads[3] = {0.004, 1.5, 12.345};
    struct Case {
        double up;
        int users;
        std::string middle;
    } cases[] = {
        {0, 0, "up 0 min, 0 users"},
        {59.9, 1, "up 0 min, 1 user"},
        {3599, 2, "up 59 min, 2 users"},
        {3600, 1, "up 1:00, 1 user"},
        {86399, 1, "up 23:59, 1 user"},
        {86400, 1, "up 1 day, 0 min, 1 user"},
        {90061, 1, "up 1 day, 1:01, 1 user"},
        {2 * 86400 + 300, 3, "up 2 days, 5 min, 3 users"},
        {400 * 86400.0 + 36000, 1, "up 400 days, 10:00, 1 user"},
    };
    for (const Case &c : cases) {
        char line[256];
        int length = format_uptime(line, sizeof line, 7, 5, 9, c.up, c.users, loads);
        std::string expected = " 07:05:09 " + c.middle + ", load average: 0.00, 1.50, 12.35\n";
        EXPECT_EQ(line, expected);
        EXPECT_EQ(length, (int)expected.size());
    }
}

TEST(StatusLine, KernelTexts)
{
    double up = -1, loads[3];
    EXPECT_TRUE(parse_uptime("12345.67 2345.67\n", &up));
    EXPECT_DOUBLE_EQ(up, 12345.67);
    EXPECT_FALSE(parse_uptime("", &up));
    EXPECT_FALSE(parse_uptime("x", &up));
    EXPECT_TRUE(parse_loadavg("0.10 0.20 3.30 1/234 5678\n", loads));
    EXPECT_DOUBLE_EQ(loads[0], 0.10);
    EXPECT_DOUBLE_EQ(loads[2], 3.30);
    EXPECT_FALSE(parse_loadavg("0.10 0.20\n", loads));
    EXPECT_FALSE(parse_loadavg("", loads));
}

} // namespace

namespace {

TEST(Uptime, WithoutKernelTexts)
{
    if (!namespaces_available())
        GTEST_SKIP() << "no mount namespaces here";
    RunResult r = run_program(UPTIME_BIN, {"uptime"}, {.use_fake_proc = true});
    EXPECT_EQ(r.err, "/proc/uptime: No such file or directory\n/proc/loadavg: No such file or directory\n");
    EXPECT_TRUE(r.out.find(" up 0 min, ") != std::string::npos && r.out.ends_with("load average: 0.00, 0.00, 0.00\n"))
        << r.out;
    EXPECT_EQ(r.status, 0);
}

} // namespace
