// The memory report: used and free memory and swap, in a chosen unit, once or at an interval.
#include "kelpa.h"

#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

[[noreturn]] void usage()
{
    fputs("usage: free [-b|-k|-m|-g] [-l] [-o] [-t] [-s delay] [-c count] [-V]\n"
          "  -b,-k,-m,-g show output in bytes, KB, MB, or GB\n"
          "  -l show detailed low and high memory statistics\n"
          "  -o use old format (no -/+buffers/cache line)\n"
          "  -t display total for RAM + swap\n"
          "  -s update every [delay] seconds\n"
          "  -c update [count] times\n"
          "  -V display version information and exit\n",
          stderr);
    exit(1);
}

// Seconds as microseconds, truncated toward zero and saturated to 32 bits; not-a-number is 0.
int32_t delay_from_seconds(double seconds)
{
    double usec = seconds * 1000000.0;
    if (isnan(usec))
        return 0;
    if (usec >= 2147483648.0)
        return INT32_MAX;
    if (usec <= -2147483648.0)
        return INT32_MIN;
    return (int32_t)usec;
}

// A count of at most 32 bits; larger values (and negative ones, which wrap) saturate.
uint32_t count_from_text(const char *text)
{
    unsigned long count = strtoul(text, nullptr, 10);
    return count > UINT32_MAX ? UINT32_MAX : (uint32_t)count;
}

// A difference of two figures that never wraps below zero.
uint64_t less(uint64_t a, uint64_t b)
{
    return a > b ? a - b : 0;
}

int unit_shift = 10;

unsigned long long scaled(uint64_t kib)
{
    return (unsigned long long)((kib * 1024) >> unit_shift);
}

void print_row(const char *label, uint64_t a, uint64_t b, uint64_t c)
{
    printf("%-7s %10llu %10llu %10llu\n", label, scaled(a), scaled(b), scaled(c));
}

void print_report(bool want_low_high, bool old_layout, bool want_totals)
{
    // Sums are taken in 64 bits and differences stop at 0: the kernel's figures are not read
    // atomically and may disagree for a moment.
    uint64_t buffers_cache = (uint64_t)kb_main_buffers + kb_main_cached;
    puts("             total       used       free     shared    buffers     cached");
    printf("%-7s %10llu %10llu %10llu %10llu %10llu %10llu\n", "Mem:", scaled(kb_main_total),
           scaled(kb_main_used), scaled(kb_main_free), scaled(kb_main_shared),
           scaled(kb_main_buffers), scaled(kb_main_cached));
    if (want_low_high) {
        print_row("Low:", kb_low_total, less(kb_low_total, kb_low_free), kb_low_free);
        print_row("High:", kb_high_total, less(kb_high_total, kb_high_free), kb_high_free);
    }
    if (!old_layout)
        printf("-/+ buffers/cache: %10llu %10llu\n", scaled(less(kb_main_used, buffers_cache)),
               scaled(kb_main_free + buffers_cache));
    print_row("Swap:", kb_swap_total, kb_swap_used, kb_swap_free);
    if (want_totals)
        print_row("Total:", (uint64_t)kb_main_total + kb_swap_total,
                  (uint64_t)kb_main_used + kb_swap_used, (uint64_t)kb_main_free + kb_swap_free);
}

} // namespace

int main(int argc, char **argv)
{
    bool want_low_high = false, old_layout = false, want_totals = false;
    int32_t delay_usec = 0;
    uint32_t report_count = 0;
    int option;
    while ((option = getopt(argc, argv, "bkmglotc:s:V")) != -1) {
        switch (option) {
        case 'b': unit_shift = 0; break;
        case 'k': unit_shift = 10; break;
        case 'm': unit_shift = 20; break;
        case 'g': unit_shift = 30; break;
        case 'l': want_low_high = true; break;
        case 'o': old_layout = true; break;
        case 't': want_totals = true; break;
        case 's': delay_usec = delay_from_seconds(strtod(optarg, nullptr)); break;
        case 'c': report_count = count_from_text(optarg); break;
        case 'V': display_version(); exit(0);
        default: usage();
        }
    }

    for (;;) {
        meminfo();
        print_report(want_low_high, old_layout, want_totals);
        if (delay_usec == 0)
            break;
        putchar('\n');
        fflush(stdout);
        if (report_count != 1)
            usleep((useconds_t)delay_usec);
        if (--report_count == 0)
            break;
    }
    return 0;
}
