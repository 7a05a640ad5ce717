// The free report as users meet it: with the stand-in library's figures every line, unit,
// option and width; the report loop through the recording stand-in's usleep; the live figures.
#include "harness.h"
#include "texts.h"

#include <string>

#include <gtest/gtest.h>

namespace {

const std::string header = "             total       used       free     shared    buffers     cached\n";

// A report line as the columns lay it out: the label in 7, each figure right-aligned in 10.
std::string row(const std::string &label, std::initializer_list<std::string> figures)
{
    std::string text = label + std::string(label.size() < 7 ? 7 - label.size() : 0, ' ');
    for (const std::string &figure : figures)
        text += " " + std::string(figure.size() < 10 ? 10 - figure.size() : 0, ' ') + figure;
    return text + "\n";
}

std::string row(const std::string &label, std::initializer_list<unsigned long long> numbers)
{
    std::string text = label + std::string(label.size() < 7 ? 7 - label.size() : 0, ' ');
    for (unsigned long long n : numbers) {
        std::string digits = std::to_string(n);
        text += " " + std::string(digits.size() < 10 ? 10 - digits.size() : 0, ' ') + digits;
    }
    return text + "\n";
}

// main total, used, free, shared, buffers, cached; low total, free; high total, free;
// swap total, used, free
const std::string figures = "FAKE_MEM=1000,600,400,10,50,150,900,300,100,60,2000,500,1500";

RunResult free_run(const std::vector<std::string> &args, const std::string &mem = figures,
                   std::vector<std::string> env = {})
{
    Recording lib = fake_library({mem});
    env.insert(env.end(), lib.env.begin(), lib.env.end());
    std::vector<std::string> argv{"free"};
    argv.insert(argv.end(), args.begin(), args.end());
    return run_program(FREE_BIN, argv, {.env = env});
}

TEST(Free, LayoutByteForByte)
{
    RunResult r = free_run({});
    EXPECT_EQ(r.out, header +
                         "Mem:          1000        600        400         10         50        150\n"
                         "-/+ buffers/cache:        400        600\n"
                         "Swap:         2000        500       1500\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
}

TEST(Free, LinesForEachOption)
{
    const std::string mem = row("Mem:", {1000, 600, 400, 10, 50, 150});
    const std::string low = row("Low:", {900, 600, 300}), high = row("High:", {100, 40, 60});
    const std::string buffers = "-/+ buffers/cache:        400        600\n";
    const std::string swap = row("Swap:", {2000, 500, 1500}), total = row("Total:", {3000, 1100, 1900});
    struct Case {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"-l", "-o", "-t"}, header + mem + low + high + swap + total},
        {{"-lot"}, header + mem + low + high + swap + total},
        {{"-l"}, header + mem + low + high + buffers + swap},
        {{"-o"}, header + mem + swap},
        {{"-t"}, header + mem + buffers + swap + total},
        {{"-k", "extra", "words"}, header + mem + buffers + swap},
        {{"-b", "-o"}, header + row("Mem:", {1024000, 614400, 409600, 10240, 51200, 153600}) +
                           row("Swap:", {2048000, 512000, 1536000})},
        {{"-m", "-b", "-o"}, header + row("Mem:", {1024000, 614400, 409600, 10240, 51200, 153600}) +
                                 row("Swap:", {2048000, 512000, 1536000})},
        {{"-b", "-m", "-o"}, header + row("Mem:", {0, 0, 0, 0, 0, 0}) + row("Swap:", {1, 0, 1})},
    };
    for (const Case &c : cases) {
        RunResult r = free_run(c.args);
        EXPECT_EQ(r.out, c.out) << testing::PrintToString(c.args);
        EXPECT_EQ(r.status, 0);
    }
    // A High line of zeros is still printed; -g shows whole GiB only.
    RunResult r = free_run({"-l", "-g"}, "FAKE_MEM=1048575,1048576,3145727,0,0,0,5,5,0,0,0,0,0");
    EXPECT_EQ(r.out, header + row("Mem:", {0, 1, 2, 0, 0, 0}) + row("Low:", {0, 0, 0}) +
                         row("High:", {0, 0, 0}) + "-/+ buffers/cache:          1          2\n" +
                         row("Swap:", {0, 0, 0}));
}

