// The uptime front end and the library's status line: its parsers, its layout, the live line.
#include "harness.h"
#include "kelpa.h"
#include "texts.h"
#include "uptime.h"

#include <algorithm>
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
        {{"-p"}, "<up in words>\n", "", 0},
        {{"-s"}, "<boot time>\n", "", 0},
        {{"-V", "-V"}, "", uptime_usage, 1},
        {{"-p", "-s"}, "", uptime_usage, 1},
        {{"-ps"}, "", uptime_usage, 1},
        {{"-P"}, "", uptime_usage, 1},
        {{"-s", "x"}, "", uptime_usage, 1},
        {{"--pretty"}, "", uptime_usage, 1},
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
                                                   "([0-9]+ days?, )?([0-9]+ min|[ 0-9][0-9]:[0-5][0-9]), "
                                                   "[ 0-9][0-9]+ users?,  load average: "
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
        {0, 0, "up 0 min,  0 users"},
        {59.9, 1, "up 0 min,  1 user"},
        {3599, 2, "up 59 min,  2 users"},
        {3600, 1, "up  1:00,  1 user"},
        {86399, 12, "up 23:59, 12 users"},
        {86400, 1, "up 1 day, 0 min,  1 user"},
        {86400 + 13 * 60, 0, "up 1 day, 13 min,  0 users"},
        {90061, 1, "up 1 day,  1:01,  1 user"},
        {2 * 86400 + 300, 3, "up 2 days, 5 min,  3 users"},
        {3 * 86400 + 2 * 3600 + 41 * 60 + 59, 2, "up 3 days,  2:41,  2 users"},
        {400 * 86400.0 + 36000, 123, "up 400 days, 10:00, 123 users"},
    };
    for (const Case &c : cases) {
        char line[256];
        int length = format_uptime(line, sizeof line, 7, 5, 9, c.up, c.users, loads);
        std::string expected = " 07:05:09 " + c.middle + ",  load average: 0.00, 1.50, 12.35\n";
        EXPECT_EQ(line, expected);
        EXPECT_EQ(length, (int)expected.size());
    }
}

TEST(StatusLine, UpInWords)
{
    struct Case {
        double up;
        std::string words;
    } cases[] = {
        {0, "up 0 minutes"},
        {59.9, "up 0 minutes"},
        {60, "up 1 minute"},
        {119, "up 1 minute"},
        {3600, "up 1 hour"},
        {7260, "up 2 hours, 1 minute"},
        {86400, "up 1 day"},
        {86460, "up 1 day, 1 minute"},
        {90000, "up 1 day, 1 hour"},
        {3 * 86400 + 2 * 3600 + 41 * 60, "up 3 days, 2 hours, 41 minutes"},
        {400 * 86400.0 + 23 * 3600 + 59 * 60 + 59, "up 400 days, 23 hours, 59 minutes"},
    };
    for (const Case &c : cases) {
        char line[128];
        int length = format_uptime_words(line, sizeof line, c.up);
        EXPECT_EQ(line, c.words) << c.up;
        EXPECT_EQ(length, (int)c.words.size());
    }
}

TEST(StatusLine, BootTime)
{
    setenv("TZ", "UTC", 1);
    tzset();
    struct Case {
        double now, up;
        std::string boot;
    } cases[] = {
        {1796728964.0, 0, "2026-12-08 11:22:44"},
        {1796728964.9, 0.5, "2026-12-08 11:22:44"},
        {1796728964.2, 0.5, "2026-12-08 11:22:43"},
        {1796728964.0, 3 * 86400 + 2 * 3600 + 41 * 60 + 1, "2026-12-05 08:41:43"},
    };
    for (const Case &c : cases) {
        char line[64];
        EXPECT_EQ(format_boot_time(line, sizeof line, c.now, c.up), 19);
        EXPECT_EQ(line, c.boot) << c.now << " " << c.up;
    }
    setenv("TZ", "Asia/Kolkata", 1);
    tzset();
    char line[64];
    format_boot_time(line, sizeof line, 1796728964.0, 0);
    EXPECT_STREQ(line, "2026-12-08 16:52:44");
    unsetenv("TZ");
    tzset();
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
        GTEST_SKIP() << "no user or mount namespaces here";
    RunResult r = run_program(UPTIME_BIN, {"uptime"}, {.use_fake_proc = true});
    EXPECT_EQ(r.err, "/proc/uptime: No such file or directory\n/proc/loadavg: No such file or directory\n");
    EXPECT_TRUE(r.out.find(" up 0 min, ") != std::string::npos && r.out.ends_with("load average: 0.00, 0.00, 0.00\n"))
        << r.out;
    EXPECT_EQ(r.status, 0);
    r = run_program(UPTIME_BIN, {"uptime", "-p"}, {.use_fake_proc = true});
    EXPECT_EQ(r.err, "/proc/uptime: No such file or directory\n");
    EXPECT_EQ(r.out, "up 0 minutes\n");
}

// The real library on made-up kernel reports: the status line, the words and the boot time.
TEST(Uptime, MadeUpKernelReports)
{
    if (!namespaces_available())
        GTEST_SKIP() << "no user or mount namespaces here";
    const double up = 3 * 86400 + 2 * 3600 + 41 * 60 + 30.5;
    RunOptions options{.env = {"TZ=UTC"},
                       .use_fake_proc = true,
                       .fake_proc_files = {{"uptime", "268890.50 12.00\n"},
                                           {"loadavg", "0.10 0.20 0.30 1/234 5678\n"}}};
    RunResult r = run_program(UPTIME_BIN, {"uptime"}, options);
    EXPECT_TRUE(std::regex_match(r.out, std::regex(" [0-2][0-9]:[0-5][0-9]:[0-6][0-9] up 3 days,  2:41, "
                                                   "[ 0-9][0-9]+ users?,  load average: 0.10, 0.20, 0.30\n")))
        << r.out;
    r = run_program(UPTIME_BIN, {"uptime", "-p"}, options);
    EXPECT_EQ(r.out, "up 3 days, 2 hours, 41 minutes\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);

    time_t before = time(nullptr);
    r = run_program(UPTIME_BIN, {"uptime", "-s"}, options);
    time_t after = time(nullptr);
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> allowed;
    for (time_t t = before - (time_t)up - 1; t <= after - (time_t)up; ++t) {
        char text[32];
        struct tm utc;
        gmtime_r(&t, &utc);
        strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S\n", &utc);
        allowed.push_back(text);
    }
    EXPECT_NE(std::find(allowed.begin(), allowed.end(), r.out), allowed.end()) << r.out;
}

} // namespace
