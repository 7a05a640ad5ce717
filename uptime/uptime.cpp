// The uptime report: the library's status line, or its version line.
#include "kelpa.h"

#include <stdio.h>

int main(int argc, char **argv)
{
    if (argc == 1) {
        print_uptime();
        return 0;
    }
    if (argc == 2 && argv[1][0] == '-' && argv[1][1] == 'V' && argv[1][2] == '\0') {
        display_version();
        return 0;
    }
    fputs("usage: uptime [-V]\n"
          "    -V    display version\n",
          stderr);
    return 1;
}
