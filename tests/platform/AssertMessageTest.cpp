#include "platform/AssertMessage.h"

#include <gtest/gtest.h>

namespace {
// A headless run (the test main sets SKYFRONT_HEADLESS) must never block on a box.
TEST(AssertMessage, WithoutAWindowTheTextGoesToStandardErrorUnderItsCaption)
{
    testing::internal::CaptureStderr();
    showAssertMessage("error parsing object tower\n");
    showAssertMessage("Trigger t1 has no exec");
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(written,
              "### assert FAILED ###\nerror parsing object tower\n### assert FAILED ###\nTrigger t1 has no exec\n");
}
}  // namespace
