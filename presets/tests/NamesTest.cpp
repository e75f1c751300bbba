// Name trimming, keys and message composition.
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "PresetMessages.h"
#include "PresetNames.h"

namespace sombrevox {
namespace {

std::string Trim(std::string text) {
  TrimName(text.data());
  return text.c_str();
}

TEST(TrimName, DropsBlanksAroundAndKeepsThoseInside) {
  EXPECT_EQ(Trim("  Hall  "), "Hall");
  EXPECT_EQ(Trim("  Large  hall  "), "Large  hall");
  EXPECT_EQ(Trim("Hall"), "Hall");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("     "), "");
}

TEST(TrimName, KeepsOtherNonGraphicCharactersWithoutEndingTheBlankRun) {
  EXPECT_EQ(Trim("\t a"), "\ta");
  EXPECT_EQ(Trim("a \t"), "a\t");
  EXPECT_EQ(Trim(" \t \n "), "\t\n");  // nothing graphic: only the blanks go
  EXPECT_EQ(Trim(" a\tb "), "a\tb");
}

TEST(TrimName, TreatsNoBreakSpaceAsBlankAndOtherHighBytesAsGraphic) {
  EXPECT_EQ(Trim("\xA0Hall\xA0"), "Hall");
  EXPECT_EQ(Trim(" \xA0 Hall \xA0 "), "Hall");
  EXPECT_EQ(Trim("Big\xA0hall"), "Big\xA0hall");
  // Accented letters of the code page are graphic: kept at either end, and
  // they end the blank run like any letter.
  EXPECT_EQ(Trim(" \xE9t\xE9 "), "\xE9t\xE9");
  EXPECT_EQ(Trim("\x80 "), "\x80");
  EXPECT_EQ(Trim("\xFF"), "\xFF");
  // 0xA0 is blank by its low seven bits; 0xA9 is not.
  EXPECT_EQ(Trim("\xA9 x"), "\xA9 x");
}

TEST(NameKey, TrimsAndUpperCasesOnlyAsciiLetters) {
  char text[] = "  Hall 2b \xE9\xE0  ";
  EXPECT_EQ(NameKey(text), text);  // in place
  EXPECT_STREQ(text, "HALL 2B \xE9\xE0");
  EXPECT_EQ(NameKeyOf(" room{z} "), "ROOM{Z}");
  EXPECT_EQ(TrimmedName(std::string(" a \0 b", 6)), "a");  // ends at the NUL
}

TEST(SameNameKey, CaseAndSurroundingBlanksDoNotCountAFurtherWordDoes) {
  EXPECT_TRUE(SameNameKey("hall", "HALL"));
  EXPECT_TRUE(SameNameKey("hall", " Hall "));
  EXPECT_TRUE(SameNameKey("\xA0hall", "HALL  "));
  EXPECT_TRUE(SameNameKey("", "   "));
  EXPECT_FALSE(SameNameKey("hall", "hall 2"));
  EXPECT_FALSE(SameNameKey("hall", "hal"));
  EXPECT_FALSE(SameNameKey("big hall", "bighall"));
  EXPECT_FALSE(SameNameKey("\thall", "hall"));  // a tab is kept in the key
  EXPECT_FALSE(SameNameKey("\xE9", "\xC9"));    // only a-z change case
}

// SameNameKey walks the key without copying; it must agree with the key
// NameKey leaves in a buffer, for any text.
TEST(SameNameKey, AgreesWithNameKeyOnRandomTexts) {
  std::mt19937 random(20240611);
  const char alphabet[] = {' ', ' ', '\t', 'a', 'A', 'b', 'B', '\xA0', '\xE9', '\x7F', '-'};
  auto make = [&] {
    std::string text(random() % 8, ' ');
    for (char& c : text) c = alphabet[random() % sizeof alphabet];
    return text;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string a = make();
    const std::string b = make();
    ASSERT_EQ(SameNameKey(a, b), NameKeyOf(a) == NameKeyOf(b)) << '"' << a << "\" vs \"" << b << '"';
  }
}

TEST(AppendErrorCode, StartsAnEmptyMessageAndChainsCodes) {
  MessageText message;
  AppendErrorCode(1150203, message);
  EXPECT_EQ(message.view(), "Error 1150203: ");
  AppendErrorCode(1150001, message);
  EXPECT_EQ(message.view(), "Error 1150203: 1150001: ");

  MessageText started;
  started.Append("Cause ");
  AppendErrorCode(-5, started);
  EXPECT_EQ(started.view(), "Cause -5: ");
}

TEST(MessageText, CutsAtItsCapacity) {
  MessageText message;
  const std::string longText(MessageText::kCapacity + 100, 'x');
  message.Append(longText).Append("more");
  EXPECT_EQ(message.view().size(), MessageText::kCapacity - 1);
  EXPECT_EQ(std::string(message.c_str()).size(), MessageText::kCapacity - 1);
}

TEST(PresetExistsMessage, InsertsTheTrimmedName) {
  EXPECT_EQ(PresetExistsMessage("  My hall ").view(),
            "A preset with the name 'My hall' already exists. To create a new preset use another name. "
            "To replace an existing preset use the Update button.");
  EXPECT_EQ(ErrorMessage(1110001, "Error while opening the presets file for saving.").view(),
            "Error 1110001: Error while opening the presets file for saving.");
}

// The name goes in as a name field holds it: trimmed, ended at a NUL, and
// never longer than 31 characters, whatever text the caller hands over.
TEST(AppendTrimmedName, AppendsTheNameAsItsFieldWouldHoldItTrimmed) {
  MessageText message;
  message.Append("'");
  AppendTrimmedName(message, std::string("  Room \0 tail", 14));
  message.Append("'");
  EXPECT_EQ(message.view(), "'Room'");

  MessageText cut;
  AppendTrimmedName(cut, " " + std::string(40, 'x'));
  EXPECT_EQ(cut.view(), std::string(30, 'x'));  // the blank and the first 30 x's fill the 31 characters

  MessageText quoted = ErrorMessage(1150002, "The preset '");
  AppendTrimmedName(quoted, "\xA0Hall ");
  EXPECT_EQ(quoted.Append("' does not exist.").view(), "Error 1150002: The preset 'Hall' does not exist.");
}

}  // namespace
}  // namespace sombrevox
