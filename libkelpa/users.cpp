// User names by user ID, looked up in the password database once per ID.
#include "kelpa.h"

#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

struct UserName {
    UserName *next;
    uid_t uid;
    char name[1]; // allocated to the name's length
};

constexpr unsigned bucket_count = 64;
UserName *buckets[bucket_count];

} // namespace

const char *user_from_uid(uid_t uid)
{
    UserName **bucket = &buckets[uid % bucket_count];
    for (UserName *entry = *bucket; entry != nullptr; entry = entry->next)
        if (entry->uid == uid)
            return entry->name;

    char number[16];
    const char *name = number;
    if (struct passwd *pw = getpwuid(uid))
        name = pw->pw_name;
    else
        snprintf(number, sizeof number, "%u", (unsigned)uid);

    size_t length = strlen(name);
    UserName *entry = (UserName *)malloc(sizeof(UserName) + length);
    if (entry == nullptr) {
        // Nothing to remember it in; a text that lives on is still owed to the caller.
        static char fallback[16];
        snprintf(fallback, sizeof fallback, "%u", (unsigned)uid);
        return fallback;
    }
    entry->uid = uid;
    memcpy(entry->name, name, length + 1);
    entry->next = *bucket;
    *bucket = entry;
    return entry->name;
}
