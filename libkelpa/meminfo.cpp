// The memory figures, in KiB, read from the kernel's memory report.
#include "kelpa.h"
#include "meminfo.h"

#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string_view>

uint32_t kb_main_total, kb_main_used, kb_main_free, kb_main_shared, kb_main_buffers, kb_main_cached,
    kb_low_total, kb_low_free, kb_high_total, kb_high_free, kb_swap_total, kb_swap_used, kb_swap_free;

namespace {

enum Field { MEM_TOTAL, MEM_FREE, SHMEM, BUFFERS, CACHED, SRECLAIMABLE, LOW_TOTAL, LOW_FREE,
             HIGH_TOTAL, HIGH_FREE, SWAP_TOTAL, SWAP_FREE, FIELD_COUNT };

// Held in place rather than by pointer: the table needs no relocation at load time.
constexpr char field_names[FIELD_COUNT][16] = {
    "MemTotal", "MemFree", "Shmem", "Buffers", "Cached", "SReclaimable", "LowTotal", "LowFree",
    "HighTotal", "HighFree", "SwapTotal", "SwapFree"};

uint32_t saturated(uint64_t value)
{
    return value > UINT32_MAX ? UINT32_MAX : (uint32_t)value;
}

template <typename T> T difference(T a, T b)
{
    return a > b ? a - b : 0;
}

uint64_t saturated_sum(uint64_t a, uint64_t b)
{
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

} // namespace

void parse_meminfo(const char *text, kelpa_memory *out)
{
    uint64_t value[FIELD_COUNT] = {};
    bool seen[FIELD_COUNT] = {};
    while (*text != '\0') {
        const char *colon = strchr(text, ':');
        const char *end = strchr(text, '\n');
        if (end == nullptr)
            end = text + strlen(text);
        if (colon != nullptr && colon < end) {
            std::string_view key(text, (size_t)(colon - text));
            for (int f = 0; f < FIELD_COUNT; ++f) {
                if (key != field_names[f])
                    continue;
                const char *p = colon + 1;
                while (*p == ' ' || *p == '\t')
                    ++p;
                uint64_t number = 0;
                for (; *p >= '0' && *p <= '9'; ++p) {
                    unsigned digit = (unsigned)(*p - '0');
                    number = number > (UINT64_MAX - digit) / 10 ? UINT64_MAX : number * 10 + digit;
                }
                value[f] = number;
                seen[f] = true;
                break;
            }
        }
        text = *end == '\n' ? end + 1 : end;
    }
    out->main_total = value[MEM_TOTAL];
    out->main_free = value[MEM_FREE];
    out->main_used = difference(out->main_total, out->main_free); // so used + free = total
    out->main_shared = value[SHMEM];
    out->main_buffers = value[BUFFERS];
    out->main_cached = saturated_sum(value[CACHED], value[SRECLAIMABLE]);
    out->low_total = seen[LOW_TOTAL] ? value[LOW_TOTAL] : out->main_total;
    out->low_free = seen[LOW_FREE] ? value[LOW_FREE] : out->main_free;
    out->high_total = value[HIGH_TOTAL];
    out->high_free = value[HIGH_FREE];
    out->swap_total = value[SWAP_TOTAL];
    out->swap_free = value[SWAP_FREE];
    out->swap_used = difference(out->swap_total, out->swap_free);
}

MemFigures narrow_figures(const kelpa_memory &wide)
{
    MemFigures f;
    f.main_total = saturated(wide.main_total);
    f.main_free = saturated(wide.main_free);
    f.main_used = difference(f.main_total, f.main_free);
    f.main_shared = saturated(wide.main_shared);
    f.main_buffers = saturated(wide.main_buffers);
    f.main_cached = saturated(wide.main_cached);
    f.low_total = saturated(wide.low_total);
    f.low_free = saturated(wide.low_free);
    f.high_total = saturated(wide.high_total);
    f.high_free = saturated(wide.high_free);
    f.swap_total = saturated(wide.swap_total);
    f.swap_free = saturated(wide.swap_free);
    f.swap_used = difference(f.swap_total, f.swap_free);
    return f;
}

void meminfo64(struct kelpa_memory *figures)
{
    static const char path[] = "/proc/meminfo";
    char text[16384];
    ssize_t length = -1;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        length = read(fd, text, sizeof text - 1);
        close(fd);
    }
    if (length < 0) {
        perror(path);
        length = 0;
    }
    text[length] = '\0';
    parse_meminfo(text, figures);
    MemFigures f = narrow_figures(*figures);
    kb_main_total = f.main_total;
    kb_main_used = f.main_used;
    kb_main_free = f.main_free;
    kb_main_shared = f.main_shared;
    kb_main_buffers = f.main_buffers;
    kb_main_cached = f.main_cached;
    kb_low_total = f.low_total;
    kb_low_free = f.low_free;
    kb_high_total = f.high_total;
    kb_high_free = f.high_free;
    kb_swap_total = f.swap_total;
    kb_swap_used = f.swap_used;
    kb_swap_free = f.swap_free;
}

void meminfo(void)
{
    kelpa_memory figures;
    meminfo64(&figures);
}
