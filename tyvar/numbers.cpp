// Numbers written on the command line: process IDs and priorities, in 32 bits on every host.
#include "numbers.h"

#include <stdlib.h>

bool whole_number(const char *text, int base, int32_t *value)
{
    char *end;
    long number = strtol(text, &end, base);
    *value = number > INT32_MAX ? INT32_MAX : number < INT32_MIN ? INT32_MIN : (int32_t)number;
    return end != text && *end == '\0';
}
