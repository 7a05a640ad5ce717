// The library's version text and the version line that free and uptime print.
#include "kelpa.h"

#include <errno.h>
#include <stdio.h>

const char kelpa_version[] = KELPA_VERSION_TEXT;

void display_version(void)
{
    // Pieces rather than a format: the line needs none of printf's machinery.
    fputs(program_invocation_short_name, stdout);
    fputs(" (", stdout);
    fputs(kelpa_version, stdout);
    fputs(")\n", stdout);
}
