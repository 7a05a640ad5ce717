/* Reference scanner for names: exactly the system work of asking each process its name and
 * nothing else: list /proc, then per process one open of comm (relative to the listed
 * directory), one read and one close. */
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

int main(void)
{
    DIR *proc = opendir("/proc");
    if (proc == NULL)
        return 1;
    struct dirent *entry;
    char path[300], buf[128];
    while ((entry = readdir(proc)) != NULL) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        snprintf(path, sizeof path, "%s/comm", entry->d_name);
        int fd = openat(dirfd(proc), path, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (pread(fd, buf, sizeof buf, 0) < 0)
            buf[0] = '\0';
        close(fd);
    }
    closedir(proc);
    return 0;
}
