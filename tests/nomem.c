/* Preloaded to make every allocation of NOMEM_AT_LEAST bytes or more fail, as on a machine
 * that has run out of memory. */
#define _GNU_SOURCE
#include <errno.h>
#include <stdlib.h>

extern void *__libc_malloc(size_t size);

void *malloc(size_t size)
{
    const char *limit = getenv("NOMEM_AT_LEAST");
    if (limit != NULL && size >= strtoul(limit, NULL, 10)) {
        errno = ENOMEM;
        return NULL;
    }
    return __libc_malloc(size);
}
