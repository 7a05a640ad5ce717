// The status line: time of day, time since boot, users and load averages.
#include "kelpa.h"

void print_uptime(void)
{
}
