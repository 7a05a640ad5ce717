/* A stand-in for the process-information library, bound by the programs when LD_LIBRARY_PATH
 * names its directory. It answers in fixed, recognisable texts and appends every call it gets,
 * with its arguments, to the file named by FAKE_LOG, so the tests see exactly what the programs
 * pass and print, independent of the real library's wording.
 *   signal names: KILL is 9, HUP is 1, ZERO is 0; every other text names no signal.
 *   FAKE_STATUS: what print_given_signals returns (default 0).
 *   FAKE_TTY: the terminal name dev_to_tty writes (default "tty<dev>").
 *   FAKE_MEM: the thirteen memory figures, comma-separated, in the order of the header; the
 *   32-bit figures keep the low 32 bits of each, the 64-bit ones all of it. */
#define _GNU_SOURCE
#include "kelpa.h"

#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

const char kelpa_version[] = "FAKE-VERSION";

uint32_t kb_main_total, kb_main_used, kb_main_free, kb_main_shared, kb_main_buffers, kb_main_cached,
    kb_low_total, kb_low_free, kb_high_total, kb_high_free, kb_swap_total, kb_swap_used, kb_swap_free;

__attribute__((format(printf, 1, 2))) static void log_call(const char *format, ...)
{
    const char *path = getenv("FAKE_LOG");
    if (path == NULL)
        return;
    char line[4096];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (length >= (int)sizeof line)
        length = sizeof line - 1;
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    if (write(fd, line, (size_t)length) < 0) {
    }
    close(fd);
}

void display_version(void)
{
    log_call("display_version\n");
    printf("<version>\n");
}

int signal_name_to_number(const char *name)
{
    log_call("signal_name_to_number \"%s\"\n", name);
    if (strcmp(name, "KILL") == 0)
        return 9;
    if (strcmp(name, "HUP") == 0)
        return 1;
    if (strcmp(name, "ZERO") == 0)
        return 0;
    return -1;
}

void unix_print_signals(void)
{
    log_call("unix_print_signals\n");
    printf("<signal list>\n");
}

void pretty_print_signals(void)
{
    log_call("pretty_print_signals\n");
    printf("<signal table>\n");
}

int print_given_signals(int argc, const char *const *argv, int max_line)
{
    log_call("print_given_signals %d", argc);
    for (int i = 0; i < argc; ++i)
        log_call(" \"%s\"", argv[i]);
    log_call(" %d\n", max_line);
    printf("<converted>\n");
    const char *status = getenv("FAKE_STATUS");
    return status ? atoi(status) : 0;
}

const char *user_from_uid(uid_t uid)
{
    static char name[32];
    log_call("user_from_uid %u\n", (unsigned)uid);
    snprintf(name, sizeof name, "user%u", (unsigned)uid);
    return name;
}

int dev_to_tty(char *buf, unsigned bound, unsigned long long dev, int pid, unsigned flags)
{
    log_call("dev_to_tty %u %llu %d %u\n", bound, dev, pid, flags);
    const char *fixed = getenv("FAKE_TTY");
    if (fixed != NULL)
        return snprintf(buf, bound + 1, "%s", fixed);
    return snprintf(buf, bound + 1, "tty%lld", (long long)dev);
}

void meminfo(void)
{
    log_call("meminfo\n");
    uint32_t *figures[] = {&kb_main_total, &kb_main_used, &kb_main_free, &kb_main_shared,
                           &kb_main_buffers, &kb_main_cached, &kb_low_total, &kb_low_free,
                           &kb_high_total, &kb_high_free, &kb_swap_total, &kb_swap_used,
                           &kb_swap_free};
    const char *text = getenv("FAKE_MEM");
    for (size_t i = 0; i < sizeof figures / sizeof figures[0]; ++i) {
        char *end = NULL;
        *figures[i] = text ? (uint32_t)strtoul(text, &end, 10) : 0;
        text = end && *end == ',' ? end + 1 : NULL;
    }
}

void meminfo64(struct kelpa_memory *figures)
{
    log_call("meminfo64\n");
    uint64_t *wide[] = {&figures->main_total, &figures->main_used, &figures->main_free,
                        &figures->main_shared, &figures->main_buffers, &figures->main_cached,
                        &figures->low_total, &figures->low_free, &figures->high_total,
                        &figures->high_free, &figures->swap_total, &figures->swap_used,
                        &figures->swap_free};
    const char *text = getenv("FAKE_MEM");
    for (size_t i = 0; i < sizeof wide / sizeof wide[0]; ++i) {
        char *end = NULL;
        *wide[i] = text ? (uint64_t)strtoull(text, &end, 10) : 0;
        text = end && *end == ',' ? end + 1 : NULL;
    }
}

void print_uptime(void)
{
    log_call("print_uptime\n");
    printf("<status line>\n");
}

void print_uptime_words(void)
{
    log_call("print_uptime_words\n");
    printf("<up in words>\n");
}

void print_boot_time(void)
{
    log_call("print_boot_time\n");
    printf("<boot time>\n");
}
