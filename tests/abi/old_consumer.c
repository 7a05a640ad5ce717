/* A program written against the library's 1.0.0 interface, as it was: it must keep running,
 * unchanged, with every later 1.x library. */
#include "kelpa-1.0.0.h"

#include <stdio.h>

int main(void)
{
    meminfo();
    const char *converted[] = {"TERM", "9"};
    printf("%s|%d|%s|", kelpa_version, signal_name_to_number("KILL"), user_from_uid(0));
    fflush(stdout);
    int status = print_given_signals(2, converted, 80);
    printf("%d|%s\n", status, kb_main_total > 0 && kb_main_used + kb_main_free == kb_main_total ? "figures" : "none");
    return 0;
}
