// Memory figures of any size: sums of 64-bit counts of KiB, scaled to a unit and written in
// decimal or in a form a person reads at a glance.
#ifndef KELPA_FREE_FIGURES_H
#define KELPA_FREE_FIGURES_H

#include <stdint.h>

// An unsigned 128-bit count: room for a sum of a few 64-bit counts of KiB, in bytes.
struct Wide {
    uint64_t high, low;
};

// The sum of a and b.
Wide plus(Wide a, Wide b);

// a less b, or 0 when b is larger.
Wide less(Wide a, Wide b);

// The count kib in KiB as a count of units of 2^shift bytes, rounded down (shift 0 to 40).
Wide scale(Wide kib, int shift);

// Room for a figure's text and its terminator.
constexpr int figure_text_size = 48;

// Writes the decimal digits of value and a terminator into out (figure_text_size bytes).
void format_decimal(Wide value, char *out);

// Writes kib as a person reads it into out (figure_text_size bytes): in the largest of B, Ki, Mi,
// Gi, Ti and Pi in which it is at least 1, with one decimal below 10 and none from 10 up,
// rounded half up: "0B", "512Ki", "1.5Gi", "23Gi".
void format_human(Wide kib, char *out);

#endif
