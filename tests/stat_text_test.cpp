// The command name and terminal field of a stat line, whatever the name holds.
#include "stat_text.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(StatText, NameAndTerminal)
{
    struct Case {
        std::string text;
        bool ok;
        std::string name;
        int32_t tty;
    } cases[] = {
        {"1 (init) S 0 1 1 0 -1 4194560", true, "init", 0},
        {"42 (bash) S 41 42 42 34816 42 4194304", true, "bash", 34816},
        {"7 (a b) c) S 1 7 7 -2147450880 7", true, "a b) c", -2147450880},
        {"7 ((x)) S 1 7 7 259", true, "(x)", 259},
        {"7 (x) S 1 2 3 4 (y) S 1 7 7 1025 -1", true, "x) S 1 2 3 4 (y", 1025},
        {"7 () S 1 7 7 5", true, "", 5},
        {"7 (x) S 1 7 7 12abc", true, "x", 12},
        {"7 (x) S 1 7 7 ", true, "x", 0},
        {"7 (x) S 1 7 7", false, "", 0},
        {"7 (x S 1 7 7 5", false, "", 0},
        {"7 x) S 1 7 7 5", false, "", 0},
        {"7 )x( S 1 7 7 5", false, "", 0},
        {"", false, "", 0},
    };
    for (const Case &c : cases) {
        std::string buffer = c.text;
        char *name = nullptr;
        int32_t tty = -1;
        ASSERT_EQ(parse_stat_text(buffer.data(), &name, &tty), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(std::string(name), c.name) << c.text;
            EXPECT_EQ(tty, c.tty) << c.text;
        } else {
            EXPECT_EQ(buffer, c.text) << "left untouched";
        }
    }
}

} // namespace
