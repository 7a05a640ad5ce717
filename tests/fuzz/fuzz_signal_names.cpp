// Fuzz target: signal names and numbers, and their conversion and listing.
#include "kelpa.h"
#include "signals.h"

#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text(reinterpret_cast<const char *>(data), size);
    text = text.c_str(); // up to the first NUL, as a C text
    int sig = signal_name_to_number(text.c_str());
    if (sig > SIGRTMAX)
        abort();
    char buf[signal_name_size];
    if (sig > 0) {
        // A recognised name converts back to a name of the same number.
        if (const char *name = signal_name(sig, buf))
            if (signal_name_to_number(name) != sig)
                abort();
    }
    const char *args[] = {text.c_str(), "9", text.c_str()};
    int width = size > 0 ? data[0] % 100 : 80;
    print_given_signals(3, args, width);
    return 0;
}
