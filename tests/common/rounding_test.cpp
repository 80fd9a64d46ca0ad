#include "common/rounding.hpp"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Rounding, TwoDecimalsWithHalvesToTheEvenNeighbour) {
  EXPECT_EQ(roundHalfEvenToHundredths(0.125), 0.12);
  EXPECT_EQ(roundHalfEvenToHundredths(0.375), 0.38);
  EXPECT_EQ(roundHalfEvenToHundredths(75.125), 75.12);
  EXPECT_EQ(roundHalfEvenToHundredths(12.345), 12.34);
  EXPECT_EQ(roundHalfEvenToHundredths(12.355), 12.36);
  EXPECT_EQ(roundHalfEvenToHundredths(2.675), 2.68);
  EXPECT_EQ(roundHalfEvenToHundredths(0.1251), 0.13);
  EXPECT_EQ(roundHalfEvenToHundredths(99.994999), 99.99);
  EXPECT_EQ(roundHalfEvenToHundredths(99.995), 100.0);
  EXPECT_EQ(roundHalfEvenToHundredths(-0.125), -0.12);
  EXPECT_EQ(roundHalfEvenToHundredths(97.5), 97.5);
  EXPECT_EQ(roundHalfEvenToHundredths(100.0), 100.0);
  EXPECT_EQ(roundHalfEvenToHundredths(1e-7), 0.0);
}

}  // namespace
}  // namespace velmora
