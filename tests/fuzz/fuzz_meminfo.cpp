// Fuzz target: the kernel's memory report.
#include "meminfo.h"

#include <stdint.h>
#include <stdlib.h>

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text(reinterpret_cast<const char *>(data), size);
    MemFigures f;
    parse_meminfo(text.c_str(), &f);
    // Used is total less free, never wrapped.
    if (f.main_used > f.main_total || f.swap_used > f.swap_total)
        abort();
    if (f.main_free <= f.main_total && f.main_used + f.main_free != f.main_total)
        abort();
    return 0;
}
