// Terminal names from terminal device numbers, as the process table reports them.
#include "kelpa.h"
#include "tty_drivers.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr int max_drivers = 64;
TtyDriver drivers[max_drivers];
int driver_count = -1; // read on first need

// Whether /dev/<name> is the character device major:minor.
bool is_device(const char *name, unsigned major_number, unsigned minor_number)
{
    char path[128];
    struct stat st;
    if ((unsigned)snprintf(path, sizeof path, "/dev/%s", name) >= sizeof path)
        return false;
    return stat(path, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) == major_number &&
           minor(st.st_rdev) == minor_number;
}

void load_drivers()
{
    driver_count = 0;
    char text[8192];
    int fd = open("/proc/tty/drivers", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ssize_t length = read(fd, text, sizeof text - 1);
    close(fd);
    if (length <= 0)
        return;
    text[length] = '\0';
    driver_count = parse_tty_drivers(text, drivers, max_drivers);
}

bool name_from_drivers(unsigned major_number, unsigned minor_number, char *name, unsigned size)
{
    if (driver_count < 0)
        load_drivers();
    for (int i = 0; i < driver_count; ++i) {
        const TtyDriver &d = drivers[i];
        if (d.major != major_number || minor_number < d.minor_first || minor_number > d.minor_last)
            continue;
        for (int n = 0; tty_driver_candidate(d, minor_number, n, name, size); ++n)
            if (is_device(name, major_number, minor_number))
                return true;
    }
    return false;
}

// A standard descriptor of the process that is open on the terminal names it.
bool name_from_descriptors(int pid, unsigned major_number, unsigned minor_number, char *name,
                           unsigned size)
{
    static const int fds[] = {2, 0, 1, 255};
    for (int fd : fds) {
        char link[64], target[128];
        snprintf(link, sizeof link, "/proc/%d/fd/%d", pid, fd);
        ssize_t length = readlink(link, target, sizeof target - 1);
        if (length <= 5)
            continue;
        target[length] = '\0';
        if (strncmp(target, "/dev/", 5) != 0 || !is_device(target + 5, major_number, minor_number))
            continue;
        snprintf(name, size, "%s", target + 5);
        return true;
    }
    return false;
}

} // namespace

int parse_tty_drivers(const char *text, TtyDriver *out, int max)
{
    int count = 0;
    while (*text != '\0' && count < max) {
        const char *end = strchr(text, '\n');
        size_t length = end ? (size_t)(end - text) : strlen(text);
        char line[256];
        if (length < sizeof line) {
            memcpy(line, text, length);
            line[length] = '\0';
            char driver[64], path[64];
            unsigned major_number, first, last;
            int fields = sscanf(line, "%63s %63s %u %u-%u", driver, path, &major_number, &first, &last);
            if (fields >= 4 && strncmp(path, "/dev/", 5) == 0) {
                TtyDriver &d = out[count++];
                memcpy(d.path, path, sizeof d.path);
                d.major = major_number;
                d.minor_first = first;
                d.minor_last = fields == 5 ? last : first;
            }
        }
        text += length;
        if (*text == '\n')
            ++text;
    }
    return count;
}

bool tty_driver_candidate(const TtyDriver &d, unsigned minor_number, int n, char *buf, unsigned size)
{
    const char *base = d.path + 5;
    unsigned offset = minor_number - d.minor_first;
    if (d.minor_first != d.minor_last)
        ++n; // only a driver of one device may be named by its path alone
    switch (n) {
    case 0: snprintf(buf, size, "%s", base); return true;
    case 1: snprintf(buf, size, "%s%u", base, minor_number); return true;
    case 2: snprintf(buf, size, "%s%u", base, offset); return true;
    case 3: snprintf(buf, size, "%s/%u", base, minor_number); return true;
    case 4: snprintf(buf, size, "%s/%u", base, offset); return true;
    default: return false;
    }
}

int dev_to_tty(char *buf, unsigned bound, unsigned long long dev, int pid, unsigned flags)
{
    // The process table's terminal field is 32 bits wide; the upper half is only its sign.
    unsigned low = (unsigned)dev;
    unsigned major_number = (low >> 8) & 0xfff;
    unsigned minor_number = (low & 0xff) | ((low >> 12) & 0xfff00);

    char name[128];
    bool is_path = true;
    if (low == 0) {
        strcpy(name, "?");
        is_path = false;
    } else if (major_number >= 136 && major_number <= 143) {
        snprintf(name, sizeof name, "pts/%u", (major_number - 136) * 256 + minor_number);
    } else if (!name_from_drivers(major_number, minor_number, name, sizeof name) &&
               !name_from_descriptors(pid, major_number, minor_number, name, sizeof name)) {
        snprintf(name, sizeof name, "%u,%u", major_number, minor_number);
        is_path = false;
    }

    if (buf == nullptr || bound == 0) {
        if (buf != nullptr)
            buf[0] = '\0';
        return 0;
    }
    const char *prefix = is_path && !(flags & 1) ? "/dev/" : "";
    size_t size = bound == (unsigned)-1 ? bound : (size_t)bound + 1;
    int length = snprintf(buf, size, "%s%s", prefix, name);
    return length > (int)bound ? (int)bound : length;
}
