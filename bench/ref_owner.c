/* Reference scanner for owners: exactly the system work of finding the processes of one user
 * and nothing else: look the user's name up in the password database, list /proc, then per
 * process one status query of its directory. Usage: ref_owner USER */
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <stddef.h>
#include <stdio.h>
#include <sys/stat.h>

int main(int argc, char **argv)
{
    struct passwd *user = argc > 1 ? getpwnam(argv[1]) : NULL;
    DIR *proc = opendir("/proc");
    if (user == NULL || proc == NULL)
        return 1;
    uid_t uid = user->pw_uid;
    struct dirent *entry;
    struct stat st;
    while ((entry = readdir(proc)) != NULL) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        if (fstatat(dirfd(proc), entry->d_name, &st, 0) == 0 && st.st_uid == uid)
            printf("%s\n", entry->d_name);
    }
    closedir(proc);
    return 0;
}
