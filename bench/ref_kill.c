/* Reference for kill -0 PID: one signal, nothing else. */
#include <signal.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    return argc > 1 && kill((pid_t)atoi(argv[1]), 0) == 0 ? 0 : 1;
}
