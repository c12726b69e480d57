#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Assertion boxes would block a headless run: route them to standard error.
    setenv("SKYFRONT_HEADLESS", "1", 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
