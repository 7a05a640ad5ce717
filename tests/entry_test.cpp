// The program entry: personalities by invocation name, refusals and the priority raise.
#include "harness.h"
#include "texts.h"
#include "tyvar.h"

#include <gtest/gtest.h>

namespace {

TEST(Entry, EmptyArgumentVectorIsRefused)
{
    char *argv[] = {nullptr};
    EXPECT_EXIT(tyvar_main(0, argv), testing::ExitedWithCode(1),
                "^ERROR: could not determine own name\\.\n$");
}

TEST(Entry, VersionLinePerPersonality)
{
    struct Case {
        const char *name;
        const char *out;
    } cases[] = {
        {"kill", "kill (FAKE-VERSION)\n"},
        {"/usr/local/bin/kill", "kill (FAKE-VERSION)\n"},
        {"tyvar", "tyvar (FAKE-VERSION)\n"},
        {"./sub/tezzo", "tezzo (FAKE-VERSION)\n"},
    };
    for (const Case &c : cases) {
        RunResult r = run_tyvar(c.name, {"-V"}, {.env = fake_library().env});
        EXPECT_EQ(r.out, c.out) << c.name;
        EXPECT_EQ(r.err, "") << c.name;
        EXPECT_EQ(r.status, 0) << c.name;
    }
}

TEST(Entry, UnknownNamesAreRefusedWithStatus1)
{
    struct Case {
        const char *argv0;
        const char *shown;
    } cases[] = {
        {"tfoo", "tfoo"},       {"Kill", "Kill"},       {"kill.old", "kill.old"},
        {"killall", "killall"}, {"/bin/tyvarx", "tyvarx"}, {"/usr/bin/", ""},
        {"", ""},               {"TYVAR", "TYVAR"},
    };
    for (const Case &c : cases) {
        RunResult r = run_tyvar(c.argv0, {"-V"});
        EXPECT_EQ(r.err, std::string("ERROR: no \"") + c.shown + "\" support.\n") << c.argv0;
        EXPECT_EQ(r.out, "") << c.argv0;
        EXPECT_EQ(r.status, 1) << c.argv0;
    }
}

// The raise comes first, for every name that begins with 't', whatever follows.
TEST(Entry, PriorityRaiseOnlyForNamesBeginningWithT)
{
    struct Case {
        const char *name;
        std::vector<std::string> args;
        bool raised;
    } cases[] = {
        {"tyvar", {"-V"}, true},   {"tezzo", {}, true},        {"tfoo", {"1"}, true},
        {"/x/tyvar", {"-Q"}, true}, {"kill", {"-V"}, false},   {"kill", {"-l"}, false},
        {"xtyvar", {}, false},
    };
    for (const Case &c : cases) {
        Recording rec = recorder();
        RunResult r = run_tyvar(c.name, c.args, {.env = rec.env});
        std::vector<std::string> calls = rec.calls();
        if (c.raised) {
            ASSERT_FALSE(calls.empty()) << c.name;
            EXPECT_TRUE(calls[0].starts_with("setpriority 0 ") && calls[0].ends_with(" -20"))
                << c.name << ": " << calls[0];
            EXPECT_NE(calls[0], "setpriority 0 0 -20") << "the own process ID is named";
        } else {
            EXPECT_TRUE(calls.empty()) << c.name;
        }
    }
}

} // namespace
