// Numbers written on the command line.
#ifndef TYVAR_NUMBERS_H
#define TYVAR_NUMBERS_H

#include <stdint.h>

// Converts text as strtol does in base (leading blanks and a sign allowed), saturated to 32
// bits; false unless the text is a number and nothing else (an empty text included).
bool whole_number(const char *text, int base, int32_t *value);

#endif
