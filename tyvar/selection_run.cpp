// Matching candidate processes against the selection and acting on them.
#include "tyvar.h"

int run_selection()
{
    return 0;
}

void inspect_process(int32_t)
{
}
