// The two number forms of the display and the popup.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "NumberText.h"

namespace sombrevox::test {
namespace {

TEST(FormatFixed2Test, TruncatesAtTheSecondDecimal) {
  const std::pair<double, const char*> cases[] = {
      {0.999, "0.99"}, {0.125, "0.12"},      {0.05, "0.05"},    {2.5, "2.50"},      {-3, "-3.00"},  {0, "0.00"},
      {-15, "-15.00"}, {0.0004, "0.00"},     {19.999, "19.99"}, {-0.001, "-0.00"},  {0.15, "0.15"}, {0.29, "0.29"},
      {1.005, "1.00"}, {0.99999996, "1.00"}, {-0.06, "-0.06"},  {20000, "20000.00"}};
  for (auto [value, text] : cases) EXPECT_STREQ(FormatFixed2(value).c_str(), text) << value;
}

TEST(FormatFixed2Test, ValuesNoParameterHoldsStayInTheirBuffer) {
  EXPECT_STREQ(FormatFixed2(std::nan("")).c_str(), "0.00");
  EXPECT_STREQ(FormatFixed2(1e300).c_str(), "999999999999999999.99");
  EXPECT_STREQ(FormatFixed2(-HUGE_VAL).c_str(), "-999999999999999999.99");
}

TEST(FormatIntegerTest, RoundsHalfUp) {
  EXPECT_STREQ(FormatInteger(33.4).c_str(), "33");
  EXPECT_STREQ(FormatInteger(33.5).c_str(), "34");
  EXPECT_STREQ(FormatInteger(0).c_str(), "0");
  EXPECT_STREQ(FormatInteger(249.99999999999997).c_str(), "250");
  EXPECT_STREQ(FormatInteger(-3.7).c_str(), "-3");
  EXPECT_STREQ(FormatInteger(std::nan("")).c_str(), "0");
  EXPECT_STREQ(FormatInteger(1e300).c_str(), "999999999999999999");
}

}  // namespace
}  // namespace sombrevox::test
