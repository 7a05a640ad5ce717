// Fuzz target: the stat text of a process, as the selection run reads it (at most 127 bytes).
#include "stat_text.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char text[128];
    size_t length = size < 127 ? size : 127;
    memcpy(text, data, length);
    text[length] = '\0';
    char *name = nullptr;
    int32_t tty = 0;
    if (parse_stat_text(text, &name, &tty)) {
        // The name lies inside the text and is terminated there.
        if (name < text || name > text + length || strlen(name) > length)
            abort();
    }
    return 0;
}
