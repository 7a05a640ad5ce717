// The library's version text and the version line that free and uptime print.
#include "kelpa.h"

#include <errno.h>
#include <stdio.h>

const char kelpa_version[] = KELPA_VERSION_TEXT;

void display_version(void)
{
    printf("%s (%s)\n", program_invocation_short_name, kelpa_version);
}