// Figures that disagree for a moment never wrap into thousands of millions of KiB, and sums
// of large figures widen instead of wrapping.
TEST(Free, DerivedFiguresNeverWrap)
{
    RunResult r = free_run({"-l", "-t"}, "FAKE_MEM=100,50,150,0,40,30,100,150,10,20,10,20,30");
    EXPECT_EQ(r.out, header + row("Mem:", {100, 50, 150, 0, 40, 30}) + row("Low:", {100, 0, 150}) +
                         row("High:", {10, 0, 20}) + "-/+ buffers/cache:          0        220\n" +
                         row("Swap:", {10, 20, 30}) + row("Total:", {110, 70, 180}));
    r = free_run({"-t", "-b"},
                 "FAKE_MEM=4294967295,4294967295,4294967295,0,4294967295,1,0,0,0,0,4294967295,"
                 "4294967295,4294967295");
    const unsigned long long max = 4294967295ULL * 1024;
    EXPECT_EQ(r.out, header + row("Mem:", {max, max, max, 0, max, 1024}) +
                         "-/+ buffers/cache:          0 " + std::to_string(2 * max + 1024) + "\n" +
                         row("Swap:", {max, max, max}) + row("Total:", {2 * max, 2 * max, 2 * max}));
    EXPECT_EQ(row("Swap:", {max, max, max}), "Swap:   4398046510080 4398046510080 4398046510080\n");
}

// Past 4 TiB the report stays exact: a 6 TiB machine with 2812 GiB in use, and figures of
// 2^64 - 1 KiB, whose bytes and sums need more than 64 bits.
TEST(Free, FiguresPastThirtyTwoBits)
{
    RunResult r = free_run({"-g", "-t"}, "FAKE_MEM=6442450944,2949382144,3493068800,0,0,0,0,0,0,0,"
                                         "4294967296,0,4294967296");
    EXPECT_EQ(r.out, header + row("Mem:", {6144, 2812, 3331, 0, 0, 0}) +
                         "-/+ buffers/cache:       2812       3331\n" + row("Swap:", {4096, 0, 4096}) +
                         row("Total:", {10240, 2812, 7427}));
    r = free_run({}, "FAKE_MEM=6442450944,2949382144,3493068800,0,0,0,0,0,0,0,0,0,0");
    EXPECT_EQ(lines_of(r.out)[1], "Mem:    6442450944 2949382144 3493068800          0          0          0");

    const std::string max = "18446744073709551615", bytes = "18889465931478580853760",
                      two = "37778931862957161707520", three = "56668397794435742561280";
    std::string all_max = "FAKE_MEM=" + max;
    for (int i = 1; i < 13; ++i)
        all_max += "," + max;
    r = free_run({"-b", "-t", "-l"}, all_max);
    const std::string big3 = " " + bytes + " " + bytes + " " + bytes;
    EXPECT_EQ(r.out, header + "Mem:   " + big3 + big3 + "\n" + "Low:   " + " " + bytes + "          0 " +
                         bytes + "\n" + "High:  " + " " + bytes + "          0 " + bytes + "\n" +
                         "-/+ buffers/cache:          0 " + three + "\n" + "Swap:  " + big3 + "\n" +
                         "Total: " + " " + two + " " + two + " " + two + "\n");
    r = free_run({"-o"}, all_max);
    EXPECT_EQ(lines_of(r.out)[1], "Mem:    " + max + " " + max + " " + max + " " + max + " " + max + " " + max);
}

