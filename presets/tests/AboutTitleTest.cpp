// The About title's cipher.
#include <gtest/gtest.h>

#include <string>

#include "AboutTitle.h"

using sombrevox::DecipherAboutTitle;

TEST(AboutTitle, KeyRepeatsOverTheTitleAndUndoesItself) {
  std::string title = "AAAAA";
  DecipherAboutTitle(title.data(), title.size(), "\x01\x02");
  EXPECT_EQ(title, "@C@C@");
  DecipherAboutTitle(title.data(), title.size(), "\x01\x02");
  EXPECT_EQ(title, "AAAAA");
}

TEST(AboutTitle, EmptyKeyLeavesTheTitle) {
  std::string title = "abc";
  DecipherAboutTitle(title.data(), title.size(), "");
  EXPECT_EQ(title, "abc");
}
