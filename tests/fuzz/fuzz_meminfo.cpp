// Fuzz target: the kernel's memory report.
#include "meminfo.h"

#include <stdint.h>
#include <stdlib.h>

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text(reinterpret_cast<const char *>(data), size);
    kelpa_memory wide;
    parse_meminfo(text.c_str(), &wide);
    MemFigures f = narrow_figures(wide);
    // Used is total less free, never wrapped, in both widths.
    if (f.main_used > f.main_total || f.swap_used > f.swap_total)
        abort();
    if (f.main_free <= f.main_total && f.main_used + f.main_free != f.main_total)
        abort();
    if (wide.main_used > wide.main_total || wide.swap_used > wide.swap_total)
        abort();
    if (wide.main_free <= wide.main_total && wide.main_used + wide.main_free != wide.main_total)
        abort();
    return 0;
}
