/* Reference scanner: exactly the system work one candidate needs and nothing else: list /proc,
 * then per process one open, one status query, one read of at most 128 bytes and one close. */
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
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
        snprintf(path, sizeof path, "/proc/%s/stat", entry->d_name);
        int fd = open(path, O_RDONLY);
        if (fd < 0)
            continue;
        struct stat st;
        fstat(fd, &st);
        if (read(fd, buf, sizeof buf) < 0)
            buf[0] = '\0';
        close(fd);
    }
    closedir(proc);
    return 0;
}
