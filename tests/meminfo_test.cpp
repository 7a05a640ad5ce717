// The kernel's memory report reduced to the library's figures.
#include "meminfo.h"

#include <gtest/gtest.h>

namespace {

MemFigures parse(const char *text)
{
    kelpa_memory wide;
    parse_meminfo(text, &wide);
    return narrow_figures(wide);
}

kelpa_memory parse_wide(const char *text)
{
    kelpa_memory wide;
    parse_meminfo(text, &wide);
    return wide;
}

#define EXPECT_FIGURES(f, total, used, free_, shared, buffers, cached, lt, lf, ht, hf, st, su, sf) \
    do {                                                                                        \
        EXPECT_EQ((f).main_total, total##u);                                                    \
        EXPECT_EQ((f).main_used, used##u);                                                      \
        EXPECT_EQ((f).main_free, free_##u);                                                     \
        EXPECT_EQ((f).main_shared, shared##u);                                                  \
        EXPECT_EQ((f).main_buffers, buffers##u);                                                \
        EXPECT_EQ((f).main_cached, cached##u);                                                  \
        EXPECT_EQ((f).low_total, lt##u);                                                        \
        EXPECT_EQ((f).low_free, lf##u);                                                         \
        EXPECT_EQ((f).high_total, ht##u);                                                       \
        EXPECT_EQ((f).high_free, hf##u);                                                        \
        EXPECT_EQ((f).swap_total, st##u);                                                       \
        EXPECT_EQ((f).swap_used, su##u);                                                        \
        EXPECT_EQ((f).swap_free, sf##u);                                                        \
    } while (0)

TEST(Meminfo, TodaysKernel)
{
    MemFigures f = parse("MemTotal:       24683676 kB\n"
                         "MemFree:        24180424 kB\n"
                         "MemAvailable:   24000000 kB\n"
                         "Buffers:            2060 kB\n"
                         "Cached:           300000 kB\n"
                         "SwapCached:            0 kB\n"
                         "SwapTotal:       2097148 kB\n"
                         "SwapFree:        2000000 kB\n"
                         "Shmem:             12204 kB\n"
                         "SReclaimable:      53144 kB\n"
                         "HugePages_Total:       0\n");
    EXPECT_FIGURES(f, 24683676, 503252, 24180424, 12204, 2060, 353144, 24683676, 24180424, 0, 0,
                   2097148, 97148, 2000000);
}

TEST(Meminfo, HighMemoryKernel)
{
    MemFigures f = parse("MemTotal:  1000 kB\nMemFree: 400 kB\nBuffers: 10 kB\nCached: 20 kB\n"
                         "HighTotal: 300 kB\nHighFree: 100 kB\nLowTotal: 700 kB\nLowFree: 300 kB\n"
                         "SwapTotal: 0 kB\nSwapFree: 0 kB\n");
    EXPECT_FIGURES(f, 1000, 600, 400, 0, 10, 20, 700, 300, 300, 100, 0, 0, 0);
}

TEST(Meminfo, OddTexts)
{
    // Beyond 32 bits saturates; free beyond total shows no use; junk lines are ignored.
    MemFigures f = parse("MemTotal: 99999999999 kB\nMemFree: 5 kB\njunk\n: 7\nCached: 4294967295 kB\n"
                         "SReclaimable: 10 kB\nSwapTotal: 5 kB\nSwapFree: 9 kB\nMemTotalX: 1 kB\n"
                         "Buffers: 123456789012345678901234567890 kB");
    EXPECT_FIGURES(f, 4294967295, 4294967290, 5, 0, 4294967295, 4294967295, 4294967295, 5, 0, 0,
                   5, 0, 9);
    EXPECT_FIGURES(parse(""), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
}

// The 64-bit figures are exact past 4 TiB, saturate only at 2^64 - 1 KiB, and follow the same
// rules; the 32-bit figures of the same report stay saturated.
TEST(Meminfo, WideFigures)
{
    const char *six_tib = "MemTotal: 6442450944 kB\nMemFree: 3493068800 kB\nBuffers: 5000000000 kB\n"
                          "Cached: 18446744073709551615 kB\nSReclaimable: 7 kB\n"
                          "SwapTotal: 4294967296 kB\nSwapFree: 4294967297 kB\n";
    kelpa_memory w = parse_wide(six_tib);
    EXPECT_EQ(w.main_total, 6442450944u);
    EXPECT_EQ(w.main_free, 3493068800u);
    EXPECT_EQ(w.main_used, 2949382144u);
    EXPECT_EQ(w.main_buffers, 5000000000u);
    EXPECT_EQ(w.main_cached, UINT64_MAX);
    EXPECT_EQ(w.low_total, 6442450944u);
    EXPECT_EQ(w.low_free, 3493068800u);
    EXPECT_EQ(w.swap_total, 4294967296u);
    EXPECT_EQ(w.swap_used, 0u);
    EXPECT_EQ(w.swap_free, 4294967297u);
    EXPECT_FIGURES(parse(six_tib), 4294967295, 801898495, 3493068800, 0, 4294967295, 4294967295,
                   4294967295, 3493068800, 0, 0, 4294967295, 0, 4294967295);

    w = parse_wide("MemTotal: 18446744073709551615 kB\nMemFree: 18446744073709551616 kB\n"
                   "SwapTotal: 99999999999999999999999 kB\nSwapFree: 1 kB\n");
    EXPECT_EQ(w.main_total, UINT64_MAX);
    EXPECT_EQ(w.main_free, UINT64_MAX);
    EXPECT_EQ(w.main_used, 0u);
    EXPECT_EQ(w.swap_total, UINT64_MAX);
    EXPECT_EQ(w.swap_used, UINT64_MAX - 1);
}

} // namespace
