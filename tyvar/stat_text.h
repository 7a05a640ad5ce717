// The beginning of a process's stat line: "pid (name) state ppid pgrp session tty ...".
#ifndef TYVAR_STAT_TEXT_H
#define TYVAR_STAT_TEXT_H

#include <stdint.h>

// Finds the command name and the terminal field in a terminated stat text. The name runs from
// after the first '(' to the last ')', which is overwritten with a terminator; the terminal
// field comes after the fifth space from there. False, with the text untouched, when the text
// lacks either parenthesis or is cut short before the terminal field.
bool parse_stat_text(char *text, char **name, int32_t *tty);

#endif
