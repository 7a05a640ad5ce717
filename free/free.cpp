// The memory report: used and free memory and swap, in a chosen unit, once or at an interval.
#include "figures.h"
#include "kelpa.h"

#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <initializer_list>

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

// The unit: a shift from bytes (0, 10, 20 or 30), or HUMAN for each figure in its own unit.
constexpr int HUMAN = -1;
int unit_shift = 10;

Wide kib(uint64_t figure)
{
    return {0, figure};
}

// Writes one figure, right-aligned in a field of (at least) ten characters after a blank.
void print_figure(Wide figure)
{
    char text[figure_text_size];
    if (unit_shift == HUMAN)
        format_human(figure, text);
    else
        format_decimal(scale(figure, unit_shift), text);
    printf(" %10s", text);
}

void print_row(const char *label, Wide a, Wide b, Wide c)
{
    printf("%-7s", label);
    for (Wide figure : {a, b, c})
        print_figure(figure);
    putchar('\n');
}

void print_report(const kelpa_memory &m, bool want_low_high, bool old_layout, bool want_totals)
{
    // Sums are taken wide and differences stop at 0: the kernel's figures are not read
    // atomically and may disagree for a moment.
    Wide buffers_cache = plus(kib(m.main_buffers), kib(m.main_cached));
    puts("             total       used       free     shared    buffers     cached");
    printf("%-7s", "Mem:");
    for (uint64_t figure : {m.main_total, m.main_used, m.main_free, m.main_shared, m.main_buffers,
                            m.main_cached})
        print_figure(kib(figure));
    putchar('\n');
    if (want_low_high) {
        print_row("Low:", kib(m.low_total), less(kib(m.low_total), kib(m.low_free)), kib(m.low_free));
        print_row("High:", kib(m.high_total), less(kib(m.high_total), kib(m.high_free)),
                  kib(m.high_free));
    }
    if (!old_layout) {
        fputs("-/+ buffers/cache:", stdout);
        print_figure(less(kib(m.main_used), buffers_cache));
        print_figure(plus(kib(m.main_free), buffers_cache));
        putchar('\n');
    }
    print_row("Swap:", kib(m.swap_total), kib(m.swap_used), kib(m.swap_free));
    if (want_totals)
        print_row("Total:", plus(kib(m.main_total), kib(m.swap_total)),
                  plus(kib(m.main_used), kib(m.swap_used)), plus(kib(m.main_free), kib(m.swap_free)));
}

} // namespace

int main(int argc, char **argv)
{
    bool want_low_high = false, old_layout = false, want_totals = false;
    int32_t delay_usec = 0;
    uint32_t report_count = 0;
    int option;
    while ((option = getopt(argc, argv, "bkmghlotc:s:V")) != -1) {
        switch (option) {
        case 'b': unit_shift = 0; break;
        case 'k': unit_shift = 10; break;
        case 'm': unit_shift = 20; break;
        case 'g': unit_shift = 30; break;
        case 'h': unit_shift = HUMAN; break;
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
        kelpa_memory figures;
        meminfo64(&figures);
        print_report(figures, want_low_high, old_layout, want_totals);
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
