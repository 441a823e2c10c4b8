// The main of the test programs that need no application object.
#include "tests/support/own_profile.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ombrik::test::UseOwnProfile();
    testing::InitGoogleTest(&argc, argv);
    ombrik::test::RecordUsedFiles();
    return RUN_ALL_TESTS();
}
