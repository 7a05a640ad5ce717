/* Reference for the memory report: one read of /proc/meminfo and a few printed lines. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static unsigned long figure(const char *text, const char *key)
{
    const char *at = strstr(text, key);
    return at ? strtoul(at + strlen(key), NULL, 10) : 0;
}

int main(void)
{
    char text[16384];
    int fd = open("/proc/meminfo", O_RDONLY);
    ssize_t n = fd < 0 ? -1 : read(fd, text, sizeof text - 1);
    if (fd >= 0)
        close(fd);
    text[n > 0 ? n : 0] = '\0';
    unsigned long total = figure(text, "MemTotal:"), free_ = figure(text, "MemFree:");
    unsigned long buffers = figure(text, "Buffers:"), cached = figure(text, "Cached:");
    unsigned long swap_total = figure(text, "SwapTotal:"), swap_free = figure(text, "SwapFree:");
    puts("             total       used       free     shared    buffers     cached");
    printf("%-7s %10lu %10lu %10lu %10lu %10lu %10lu\n", "Mem:", total, total - free_, free_, 0ul,
           buffers, cached);
    printf("-/+ buffers/cache: %10lu %10lu\n", total - free_ - buffers - cached, free_ + buffers + cached);
    printf("%-7s %10lu %10lu %10lu\n", "Swap:", swap_total, swap_total - swap_free, swap_free);
    return 0;
}
