#include <gtest/gtest.h>
TEST(AchievementPopupPicture, Placeholder) {}
