// Matching candidate processes against the selection and acting on them.
#include "tyvar.h"
#include "stat_text.h"

#include "kelpa.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

template <typename T> bool listed(const T *list, int32_t count, T value)
{
    for (int32_t i = count - 1; i >= 0; --i)
        if (list[i] == value)
            return true;
    return false;
}

bool command_listed(const char *name)
{
    for (int32_t i = run_state.command_count - 1; i >= 0; --i) {
        const char *entry = run_state.command_list[i];
        if (entry[0] == name[0] && strcmp(entry, name) == 0)
            return true;
    }
    return false;
}

// Anyone can name a process; its name must not drive the terminal that shows it.
void mask_control_bytes(char *name)
{
    for (unsigned char *p = (unsigned char *)name; *p != '\0'; ++p)
        if (*p < 0x20 || *p == 0x7f)
            *p = '?';
}

// The process line's four fields, followed by end.
void print_fields(FILE *stream, const char *tty, uid_t uid, int32_t pid, const char *name,
                  const char *end)
{
    fprintf(stream, "%-8s %-8s %5d %-16.16s%s", tty, user_from_uid(uid), pid, name, end);
}

// Writes "/proc/<pid>/stat" into buf (at least 24 bytes): done once per process of the
// machine, so without the formatting machinery.
void stat_path(char *buf, int32_t pid)
{
    char digits[12];
    int n = 0;
    uint32_t value = pid < 0 ? 0u - (uint32_t)pid : (uint32_t)pid;
    do {
        digits[n++] = (char)('0' + value % 10);
        value /= 10;
    } while (value != 0);
    memcpy(buf, "/proc/", 6);
    buf += 6;
    if (pid < 0)
        *buf++ = '-';
    while (n > 0)
        *buf++ = digits[--n];
    memcpy(buf, "/stat", 6);
}

} // namespace

int run_selection()
{
    if (run_state.pid_list != nullptr) {
        for (int32_t i = run_state.pid_count - 1; i >= 0; --i)
            inspect_process(run_state.pid_list[i]);
        return 0;
    }
    DIR *proc = opendir("/proc");
    if (proc == nullptr) {
        perror("/proc");
        exit(1);
    }
    while (struct dirent *entry = readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        int32_t pid = 0;
        for (const char *p = entry->d_name; *p >= '0' && *p <= '9'; ++p)
            pid = pid * 10 + (*p - '0');
        inspect_process(pid);
    }
    closedir(proc);
    return 0;
}

void inspect_process(int32_t pid)
{
    if (pid == run_state.self_pid)
        return;
    char stat_text[128];
    stat_path(stat_text, pid);
    int fd = open(stat_text, O_RDONLY);
    if (fd < 0) {
        if (run_state.pid_list != nullptr && run_state.warn_count != 0)
            printf("WARNING: process %d could not be found.", pid);
        return;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 ||
        (run_state.uid_list != nullptr && !listed(run_state.uid_list, run_state.uid_count, st.st_uid))) {
        close(fd);
        return;
    }

    ssize_t length = read(fd, stat_text, sizeof stat_text);
    if (length > (ssize_t)sizeof stat_text - 1)
        length = sizeof stat_text - 1;
    char *name;
    int32_t tty;
    if (length > 0)
        stat_text[length] = '\0';
    if (length <= 0 || !parse_stat_text(stat_text, &name, &tty)) {
        close(fd); // the process ended under us, or the line is cut short: nothing to match
        return;
    }
    if ((run_state.tty_list != nullptr && !listed(run_state.tty_list, run_state.tty_count, tty)) ||
        (run_state.command_list != nullptr && !command_listed(name))) {
        close(fd);
        return;
    }

    char tty_name[1000];
    dev_to_tty(tty_name, 999, (unsigned long long)(long long)tty, pid, 1);
    mask_control_bytes(name);

    if (run_state.interactive_count != 0) {
        print_fields(stderr, tty_name, st.st_uid, pid, name, "   ? ");
        char reply[7];
        if (fgets(reply, sizeof reply, stdin) == nullptr) {
            putchar('\n');
            exit(0);
        }
        if (reply[0] != 'y' && reply[0] != 'Y') {
            close(fd);
            return;
        }
    }

    int result = run_state.personality == PERSONA_TYVAR
                     ? kill(pid, run_state.action_value)
                     : setpriority(PRIO_PROCESS, (id_t)pid, run_state.action_value);
    int error = errno;
    if (result != 0 && run_state.warn_count != 0) {
        print_fields(stderr, tty_name, st.st_uid, pid, name, "   ");
        errno = error;
        perror("");
    } else if (run_state.interactive_count == 0) {
        if (run_state.verbose_count != 0)
            print_fields(stdout, tty_name, st.st_uid, pid, name, "\n");
        else if (run_state.noaction_count != 0)
            printf("%d\n", pid);
    }
    close(fd);
}
