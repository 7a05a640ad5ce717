// Fuzz target: the full name from an argument vector, and the masking of control characters.
#include "names.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first 16 bytes (up to a NUL) are the kernel's name, the rest the argument vector.
    std::string input(reinterpret_cast<const char *>(data), size);
    std::string kernel = input.substr(0, 16).c_str();
    std::string cmdline = input.size() > 16 ? input.substr(16) : "";
    const char *full = full_command_name(cmdline.data(), cmdline.size(), kernel.c_str());
    if (full != nullptr && (full < cmdline.data() || full >= cmdline.data() + cmdline.size() ||
                            strncmp(full, kernel.c_str(), kernel.size()) != 0))
        abort();

    std::string name = input.c_str();
    size_t before = name.size();
    mask_control_characters(name.data());
    size_t after = strlen(name.c_str());
    if (after > before)
        abort();
    for (size_t i = 0; i < after; ++i) {
        unsigned char c = (unsigned char)name[i];
        bool c1 = c == 0xc2 && i + 1 < after && (unsigned char)name[i + 1] >= 0x80 &&
                  (unsigned char)name[i + 1] <= 0x9f;
        if (c < 0x20 || c == 0x7f || c1)
            abort();
    }
    return 0;
}
