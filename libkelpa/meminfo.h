// The kernel's memory report (/proc/meminfo) reduced to the library's figures.
#ifndef KELPA_MEMINFO_H
#define KELPA_MEMINFO_H

#include "kelpa.h"

#include <stdint.h>

// The library's 32-bit figures, in KiB, in the order of the exported variables.
struct MemFigures {
    uint32_t main_total, main_used, main_free, main_shared, main_buffers, main_cached;
    uint32_t low_total, low_free, high_total, high_free;
    uint32_t swap_total, swap_used, swap_free;
};

// Fills out from the text of /proc/meminfo; figures the text lacks are 0 (low memory is all
// memory where the kernel does not tell them apart), values beyond 64 bits saturate.
void parse_meminfo(const char *text, kelpa_memory *out);

// The 32-bit figures of wide: each saturated, and used taken from the saturated total and free.
MemFigures narrow_figures(const kelpa_memory &wide);

#endif
