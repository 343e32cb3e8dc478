#include <gtest/gtest.h>
#include "text/case.hpp"
TEST(Lower, Ascii) { EXPECT_EQ(vantor::text::lower("ABC"), "abc"); }