// -h: each figure in its own unit, in the same columns, with every other option.
TEST(Free, HumanReadable)
{
    RunResult r = free_run({"-h", "-l", "-t"}, "FAKE_MEM=24683572,507048,24176524,12128,2452,321964,"
                                               "24683572,24176524,0,0,1023,1,1024");
    EXPECT_EQ(r.out, header + row("Mem:", {"24Gi", "495Mi", "23Gi", "12Mi", "2.4Mi", "314Mi"}) +
                         row("Low:", {"24Gi", "495Mi", "23Gi"}) + row("High:", {"0B", "0B", "0B"}) +
                         "-/+ buffers/cache:      178Mi       23Gi\n" +
                         row("Swap:", {"1023Ki", "1.0Ki", "1.0Mi"}) + row("Total:", {"24Gi", "495Mi", "23Gi"}));
    EXPECT_EQ(r.status, 0);
    // The last unit option wins, either way round.
    EXPECT_EQ(free_run({"-b", "-h", "-o"}).out, free_run({"-h", "-o"}).out);
    EXPECT_EQ(free_run({"-h", "-k", "-o"}).out, free_run({"-o"}).out);
    EXPECT_EQ(lines_of(free_run({"-h", "-o"}, "FAKE_MEM=18446744073709551615,10485759,6442450944,0,0,0,"
                                              "0,0,0,0,0,0,0").out)[1],
              "Mem:    16777216Pi       10Gi      6.0Ti         0B         0B         0B");
    // And in the report loop, with the usage text unchanged.
    Recording rec = recorder_and_fake({}, {figures, "REC_USLEEP_LIMIT=4"});
    r = run_program(FREE_BIN, {"free", "-h", "-o", "-s", "1", "-c", "2"}, {.env = rec.env});
    std::string report = header + row("Mem:", {"1000Ki", "600Ki", "400Ki", "10Ki", "50Ki", "150Ki"}) +
                         row("Swap:", {"2.0Mi", "500Ki", "1.5Mi"});
    EXPECT_EQ(r.out, report + "\n" + report + "\n");
    EXPECT_EQ(free_run({"-x"}).err, "free: invalid option -- 'x'\n" + std::string(free_usage));
}

TEST(Free, UsageAndVersion)
{
    struct Case {
        std::vector<std::string> args;
        std::string out, err;
        int status;
    } cases[] = {
        {{"-V"}, "<version>\n", "", 0},
        {{"-V", "-x"}, "<version>\n", "", 0},
        {{"-b", "-V", "-s"}, "<version>\n", "", 0},
        {{"-x", "-V"}, "", "free: invalid option -- 'x'\n" + std::string(free_usage), 1},
        {{"-s"}, "", "free: option requires an argument -- 's'\n" + std::string(free_usage), 1},
        {{"-o", "-c"}, "", "free: option requires an argument -- 'c'\n" + std::string(free_usage), 1},
        {{"--help"}, "", "free: invalid option -- '-'\n" + std::string(free_usage), 1},
    };
    for (const Case &c : cases) {
        RunResult r = free_run(c.args);
        EXPECT_EQ(r.out, c.out) << testing::PrintToString(c.args);
        EXPECT_EQ(r.err, c.err) << testing::PrintToString(c.args);
        EXPECT_EQ(r.status, c.status) << testing::PrintToString(c.args);
    }
}

