// Reading the command name and terminal number out of a process's stat line, where the name
// may hold blanks and parentheses of its own.
#include "stat_text.h"

#include <stdlib.h>
#include <string.h>

bool parse_stat_text(char *text, char **name, int32_t *tty)
{
    char *name_end = strrchr(text, ')');
    char *name_start = strchr(text, '(');
    if (name_end == nullptr || name_start == nullptr || name_start > name_end)
        return false;
    char *field = name_end + 1;
    for (int pass = 0; pass < 5; ++pass) {
        field = strchr(field, ' ');
        if (field == nullptr)
            return false;
        ++field;
    }
    *name_end = '\0';
    *name = name_start + 1;
    *tty = (int32_t)strtol(field, nullptr, 10);
    return true;
}
