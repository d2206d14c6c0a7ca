#include "platform/Text.h"

#include <gtest/gtest.h>

using namespace almanouk;

TEST(Text, NumericValueReadsLeadingNumberOnly) {
  EXPECT_EQ(numericValue("13 10:25 x"), 13);
  EXPECT_EQ(numericValue("  -7abc"), -7);
  EXPECT_EQ(numericValue("Do 01:26"), 0);
  EXPECT_EQ(numericValue(""), 0);
  EXPECT_DOUBLE_EQ(numericValue("12.5"), 12.5);
  EXPECT_EQ(numericValue("10:25 Tijd"), 10);
}

TEST(Text, StoringIntoAnIntegerRoundsHalfToEven) {
  EXPECT_EQ(intValue("12.5"), 12);
  EXPECT_EQ(intValue("13.5"), 14);
  EXPECT_EQ(roundToInt(35.5), 36);
  EXPECT_EQ(roundToInt(-2.5), -2);
  EXPECT_EQ(roundToInt(2.6), 3);
  // Absurd digit runs from a damaged file must not overflow.
  EXPECT_EQ(intValue("99999999999999999999999"), 2147483647);
}

// The integer reading agrees with the number rounded into an integer, at the
// edges of the int range and around signs, blanks and fractions.
TEST(Text, IntegerReadingAgreesWithTheRoundedNumber) {
  for (const char* text : {"", " ", "-", "+", "0", "-0", "  42x", "+7", "-7", "007", "12.5", "13.5", "-2.5", "3.",
                           ".5", "2147483647", "2147483648", "-2147483648", "-2147483649", "4294967296",
                           "99999999999999999999", "-99999999999999999999", "1 2", " -  3"})
    EXPECT_EQ(intValue(text), roundToInt(numericValue(text))) << '"' << text << '"';
}

TEST(Text, PositionsCountFromOneAndNeverFailPastTheEnd) {
  EXPECT_EQ(mid("Januari", 2, 3), "anu");
  EXPECT_EQ(mid("Mei", 3, 5), "i");
  EXPECT_EQ(mid("Mei", 4, 1), "");
  EXPECT_EQ(mid("Mei", 9), "");
  EXPECT_EQ(left("Mei", 10), "Mei");
  EXPECT_EQ(right("Almanouk", 3), "ouk");
  EXPECT_EQ(right("ab", 5), "ab");
  EXPECT_EQ(find("12 # c:", "#"), 4);
  EXPECT_EQ(find("abc", "#"), 0);
  EXPECT_EQ(padRight("Werk", 6), "Werk  ");
  EXPECT_EQ(padRight("Omschrijving", 4), "Omsc");
}

TEST(Text, LowerCasingTouchesOnlyAsciiLetters) {
  EXPECT_EQ(lowerAscii("JANUARI \x8E"), "januari \x8E");
}

TEST(Text, CodePageConversions) {
  EXPECT_EQ(cp437("é"), "\x82");
  EXPECT_EQ(cp437("ë"), "\x89");
  EXPECT_EQ(cp437("┌─┐│└┘"), "\xDA\xC4\xBF\xB3\xC0\xD9");
  EXPECT_EQ(cp437ToUtf8("\x82\xC4"), "é─");
  EXPECT_EQ(cp437ToUtf8(std::string(1, '\0')), " ");
  EXPECT_EQ(windows1252ToUtf8("ge\xEFnitialiseerd"), "geïnitialiseerd");
  EXPECT_EQ(codePointToCp437(U'€'), -1);
}

// What the code page lacks is spelled with what it has, never dropped; a line stays one line.
TEST(Text, TextFromElsewhereIsTransliterated) {
  EXPECT_EQ(utf8ToCp437("€500 Zo’n “café” – … Ĳssel ĳs"), "EUR500 Zo'n \"caf\x82\" - ... IJssel ijs");
  EXPECT_EQ(utf8ToCp437("a\tb\r\nc ♪ ☺ 日"), "a b  c ? ? ?");
  EXPECT_EQ(utf8ToCp437("\xFF\xC3"), "??");
  // The house is the code page's byte 127, a glyph like any other; a typed DEL is a control.
  EXPECT_EQ(utf8ToCp437("⌂\x7F"), "\x7F ");
}