// The loop, with the recording stand-in's usleep: reports, blank lines and exact sleeps.
TEST(Free, ReportLoop)
{
    RunResult one = free_run({"-o"});
    const std::string report = one.out;
    struct Case {
        std::vector<std::string> args;
        int reports;          // reports printed
        bool blank;           // each followed by a blank line
        std::vector<std::string> sleeps;
        int status = 0;
    } cases[] = {
        {{}, 1, false, {}},
        {{"-c", "3"}, 1, false, {}},
        {{"-s", "0"}, 1, false, {}},
        {{"-s", "abc", "-c", "4"}, 1, false, {}},
        {{"-s", "0.0000001"}, 1, false, {}},
        {{"-s", "nan", "-c", "2"}, 1, false, {}},
        {{"-s", "1", "-c", "1"}, 1, true, {}},
        {{"-s", "0.5", "-c", "3"}, 3, true, {"usleep 500000", "usleep 500000"}},
        {{"-s", "  2.25xyz", "-c", "2"}, 2, true, {"usleep 2250000"}},
        {{"-c", "2", "-s", "3000"}, 2, true, {"usleep 2147483647"}},
        {{"-s", "1e300", "-c", "2"}, 2, true, {"usleep 2147483647"}},
        {{"-s", "-1", "-c", "2"}, 2, true, {"usleep 4293967296"}},
        {{"-s", "-1e300", "-c", "2"}, 2, true, {"usleep 2147483648"}},
        {{"-s", "1", "-c", "5", "-c", "2"}, 2, true, {"usleep 1000000"}},
        // Without a count, or with a count that is no number, the loop has no end: the
        // stand-in ends it at the fourth sleep.
        {{"-s", "1"}, 4, true, {"usleep 1000000", "usleep 1000000", "usleep 1000000", "usleep 1000000"}, 77},
        {{"-s", "1", "-c", "0"}, 4, true, {"usleep 1000000", "usleep 1000000", "usleep 1000000", "usleep 1000000"}, 77},
        {{"-s", "1", "-c", "abc"}, 4, true, {"usleep 1000000", "usleep 1000000", "usleep 1000000", "usleep 1000000"}, 77},
        {{"-s", "1", "-c", "99999999999"}, 4, true, {"usleep 1000000", "usleep 1000000", "usleep 1000000", "usleep 1000000"}, 77},
    };
    for (const Case &c : cases) {
        Recording rec = recorder_and_fake({}, {figures, "REC_USLEEP_LIMIT=4"});
        std::vector<std::string> argv{"free", "-o"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        RunResult r = run_program(FREE_BIN, argv, {.env = rec.env});
        std::string expected;
        for (int i = 0; i < c.reports; ++i)
            expected += report + (c.blank ? "\n" : "");
        EXPECT_EQ(r.out, expected) << testing::PrintToString(c.args);
        EXPECT_EQ(r.status, c.status) << testing::PrintToString(c.args);
        std::vector<std::string> sleeps, refreshes;
        for (const std::string &call : rec.calls())
            (call.starts_with("usleep") ? sleeps : refreshes).push_back(call);
        EXPECT_EQ(sleeps, c.sleeps) << testing::PrintToString(c.args);
        EXPECT_EQ(refreshes.size(), (size_t)c.reports) << "one meminfo per report";
    }
}

// A short real wait, to show the sleep is really made.
TEST(Free, SleepsBetweenReports)
{
    RunResult r = run_program(FREE_BIN, {"free", "-s", "0.05", "-c", "2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(lines_of(r.out).size(), 10u);
}

unsigned long long meminfo_value(const std::string &key)
{
    std::string text = read_file("/proc/meminfo");
    size_t at = text.find(key + ":");
    return std::stoull(text.substr(text.find_first_of("0123456789", at)));
}

std::vector<std::string> words(const std::string &line)
{
    std::vector<std::string> out;
    size_t start = 0;
    while ((start = line.find_first_not_of(' ', start)) != std::string::npos) {
        size_t end = line.find(' ', start);
        out.push_back(line.substr(start, end - start));
        start = end;
    }
    return out;
}

TEST(Free, LiveFigures)
{
    RunResult k = run_program(FREE_BIN, {"free"});
    RunResult b = run_program(FREE_BIN, {"free", "-b"});
    ASSERT_EQ(k.status, 0);
    std::vector<std::string> kl = lines_of(k.out), bl = lines_of(b.out);
    ASSERT_EQ(kl.size(), 4u);
    EXPECT_EQ(kl[0] + "\n", header);
    std::vector<std::string> mem = words(kl[1]), swap = words(kl[3]);
    EXPECT_EQ(mem[0], "Mem:");
    EXPECT_EQ(std::stoull(mem[1]), meminfo_value("MemTotal"));
    EXPECT_EQ(std::stoull(words(bl[1])[1]), 1024 * std::stoull(mem[1]));
    EXPECT_EQ(std::stoull(swap[1]), meminfo_value("SwapTotal"));
    EXPECT_EQ(std::stoull(words(bl[3])[1]), 1024 * std::stoull(swap[1]));
    EXPECT_EQ(std::stoull(mem[2]) + std::stoull(mem[3]), std::stoull(mem[1]));
}

} // namespace

namespace {

// Without the kernel's report: one message naming it, and figures of 0.
TEST(Free, UnreadableReport)
{
    if (!namespaces_available())
        GTEST_SKIP() << "no user or mount namespaces here";
    RunResult r = run_program(FREE_BIN, {"free", "-o"}, {.use_fake_proc = true});
    EXPECT_EQ(r.err, "/proc/meminfo: No such file or directory\n");
    EXPECT_EQ(r.out, header + row("Mem:", {0, 0, 0, 0, 0, 0}) + row("Swap:", {0, 0, 0}));
    EXPECT_EQ(r.status, 0);
}

} // namespace
