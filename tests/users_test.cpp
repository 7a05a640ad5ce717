// User names of the real library.
#include "kelpa.h"

#include <pwd.h>

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(UserNames, FromPasswordDatabaseOrNumber)
{
    EXPECT_STREQ(user_from_uid(0), "root");
    struct passwd *nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    std::string name = nobody->pw_name;
    EXPECT_EQ(user_from_uid(nobody->pw_uid), name);
    EXPECT_STREQ(user_from_uid(3999999999u), "3999999999");
    EXPECT_STREQ(user_from_uid(123456), "123456");
}

TEST(UserNames, RememberedAfterTheFirstLookUp)
{
    const char *first = user_from_uid(0);
    const char *other = user_from_uid(64); // same bucket, different ID
    EXPECT_EQ(user_from_uid(0), first);
    EXPECT_EQ(user_from_uid(64), other);
    EXPECT_STREQ(first, "root");
}

} // namespace
