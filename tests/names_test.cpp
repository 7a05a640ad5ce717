// Command names: the full name behind the kernel's 15 bytes, and names made safe to show.
#include "names.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(Names, FullCommandName)
{
    using namespace std::string_literals;
    struct Case {
        std::string cmdline, kernel;
        const char *full; // nullptr: none
    } cases[] = {
        {"/usr/sbin/some-long-daemon-name\0--flag\0"s, "some-long-daemo", "some-long-daemon-name"},
        {"some-long-daemon-name\0"s, "some-long-daemo", "some-long-daemon-name"},
        {"some-long-daemon-name"s, "some-long-daemo", nullptr}, // cut short: no terminator
        // A script: the first argument is its interpreter, the second the script.
        {"/bin/sh\0/opt/tools/nightly-backup-job\0-v\0"s, "nightly-backup-", "nightly-backup-job"},
        {"python3\0./nightly-backup-job\0"s, "nightly-backup-", "nightly-backup-job"},
        // The first argument wins where both fit.
        {"/a/nightly-backup-one\0/b/nightly-backup-two\0"s, "nightly-backup-", "nightly-backup-one"},
        // A process that rewrote its arguments, or whose arguments name something else.
        {"worker: idle\0\0\0"s, "some-long-daemo", nullptr},
        {"/bin/sh\0-c\0nightly-backup-job\0"s, "nightly-backup-", nullptr},
        {""s, "some-long-daemo", nullptr},
        {"/path/ends/in/slash/\0"s, "some-long-daemo", nullptr},
    };
    for (const Case &c : cases) {
        const char *full = full_command_name(c.cmdline.data(), c.cmdline.size(), c.kernel.c_str());
        if (c.full == nullptr)
            EXPECT_EQ(full, nullptr) << c.cmdline;
        else
            EXPECT_STREQ(full, c.full) << c.cmdline;
    }
}

TEST(Names, ControlCharactersAreMasked)
{
    struct Case {
        std::string name, shown;
    } cases[] = {
        {"plain name", "plain name"},
        {"ev\x1b[2J\x07il\x7f", "ev?[2J?il?"},
        {"a\xc2\x9b" "31mb", "a?31mb"},            // U+009B, a control sequence introducer
        {"\xc2\x80\xc2\x9f", "??"},                // first and last C1 control
        {"caf\xc3\xa9 \xc2\xa0\xc2\xa9", "caf\xc3\xa9 \xc2\xa0\xc2\xa9"}, // e-acute, no-break space, (c)
        {"\xe2\x82\xac \xf0\x9f\x98\x80", "\xe2\x82\xac \xf0\x9f\x98\x80"},  // euro sign, an emoji
        {"x\x9by", "x?y"},                         // a lone C1 byte, as in 8-bit encodings
        {"\x80\x9f\xa0\xff", "??\xa0\xff"},        // stray bytes past the controls stay
        {"\xc2", "\xc2"},                          // a cut sequence at the end
        {"\xc2\x1b", "\xc2?"},
        {"\xe2\x82\x9b", "\xe2\x82\x9b"},          // U+209B: the 0x9b is a continuation byte
        {"\xe2\x9b", "\xe2?"},                     // cut three-byte sequence: the byte is on its own
        {"\xc1\x9b", "\xc1?"},                     // overlong form of U+005B
        {"\xed\xa0\x80", "\xed\xa0?"},          // a surrogate is no valid sequence
        {"", ""},
    };
    for (const Case &c : cases) {
        std::string name = c.name;
        mask_control_characters(name.data());
        EXPECT_EQ(std::string(name.c_str()), c.shown) << testing::PrintToString(c.name);
    }
}

} // namespace
