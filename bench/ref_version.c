/* Reference for a version line: one line on standard output. */
#include <stdio.h>

int main(void)
{
    puts("tyvar (kelpa 1.1.0)");
    return 0;
}
