// Command names: the full name behind the kernel's 15 bytes, and a name made safe to show.
#ifndef TYVAR_NAMES_H
#define TYVAR_NAMES_H

#include <stddef.h>

// The bytes of a command name that the kernel keeps.
constexpr size_t kernel_name_max = 15;

// The full command name of a process whose kernel name is kernel_name, from its argument
// vector (cmdline: length bytes of NUL-terminated arguments): the last path element of the
// first argument, or of the second where the first is the interpreter of a script (then the
// kernel names the process after the script). The one whose start is the kernel name is
// taken; nullptr when neither fits.
const char *full_command_name(const char *cmdline, size_t length, const char *kernel_name);

// Replaces, in place, each control character of name with one '?': the bytes 0x01 to 0x1f
// and 0x7f, the two-byte UTF-8 forms of U+0080 to U+009F, and a byte from 0x80 to 0x9f that
// is not part of a valid UTF-8 sequence. Valid UTF-8 text stays as it is.
void mask_control_characters(char *name);

#endif
