// The memory figures, in KiB.
#include "kelpa.h"

uint32_t kb_main_total, kb_main_used, kb_main_free, kb_main_shared, kb_main_buffers, kb_main_cached,
    kb_low_total, kb_low_free, kb_high_total, kb_high_free, kb_swap_total, kb_swap_used, kb_swap_free;

void meminfo(void)
{
}
