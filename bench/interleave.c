/* Times commands round-robin: each round runs every command once, in a shuffled order, so slow
 * drifts of a shared machine and the caches one command leaves to the next weigh on all alike. Prints one line per command: its name, median and mean
 * wall time in seconds. Usage: interleave ROUNDS WARMUP NAME=COMMAND... (blank-separated
 * words, no quoting). Output of the commands is discarded; their exit status is not judged. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#define MAX_WORDS 32

struct command {
    char *name;
    char *argv[MAX_WORDS + 1];
    double *times;
};

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static double run(char **argv, int null)
{
    double start = now();
    pid_t pid = fork();
    if (pid == 0) {
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[0], argv);
        _exit(127);
    }
    int status;
    waitpid(pid, &status, 0);
    return now() - start;
}

static int by_value(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: interleave ROUNDS WARMUP NAME=COMMAND...\n");
        return 2;
    }
    int rounds = atoi(argv[1]), warmup = atoi(argv[2]), count = argc - 3;
    struct command *commands = calloc((size_t)count, sizeof *commands);
    for (int c = 0; c < count; ++c) {
        char *text = argv[c + 3], *eq = strchr(text, '=');
        if (eq == NULL)
            return 2;
        *eq = '\0';
        commands[c].name = text;
        int n = 0;
        for (char *word = strtok(eq + 1, " "); word && n < MAX_WORDS; word = strtok(NULL, " "))
            commands[c].argv[n++] = word;
        commands[c].times = calloc((size_t)rounds, sizeof(double));
    }
    int null = open("/dev/null", O_WRONLY);
    int *order = calloc((size_t)count, sizeof(int));
    for (int c = 0; c < count; ++c)
        order[c] = c;
    srand(12345);
    for (int r = -warmup; r < rounds; ++r) {
        for (int i = count - 1; i > 0; --i) {
            int j = rand() % (i + 1), t = order[i];
            order[i] = order[j];
            order[j] = t;
        }
        for (int i = 0; i < count; ++i) {
            int c = order[i];
            double t = run(commands[c].argv, null);
            if (r >= 0)
                commands[c].times[r] = t;
        }
    }
    for (int c = 0; c < count; ++c) {
        double sum = 0;
        for (int r = 0; r < rounds; ++r)
            sum += commands[c].times[r];
        qsort(commands[c].times, (size_t)rounds, sizeof(double), by_value);
        double median = rounds % 2 ? commands[c].times[rounds / 2]
                                   : (commands[c].times[rounds / 2 - 1] + commands[c].times[rounds / 2]) / 2;
        printf("%s\t%.9f\t%.9f\n", commands[c].name, median, sum / rounds);
    }
    return 0;
}
