// Command names: the full name of a process, and its name as it may reach a terminal.
#include "names.h"

#include <string.h>

namespace {

// The last path element of the terminated argument that starts at arg.
const char *last_element(const char *arg)
{
    const char *slash = strrchr(arg, '/');
    return slash != nullptr ? slash + 1 : arg;
}

// The length of the valid UTF-8 sequence of two or more bytes at p, or 0.
size_t utf8_sequence(const unsigned char *p)
{
    size_t length;
    unsigned min_second = 0x80, max_second = 0xbf; // narrower after some lead bytes: no overlong
    if (p[0] >= 0xc2 && p[0] <= 0xdf) {            // forms, surrogates or values past U+10FFFF
        length = 2;
    } else if (p[0] >= 0xe0 && p[0] <= 0xef) {
        length = 3;
        min_second = p[0] == 0xe0 ? 0xa0 : 0x80;
        max_second = p[0] == 0xed ? 0x9f : 0xbf;
    } else if (p[0] >= 0xf0 && p[0] <= 0xf4) {
        length = 4;
        min_second = p[0] == 0xf0 ? 0x90 : 0x80;
        max_second = p[0] == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (p[1] < min_second || p[1] > max_second)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (p[i] < 0x80 || p[i] > 0xbf)
            return 0;
    return length;
}

} // namespace

const char *full_command_name(const char *cmdline, size_t length, const char *kernel_name)
{
    size_t kernel_length = strlen(kernel_name);
    const char *arg = cmdline, *end = cmdline + length;
    for (int i = 0; i < 2 && arg < end; ++i) {
        const char *arg_end = (const char *)memchr(arg, '\0', (size_t)(end - arg));
        if (arg_end == nullptr)
            return nullptr; // cut short: no whole argument to name it by
        const char *name = last_element(arg);
        if (strncmp(name, kernel_name, kernel_length) == 0)
            return name;
        arg = arg_end + 1;
    }
    return nullptr;
}

void mask_control_characters(char *name)
{
    unsigned char *in = (unsigned char *)name, *out = in;
    while (*in != '\0') {
        size_t sequence = utf8_sequence(in);
        if (sequence == 2 && in[0] == 0xc2 && in[1] <= 0x9f) {
            *out++ = '?';
            in += 2;
        } else if (sequence > 0) {
            for (size_t i = 0; i < sequence; ++i)
                *out++ = *in++;
        } else {
            unsigned char c = *in++;
            *out++ = c < 0x20 || c == 0x7f || (c >= 0x80 && c <= 0x9f) ? '?' : c;
        }
    }
    *out = '\0';
}
