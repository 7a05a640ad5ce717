// What the build delivers: dynamic sections without the C++ runtime, the library's exports,
// and an install tree that runs from wherever it is copied.
#include "harness.h"

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string command_output(const std::string &command)
{
    std::string text;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        text.append(buf, n);
    pclose(pipe);
    return text;
}

std::vector<std::string> needed(const std::string &file)
{
    std::vector<std::string> names;
    for (const std::string &line : lines_of(command_output(READELF " -d '" + file + "'"))) {
        size_t open = line.find("Shared library: [");
        if (open != std::string::npos)
            names.push_back(line.substr(open + 17, line.find(']', open) - open - 17));
    }
    return names;
}

TEST(Build, NoCxxRuntimeAtRunTime)
{
#ifdef KELPA_SANITIZE
    GTEST_SKIP() << "a sanitizer build brings its own run-time libraries";
#endif
    using List = std::vector<std::string>;
    EXPECT_EQ(needed(TYVAR_BIN), (List{"libkelpa.so.1", "libc.so.6"}));
    EXPECT_EQ(needed(FREE_BIN), (List{"libkelpa.so.1", "libc.so.6"}));
    EXPECT_EQ(needed(UPTIME_BIN), (List{"libkelpa.so.1", "libc.so.6"}));
    EXPECT_EQ(needed(KELPA_LIB), (List{"libc.so.6"}));
    EXPECT_NE(command_output(READELF " -d '" KELPA_LIB "'").find("Library soname: [libkelpa.so.1]"),
              std::string::npos);
}

TEST(Build, LibraryExportsExactlyItsInterface)
{
    std::vector<std::string> exported;
    for (const std::string &line :
         lines_of(command_output(NM " -D --defined-only '" KELPA_LIB "'"))) {
        std::string symbol = line.substr(line.rfind(' ') + 1);
        symbol = symbol.substr(0, symbol.find('@'));
        if (!symbol.starts_with("KELPA_1"))
            exported.push_back(symbol);
    }
    std::sort(exported.begin(), exported.end());
    std::vector<std::string> expected{
        "dev_to_tty",      "display_version", "kb_high_free",          "kb_high_total",
        "kb_low_free",     "kb_low_total",    "kb_main_buffers",       "kb_main_cached",
        "kb_main_free",    "kb_main_shared",  "kb_main_total",         "kb_main_used",
        "kb_swap_free",    "kb_swap_total",   "kb_swap_used",          "kelpa_version",
        "meminfo",         "pretty_print_signals", "print_given_signals", "print_uptime",
        "signal_name_to_number", "unix_print_signals", "user_from_uid"};
    std::vector<std::string> since_1_1{"meminfo64", "print_boot_time", "print_uptime_words"};
    expected.insert(expected.end(), since_1_1.begin(), since_1_1.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(exported, expected);
}

// A program built against the 1.0.0 header binds only to the 1.0.0 version node and runs
// unchanged with this library.
TEST(Build, ProgramOfTheFirstInterfaceStillRuns)
{
    RunResult r = run_program(OLD_CONSUMER_BIN, {"old_consumer"});
    EXPECT_EQ(r.out, "kelpa " PROJECT_VERSION_TEXT "|9|root|15 KILL\n0|figures\n");
    EXPECT_EQ(r.status, 0);
    std::string symbols = command_output(NM " -D --undefined-only '" OLD_CONSUMER_BIN "'");
    for (const std::string &line : lines_of(symbols))
        EXPECT_TRUE(line.find("KELPA") == std::string::npos || line.ends_with("@KELPA_1")) << line;
    EXPECT_NE(symbols.find("meminfo@KELPA_1"), std::string::npos) << symbols;
}

TEST(Build, InstalledTreeRunsFromAnywhere)
{
    std::string prefix = temp_dir() + "/prefix";
    std::string log = temp_dir() + "/install.log";
    ASSERT_EQ(system((std::string(CMAKE_COMMAND) + " --install '" BINARY_DIR "' --prefix '" + prefix +
                      "' > '" + log + "' 2>&1")
                         .c_str()),
              0)
        << read_file(log);

    std::string bin = prefix + "/bin/", lib = prefix + "/" LIBDIR "/";
    for (const char *name : {"kill", "tezzo"}) {
        char target[64] = {};
        ASSERT_GT(readlink((bin + name).c_str(), target, sizeof target - 1), 0) << name;
        EXPECT_STREQ(target, "tyvar") << name;
    }
    struct stat st;
    for (std::string file : {bin + "tyvar", bin + "free", bin + "uptime", lib + "libkelpa.so.1",
                             prefix + "/include/kelpa.h"})
        EXPECT_EQ(stat(file.c_str(), &st), 0) << file;
    char target[64] = {};
    ASSERT_GT(readlink((lib + "libkelpa.so.1").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "libkelpa.so." PROJECT_VERSION_TEXT);
    EXPECT_NE(command_output(READELF " -d '" + bin + "tyvar'").find("Library runpath: [$ORIGIN/../" LIBDIR "]"),
              std::string::npos);

    // Moved elsewhere, the tree still finds its own library, not the build's.
    std::string moved = temp_dir() + "/elsewhere";
    ASSERT_EQ(system(("mv '" + prefix + "' '" + moved + "'").c_str()), 0);
    RunResult r = run_program(moved + "/bin/kill", {"kill", "-V"});
    EXPECT_EQ(r.out, "kill (kelpa " PROJECT_VERSION_TEXT ")\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(command_output("LD_DEBUG=libs '" + moved + "/bin/kill' -V 2>&1").find(moved + "/bin/../" LIBDIR "/libkelpa.so.1"),
              std::string::npos);

    // And LD_LIBRARY_PATH can still point it at another build of the library.
    r = run_program(moved + "/bin/tyvar", {"tezzo", "-V"}, {.env = fake_library().env});
    EXPECT_EQ(r.out, "tezzo (FAKE-VERSION)\n");
}

} // namespace
