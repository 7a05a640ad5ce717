// Fuzz target: the terminal-name look-up: the kernel's driver table and the names it yields,
// and terminal names for arbitrary device values within arbitrary bounds.
#include "kelpa.h"
#include "tty_drivers.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 12)
        return 0;
    uint64_t dev;
    uint32_t bound;
    memcpy(&dev, data, 8);
    memcpy(&bound, data + 8, 4);
    std::string text(reinterpret_cast<const char *>(data + 12), size - 12);

    TtyDriver drivers[16];
    int count = parse_tty_drivers(text.c_str(), drivers, 16);
    if (count < 0 || count > 16)
        abort();
    char name[128];
    for (int i = 0; i < count; ++i) {
        if (strnlen(drivers[i].path, sizeof drivers[i].path) == sizeof drivers[i].path)
            abort();
        for (int n = 0; tty_driver_candidate(drivers[i], (unsigned)dev, n, name, sizeof name); ++n)
            if (strlen(name) >= sizeof name)
                abort();
    }

    bound %= 64;
    char buf[80];
    memset(buf, 'x', sizeof buf);
    int length = dev_to_tty(buf, bound, dev, 1, bound & 1);
    if (length < 0 || (unsigned)length > bound || strlen(buf) != (size_t)length)
        abort();
    return 0;
}
