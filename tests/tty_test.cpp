// Terminal names of the real library: pseudo-terminals, the kernel's driver table, a process's
// descriptors, numbers as the last resort, the bound and the "/dev/" flag.
#include "kelpa.h"
#include "tty_drivers.h"

#include <fcntl.h>
#include <pty.h>
#include <stdint.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

namespace {

// The device value as the programs pass it: the 32-bit terminal field, sign-extended.
unsigned long long field(unsigned major_number, unsigned minor_number)
{
    uint32_t low = (minor_number & 0xff) | (major_number << 8) | ((minor_number & ~0xffu) << 12);
    return (unsigned long long)(long long)(int32_t)low;
}

std::string tty(unsigned long long dev, unsigned flags = 1, unsigned bound = 999, int pid = 1)
{
    char buf[1000];
    int length = dev_to_tty(buf, bound, dev, pid, flags);
    EXPECT_EQ(length, (int)strlen(buf));
    return buf;
}

TEST(TerminalNames, NoTerminalAndPseudoTerminals)
{
    EXPECT_EQ(tty(0), "?");
    EXPECT_EQ(tty(0, 0), "?");
    EXPECT_EQ(tty(field(136, 0)), "pts/0");
    EXPECT_EQ(tty(field(136, 7), 0), "/dev/pts/7");
    EXPECT_EQ(tty(field(136, 4095)), "pts/4095");
    // A minor number that sets the field's sign bit still names its terminal.
    EXPECT_EQ(tty(field(136, 600000)), "pts/600000");
    EXPECT_EQ(tty(field(137, 2)), "pts/258");
}

TEST(TerminalNames, OpenedPseudoTerminal)
{
    int master, slave;
    char name[64];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    struct stat st;
    ASSERT_EQ(fstat(slave, &st), 0);
    unsigned long long dev = (unsigned long long)(long long)(int32_t)(uint32_t)st.st_rdev;
    EXPECT_EQ(tty(dev, 0), name);
    EXPECT_EQ(tty(dev, 1), std::string(name).substr(5));
    close(slave);
    close(master);
}

TEST(TerminalNames, BoundCutsTheName)
{
    EXPECT_EQ(tty(field(136, 12345), 1, 5), "pts/1");
    EXPECT_EQ(tty(field(136, 12345), 0, 7), "/dev/pt");
    EXPECT_EQ(tty(field(136, 12345), 1, 0), "");
    EXPECT_EQ(tty(0, 1, 0), "");
}

// Devices named through the kernel's driver table, checked against the device nodes.
TEST(TerminalNames, FromDriverTable)
{
    struct Case {
        unsigned major_number, minor_number;
        const char *name;
    } cases[] = {{5, 0, "tty"}, {5, 1, "console"}, {4, 1, "tty1"}, {4, 64, "ttyS0"}};
    for (const Case &c : cases) {
        struct stat st;
        std::string path = std::string("/dev/") + c.name;
        if (stat(path.c_str(), &st) != 0 || st.st_rdev != makedev(c.major_number, c.minor_number))
            continue; // this machine has no such node
        EXPECT_EQ(tty(field(c.major_number, c.minor_number)), c.name);
        EXPECT_EQ(tty(field(c.major_number, c.minor_number), 0), path);
    }
}

TEST(TerminalNames, FromDescriptorsThenNumbers)
{
    // /dev/zero is in no driver table: found only through a descriptor of the process.
    int fd = open("/dev/zero", O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(dup2(fd, 255), 255);
    EXPECT_EQ(tty(field(1, 5), 1, 999, getpid()), "zero");
    EXPECT_EQ(tty(field(1, 5), 0, 999, getpid()), "/dev/zero");
    close(255);
    close(fd);
    EXPECT_EQ(tty(field(1, 5), 1, 999, getpid()), "1,5");
    EXPECT_EQ(tty(field(250, 70000), 0, 999, 2147483647), "250,70000");
}

TEST(TerminalNames, DriverTableParsing)
{
    const char text[] = "/dev/tty             /dev/tty        5       0 system:/dev/tty\n"
                        "serial               /dev/ttyS       4 64-95 serial\n"
                        "pty_slave            /dev/pts      136 0-1048575 pty:slave\n"
                        "broken line\n"
                        "odd                  nodev           9 1-2 x\n"
                        "unknown              /dev/tty        4 1-63 console";
    TtyDriver d[8];
    ASSERT_EQ(parse_tty_drivers(text, d, 8), 4);
    EXPECT_STREQ(d[0].path, "/dev/tty");
    EXPECT_EQ(d[0].major, 5u);
    EXPECT_EQ(d[0].minor_first, 0u);
    EXPECT_EQ(d[0].minor_last, 0u);
    EXPECT_EQ(d[1].minor_first, 64u);
    EXPECT_EQ(d[1].minor_last, 95u);
    EXPECT_EQ(d[2].minor_last, 1048575u);
    EXPECT_STREQ(d[3].path, "/dev/tty");
    EXPECT_EQ(parse_tty_drivers(text, d, 2), 2);

    char buf[64];
    std::string got;
    for (int n = 0; tty_driver_candidate(d[1], 66, n, buf, sizeof buf); ++n)
        got += std::string(buf) + " ";
    EXPECT_EQ(got, "ttyS66 ttyS2 ttyS/66 ttyS/2 ");
    ASSERT_TRUE(tty_driver_candidate(d[0], 0, 0, buf, sizeof buf));
    EXPECT_STREQ(buf, "tty");
}

} // namespace
