// The tag that makes the names of an update's files unique.

#include <gtest/gtest.h>

#include "update/files/UniqueTag.h"

namespace gapwell {
namespace {

TEST(UniqueTagTest, TimeWithoutLeadingZerosAndALetterFromBToZ) {
    const LocalDateTime time{2009, 3, 7, 9, 5, 7};
    EXPECT_EQ(UniqueTag(time, 0.0), "957b");
    EXPECT_EQ(UniqueTag(time, 0.36), "957k");
    EXPECT_EQ(UniqueTag(time, 0.9999999), "957z");
    EXPECT_EQ(UniqueTag({2009, 3, 7, 23, 59, 10}, 0.5), "235910n");
}

}  // namespace
}  // namespace gapwell
