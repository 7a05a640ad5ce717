/* The process-information library: signal names, user and terminal names,
 * memory figures, the status line and the version text. */
#ifndef KELPA_H
#define KELPA_H

#include <stdint.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The library's version text, such as "kelpa 1.1.0". */
extern const char kelpa_version[];

/* Prints "<program> (<kelpa_version>)" and a newline on standard output. */
void display_version(void);

/* The number of a signal written as NAME, SIGNAME, RTMIN+n, RTMAX-n or a decimal
 * number; a negative value when the text names no signal (lower case included). */
int signal_name_to_number(const char *name);

/* Prints every signal name, blank-separated, in lines shorter than 80 columns. */
void unix_print_signals(void);

/* Prints a table of signal numbers and names. */
void pretty_print_signals(void);

/* Converts each of the argc texts (a number to its name, a name to its number) and
 * prints the results blank-separated in lines shorter than max_line; reports each
 * text it cannot convert on standard error. A number above 128 is read as an exit
 * status: 128 plus the number of the signal that ended a process. Returns 0 when
 * all converted, else 1. */
int print_given_signals(int argc, const char *const *argv, int max_line);

/* The user name of uid, or its decimal form when the password database has no entry.
 * The text stays valid for the life of the process. */
const char *user_from_uid(uid_t uid);

/* Writes the name of terminal dev (of process pid) into buf, at most bound characters
 * and a terminator: "?" for no terminal; flag 1 leaves out the "/dev/" prefix.
 * Returns the length written. */
int dev_to_tty(char *buf, unsigned bound, unsigned long long dev, int pid, unsigned flags);

/* Brings the memory figures below, counts of KiB, up to date. */
void meminfo(void);
extern uint32_t kb_main_total, kb_main_used, kb_main_free, kb_main_shared, kb_main_buffers,
                kb_main_cached, kb_low_total, kb_low_free, kb_high_total, kb_high_free,
                kb_swap_total, kb_swap_used, kb_swap_free;

/* Prints the status line: time, time since boot, users and load averages. */
void print_uptime(void);

/* Since 1.1 (symbol version KELPA_1.1). */

/* The memory figures as 64-bit counts of KiB, right at any size; used is total less
 * free, never below 0. */
struct kelpa_memory {
    uint64_t main_total, main_used, main_free, main_shared, main_buffers, main_cached;
    uint64_t low_total, low_free, high_total, high_free;
    uint64_t swap_total, swap_used, swap_free;
};

/* Fills *figures from the kernel's memory report and brings the 32-bit figures above
 * up to date as meminfo does. */
void meminfo64(struct kelpa_memory *figures);

/* Prints the time since boot in words and a newline: "up 3 days, 2 hours, 41 minutes". */
void print_uptime_words(void);

/* Prints when the system started, in local time, and a newline: "2026-12-08 11:22:44". */
void print_boot_time(void);

#ifdef __cplusplus
}
#endif

#endif
