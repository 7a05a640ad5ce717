/* A program that uses the library as any other C library: found by pkg-config or by CMake. */
#include <kelpa.h>

#include <stdio.h>

int main(void)
{
    struct kelpa_memory memory;
    meminfo64(&memory);
    printf("%s %d %s\n", kelpa_version, signal_name_to_number("TERM"),
           memory.main_total > 0 && memory.main_used + memory.main_free == memory.main_total ? "memory" : "none");
    return 0;
}
