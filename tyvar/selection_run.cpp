// Matching candidate processes against the selection and acting on them. A candidate is held by
// the first /proc file opened for it: a read on that file fails once the process has ended,
// even when its ID has passed to a new process, so the action reaches only the process that
// matched. Each candidate is asked the cheapest question that can rule it out first.
#include "tyvar.h"
#include "names.h"
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

extern "C" { // this C library's header declares its functions without C linkage
#include <sys/pidfd.h>
}

namespace {

// The /proc directory that candidates' paths are taken from; set by run_selection.
int proc_fd = -1;

// One candidate process and what has been learnt of it.
struct Candidate {
    int32_t pid = 0;
    int held = -1;          // the first /proc file opened for it, open until it is done
    uid_t owner = 0;        // valid once owner_known
    bool owner_known = false;
    char text[128];         // the held file's text: the stat line, or the name from comm
    char *name = nullptr;   // the kernel's command name, inside text
    int32_t tty = 0;        // valid once tty_known
    bool tty_known = false;
};

template <typename T> bool listed(const T *list, int32_t count, T value)
{
    for (int32_t i = count - 1; i >= 0; --i)
        if (list[i] == value)
            return true;
    return false;
}

// Writes "<pid>" or "<pid>/<leaf>" into buf (at least 24 bytes), relative to /proc: done once
// per process of the machine, so without the formatting machinery.
void proc_path(char *buf, int32_t pid, const char *leaf)
{
    char digits[12];
    int n = 0;
    uint32_t value = pid < 0 ? 0u - (uint32_t)pid : (uint32_t)pid;
    do {
        digits[n++] = (char)('0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (pid < 0)
        *buf++ = '-';
    while (n > 0)
        *buf++ = digits[--n];
    if (leaf != nullptr) {
        *buf++ = '/';
        strcpy(buf, leaf);
    } else {
        *buf = '\0';
    }
}

int open_file(int32_t pid, const char *leaf)
{
    char path[24];
    proc_path(path, pid, leaf);
    return openat(proc_fd, path, O_RDONLY | O_CLOEXEC);
}

// Reads a small /proc file from its start into buf (size bytes with the terminator); the
// length read, or -1.
ssize_t read_text(int fd, char *buf, size_t size)
{
    ssize_t length = pread(fd, buf, size, 0);
    if (length > (ssize_t)size - 1)
        length = (ssize_t)size - 1;
    if (length >= 0)
        buf[length] = '\0';
    return length;
}

// Reads the stat line into c->text and takes the name and the terminal from it.
bool read_stat(Candidate *c, int fd)
{
    ssize_t length = read_text(fd, c->text, sizeof c->text);
    c->tty_known = length > 0 && parse_stat_text(c->text, &c->name, &c->tty);
    return c->tty_known;
}

// Reads the name from comm into c->text.
bool read_comm(Candidate *c)
{
    ssize_t length = read_text(c->held, c->text, sizeof c->text);
    if (length <= 0 || c->text[length - 1] != '\n')
        return false;
    c->text[length - 1] = '\0';
    c->name = c->text;
    return true;
}

bool read_owner(Candidate *c)
{
    struct stat st;
    if (!c->owner_known && fstat(c->held, &st) == 0) {
        c->owner = st.st_uid;
        c->owner_known = true;
    }
    return c->owner_known;
}

// Whether the held process is still the one that was read; a read fails once it has ended.
bool still_there(const Candidate &c)
{
    char byte;
    return pread(c.held, &byte, 1, 0) == 1;
}

// The full name of the process behind a kernel name of full length, read under the held file.
bool full_name_is(const Candidate &c, const char *entry)
{
    int fd = open_file(c.pid, "cmdline");
    if (fd < 0)
        return false;
    char cmdline[4096];
    ssize_t length = pread(fd, cmdline, sizeof cmdline, 0);
    close(fd);
    if (length <= 0 || !still_there(c))
        return false;
    const char *full = full_command_name(cmdline, (size_t)length, c.name);
    return full != nullptr && strcmp(full, entry) == 0;
}

// A criterion longer than the kernel keeps matches by its first bytes and the full name.
bool command_listed(const Candidate &c)
{
    for (int32_t i = run_state.command_count - 1; i >= 0; --i) {
        const char *entry = run_state.command_list[i];
        if (entry[0] != c.name[0])
            continue;
        if (strlen(entry) <= kernel_name_max) {
            if (strcmp(entry, c.name) == 0)
                return true;
        } else if (strlen(c.name) == kernel_name_max &&
                   strncmp(entry, c.name, kernel_name_max) == 0 && full_name_is(c, entry)) {
            return true;
        }
    }
    return false;
}

// The process line's four fields, followed by end.
void print_fields(FILE *stream, const char *tty, uid_t uid, int32_t pid, const char *name,
                  const char *end)
{
    fprintf(stream, "%-8s %-8s %5d %-16.16s%s", tty, user_from_uid(uid), pid, name, end);
}

// Sends the signal or sets the priority, only while the held process is the one that matched;
// 0, or -1 with errno set (ESRCH when it has ended).
int act(const Candidate &c)
{
    if (run_state.personality != PERSONA_TYVAR) {
        // No descriptor form of setpriority: the window is the one between these two calls.
        if (!still_there(c)) {
            errno = ESRCH;
            return -1;
        }
        return setpriority(PRIO_PROCESS, (id_t)c.pid, run_state.action_value);
    }
    // A descriptor opened before the confirmation names the confirmed process.
    int pidfd = pidfd_open(c.pid, 0);
    if ((pidfd < 0 && errno == ESRCH) || !still_there(c)) {
        if (pidfd >= 0)
            close(pidfd);
        errno = ESRCH;
        return -1;
    }
    // Where descriptors are refused (old kernels, sandboxes, thread IDs), the window left is
    // the one between the confirmation and this call.
    if (pidfd < 0)
        return kill(c.pid, run_state.action_value);
    int result = pidfd_send_signal(pidfd, run_state.action_value, nullptr, 0);
    int error = errno;
    close(pidfd);
    errno = error;
    return result;
}

void report_not_found(int32_t pid)
{
    if (run_state.pid_list != nullptr && run_state.warn_count != 0)
        printf("WARNING: process %d could not be found.", pid);
}

// Looks at one candidate with its held file open: whether it matches, and then the action
// and the lines about it. The caller closes the file.
void inspect_held(Candidate *c)
{
    bool tty_criterion = run_state.tty_list != nullptr;
    if (!(tty_criterion ? read_stat(c, c->held) : read_comm(c)))
        return; // ended under us, or the text is cut short: nothing to match
    // The ID may have passed to a process of another owner since the directory was asked.
    if (run_state.uid_list != nullptr &&
        (!read_owner(c) || !listed(run_state.uid_list, run_state.uid_count, c->owner)))
        return;
    if ((tty_criterion && !listed(run_state.tty_list, run_state.tty_count, c->tty)) ||
        (run_state.command_list != nullptr && !command_listed(*c)))
        return;

    // Selected. Lines about it need its terminal and its owner.
    bool lines = run_state.interactive_count != 0 || run_state.verbose_count != 0 ||
                 run_state.warn_count != 0;
    char tty_name[1000];
    if (lines) {
        if (!c->tty_known) {
            int fd = open_file(c->pid, "stat");
            bool read = fd >= 0 && read_stat(c, fd);
            if (fd >= 0)
                close(fd);
            if (!read || !still_there(*c))
                return;
        }
        if (!read_owner(c))
            return;
        dev_to_tty(tty_name, 999, (unsigned long long)(long long)c->tty, c->pid, 1);
        mask_control_characters(c->name);
    }

    if (run_state.interactive_count != 0) {
        print_fields(stderr, tty_name, c->owner, c->pid, c->name, "   ? ");
        char reply[7];
        if (fgets(reply, sizeof reply, stdin) == nullptr) {
            putchar('\n');
            exit(0);
        }
        if (reply[0] != 'y' && reply[0] != 'Y')
            return;
    }

    int result = act(*c);
    int error = errno;
    if (result != 0 && run_state.warn_count != 0) {
        print_fields(stderr, tty_name, c->owner, c->pid, c->name, "   ");
        errno = error;
        perror("");
    } else if (run_state.interactive_count == 0) {
        if (run_state.verbose_count != 0)
            print_fields(stdout, tty_name, c->owner, c->pid, c->name, "\n");
        else if (run_state.noaction_count != 0)
            printf("%d\n", c->pid);
    }
}

} // namespace

int run_selection()
{
    if (run_state.pid_list != nullptr) {
        proc_fd = open("/proc", O_PATH | O_DIRECTORY | O_CLOEXEC);
        for (int32_t i = run_state.pid_count - 1; i >= 0; --i)
            inspect_process(run_state.pid_list[i]);
        return 0;
    }
    DIR *proc = opendir("/proc");
    if (proc == nullptr) {
        perror("/proc");
        exit(1);
    }
    proc_fd = dirfd(proc);
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
    Candidate c;
    c.pid = pid;
    // A user criterion is settled by the owner of the process's directory, before any open.
    if (run_state.uid_list != nullptr) {
        char path[24];
        struct stat st;
        proc_path(path, pid, nullptr);
        if (fstatat(proc_fd, path, &st, 0) != 0) {
            report_not_found(pid);
            return;
        }
        if (!listed(run_state.uid_list, run_state.uid_count, st.st_uid))
            return;
    }
    c.held = open_file(pid, run_state.tty_list != nullptr ? "stat" : "comm");
    if (c.held < 0) {
        report_not_found(pid);
        return;
    }
    inspect_held(&c);
    close(c.held);
}
