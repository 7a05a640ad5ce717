// The uptime report: the library's status line, the time since boot in words, the boot time,
// or the version line.
#include "kelpa.h"

#include <stdio.h>
#include <string.h>

int main(int argc, char **argv)
{
    if (argc == 1) {
        print_uptime();
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "-V") == 0) {
        display_version();
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "-p") == 0) {
        print_uptime_words();
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "-s") == 0) {
        print_boot_time();
        return 0;
    }
    fputs("usage: uptime [-V]\n"
          "    -V    display version\n",
          stderr);
    return 1;
}
