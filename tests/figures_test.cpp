// Memory figures of any size: wide sums, scaling, and the decimal and human-readable texts.
#include "figures.h"

#include <string>

#include <gtest/gtest.h>

namespace {

constexpr uint64_t max64 = UINT64_MAX;

std::string decimal(Wide v)
{
    char text[figure_text_size];
    format_decimal(v, text);
    return text;
}

std::string human(Wide kib)
{
    char text[figure_text_size];
    format_human(kib, text);
    return text;
}

TEST(Figures, WideSumsAndScaling)
{
    const Wide max{0, max64}, zero{0, 0};
    struct Case {
        Wide value;
        std::string text;
    } cases[] = {
        {zero, "0"},
        {max, "18446744073709551615"},
        {plus(max, {0, 1}), "18446744073709551616"},
        {plus(plus(max, max), max), "55340232221128654845"},
        {scale(max, 0), "18889465931478580853760"},
        {scale(plus(plus(max, max), max), 0), "56668397794435742561280"},
        {scale(max, 10), "18446744073709551615"},
        {scale(max, 20), "18014398509481983"},
        {scale({0, 6442450944}, 30), "6144"},
        {scale({0, 1048575}, 30), "0"},
        {less(max, {0, 5}), "18446744073709551610"},
        {less({0, 5}, max), "0"},
        {less(plus(max, {0, 3}), max), "3"},
        {less(plus(max, max), plus(max, {0, 1})), "18446744073709551614"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decimal(c.value), c.text) << c.text;
}

TEST(Figures, HumanReadable)
{
    struct Case {
        uint64_t kib;
        std::string text;
    } cases[] = {
        {0, "0B"},
        {1, "1.0Ki"},
        {9, "9.0Ki"},
        {10, "10Ki"},
        {512, "512Ki"},
        {1023, "1023Ki"},
        {1024, "1.0Mi"},
        {1279, "1.2Mi"},              // 1.249
        {1280, "1.3Mi"},              // 1.25 exactly: half up
        {1536, "1.5Mi"},
        {10188, "9.9Mi"},             // 9.949
        {10189, "10Mi"},              // 9.950: rounds to ten, which has no decimal
        {10751, "10Mi"},              // 10.499
        {10752, "11Mi"},              // 10.5 exactly: half up
        {1048575, "1.0Gi"},           // 1023.999 Mi rounds to a whole GiB
        {1572864, "1.5Gi"},
        {10485759, "10Gi"},           // 10 GiB less 1 KiB
        {24117248, "23Gi"},
        {6442450944, "6.0Ti"},
        {(uint64_t)1 << 40, "1.0Pi"},
        {max64, "16777216Pi"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(human({0, c.kib}), c.text) << c.kib;
    // Sums beyond 64 bits stay in Pi.
    EXPECT_EQ(human(plus(plus({0, max64}, {0, max64}), {0, max64})), "50331648Pi");
}

} // namespace
