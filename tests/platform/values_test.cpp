#include <gtest/gtest.h>

#include "platform/foundation/Values.h"

TEST(Values, placeholder) { EXPECT_EQ(ns::Values::integerValue(QString("12ab")), 12); }
