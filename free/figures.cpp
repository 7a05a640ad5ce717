// Memory figures of any size, in 128 bits: the sums of 64-bit figures and their bytes overflow
// 64 bits, and the 32-bit target has no native 128-bit type.
#include "figures.h"

#include <stdio.h>
#include <string.h>

namespace {

bool is_zero(Wide v)
{
    return v.high == 0 && v.low == 0;
}

bool less_than(Wide a, Wide b)
{
    return a.high != b.high ? a.high < b.high : a.low < b.low;
}

Wide shifted_left(Wide v, int n)
{
    if (n == 0)
        return v;
    if (n >= 64)
        return {v.low << (n - 64), 0};
    return {v.high << n | v.low >> (64 - n), v.low << n};
}

Wide shifted_right(Wide v, int n)
{
    if (n == 0)
        return v;
    if (n >= 64)
        return {0, v.high >> (n - 64)};
    return {v.high >> n, v.low >> n | v.high << (64 - n)};
}

// Divides *v by a small divisor in place, in 32-bit pieces; returns the remainder.
unsigned divide(Wide *v, unsigned divisor)
{
    uint32_t part[4] = {(uint32_t)(v->high >> 32), (uint32_t)v->high, (uint32_t)(v->low >> 32),
                        (uint32_t)v->low};
    uint64_t remainder = 0;
    for (uint32_t &p : part) {
        uint64_t current = remainder << 32 | p;
        p = (uint32_t)(current / divisor);
        remainder = current % divisor;
    }
    v->high = (uint64_t)part[0] << 32 | part[1];
    v->low = (uint64_t)part[2] << 32 | part[3];
    return (unsigned)remainder;
}

// value / 2^shift, rounded half up.
Wide rounded(Wide value, int shift)
{
    if (shift == 0)
        return value;
    return shifted_right(plus(value, shifted_left({0, 1}, shift - 1)), shift);
}

} // namespace

Wide plus(Wide a, Wide b)
{
    Wide sum{a.high + b.high, a.low + b.low};
    sum.high += sum.low < a.low;
    return sum;
}

Wide less(Wide a, Wide b)
{
    if (less_than(a, b))
        return {0, 0};
    return {a.high - b.high - (a.low < b.low), a.low - b.low};
}

Wide scale(Wide kib, int shift)
{
    return shift <= 10 ? shifted_left(kib, 10 - shift) : shifted_right(kib, shift - 10);
}

void format_decimal(Wide value, char *out)
{
    char digits[40];
    int count = 0;
    do
        digits[count++] = (char)('0' + divide(&value, 10));
    while (!is_zero(value));
    for (int i = 0; i < count; ++i)
        out[i] = digits[count - 1 - i];
    out[count] = '\0';
}

void format_human(Wide kib, char *out)
{
    static const char units[][3] = {"B", "Ki", "Mi", "Gi", "Ti", "Pi"};
    constexpr int last = 5;
    Wide bytes = scale(kib, 0);
    int unit = 0;
    while (unit < last && !is_zero(shifted_right(bytes, 10 * (unit + 1))))
        ++unit;
    if (unit > 0) {
        // Tenths, from ten times the bytes: 10 * v = 8 * v + 2 * v.
        Wide tenths = rounded(plus(shifted_left(bytes, 3), shifted_left(bytes, 1)), 10 * unit);
        if (tenths.high == 0 && tenths.low < 100) {
            snprintf(out, figure_text_size, "%u.%u%s", (unsigned)(tenths.low / 10), (unsigned)(tenths.low % 10),
                     units[unit]);
            return;
        }
    }
    Wide whole = rounded(bytes, 10 * unit);
    // Rounding up to a whole 1024 is 1.0 of the next unit.
    if (unit < last && whole.high == 0 && whole.low == 1024) {
        snprintf(out, figure_text_size, "1.0%s", units[unit + 1]);
        return;
    }
    char digits[figure_text_size];
    format_decimal(whole, digits);
    snprintf(out, figure_text_size, "%s%s", digits, units[unit]);
}
