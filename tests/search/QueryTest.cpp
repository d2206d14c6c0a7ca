// What a typed word finds, and when an entry comes next.

#include <gtest/gtest.h>

#include "calendar/CalendarModel.h"
#include "platform/Text.h"
#include "search/Query.h"
#include "search/Search.h"

using namespace almanouk;

namespace {

struct MatchCase {
  const char* query;
  std::string text;  // code page 437
  int start;         // -1: no match
  int length;
};

std::string utf8Text(const char* text) { return cp437(text); }

}  // namespace

TEST(Query, MatchesWithoutCaseAccentsOrBlankRuns) {
  const std::string page = std::string(78, ' ') + "de" + "tandarts" + std::string(72, ' ');
  const MatchCase cases[] = {
      {"cafe", utf8Text("Naar het café"), 9, 4},
      {"cafe", utf8Text("CAFÉ"), 0, 4},
      {"CAFÉ", utf8Text("een Café"), 4, 4},
      {"coordinatie", utf8Text("coördinatie"), 0, 11},
      {"ÅÄ", utf8Text("aa"), 0, 2},
      {"naar  de", "naar de", 0, 7},                      // blanks typed twice count once
      {"naar de", "naar" + std::string(76, ' ') + "de", 0, 82},  // a phrase over the end of a page line
      {"de tandarts", std::string(78, ' ') + "de" + std::string(1, '\0') + "tandarts", 78, 11},
      {"detandarts", page, 78, 10},                        // a word through column 80
      {"2012", "20 2012 10:30 Tandarts", 3, 4},          // the year field
      {"10:30", "20 2012 10:30 Tandarts", 8, 5},         // the time field
      {"  tandarts ", "Tandarts", 0, 8},                  // blanks at the ends do not count
      {"tandartsen", "Tandarts", -1, 0},
  };
  for (const MatchCase& c : cases) {
    const Query query(cp437(c.query));
    std::optional<Query::Match> match = query.find(c.text);
    if (c.start < 0) {
      EXPECT_FALSE(match) << c.query;
      continue;
    }
    ASSERT_TRUE(match) << c.query;
    EXPECT_EQ(match->start, static_cast<std::size_t>(c.start)) << c.query;
    EXPECT_EQ(match->length, static_cast<std::size_t>(c.length)) << c.query;
  }
  EXPECT_TRUE(Query("   ").empty());
}

// Every letter of the code page with an accent is found by its plain letter
// and finds it; the letters that are no plain letter with an accent stay themselves.
TEST(Query, EveryAccentedLetterOfTheCodePageFolds) {
  const std::pair<const char*, const char*> letters[] = {
      {"Ç", "c"}, {"ü", "u"}, {"é", "e"}, {"â", "a"}, {"ä", "a"}, {"à", "a"}, {"å", "a"}, {"ç", "c"},
      {"ê", "e"}, {"ë", "e"}, {"è", "e"}, {"ï", "i"}, {"î", "i"}, {"ì", "i"}, {"Ä", "a"}, {"Å", "a"},
      {"É", "e"}, {"ô", "o"}, {"ö", "o"}, {"ò", "o"}, {"û", "u"}, {"ù", "u"}, {"ÿ", "y"}, {"Ö", "o"},
      {"Ü", "u"}, {"á", "a"}, {"í", "i"}, {"ó", "o"}, {"ú", "u"}, {"ñ", "n"}, {"Ñ", "n"},
      {"æ", "æ"}, {"Æ", "Æ"}, {"ß", "ß"},
  };
  for (const auto& [accented, plain] : letters) {
    EXPECT_TRUE(Query(cp437(plain)).find(cp437(accented))) << accented;
    EXPECT_TRUE(Query(cp437(accented)).find(cp437(plain))) << accented;
  }
  EXPECT_FALSE(Query("a").find(cp437("æ")));
}

TEST(Search, NextOccurrenceFromTheSelectedDay) {
  const CalendarModel calendar(
      "Thuis\r\n0\r\n7\r\n\r\nMaandelijks\r\n\r\n31 Laatste\r\n05 2013 Alleen in 2013\r\n\r\nWekelijks\r\n\r\n"
      "Ma Maandag\r\nZo 2011 Voorbij\r\n\r\nDagelijks\r\n\r\n07:00 Op\r\n\r\nJanuari\r\n\r\n\r\nFebruari\r\n\r\n"
      "29 Schrikkel\r\n10 2009 Lang geleden\r\n\r\nMaart\r\n\r\n\r\nApril\r\n\r\n\r\nMei\r\n\r\n\r\nJuni\r\n\r\n\r\n"
      "Juli\r\n\r\n\r\nAugustus\r\n\r\n\r\nSeptember\r\n\r\n\r\nOktober\r\n\r\n\r\nNovember\r\n\r\n\r\n"
      "December\r\n\r\n\r\nEinde\r\n");
  const CalendarDay from{7, 3, 2012};  // a Wednesday
  struct Expected {
    std::string_view text;
    std::optional<CalendarDay> date;
  };
  const Expected expected[] = {
      {"Laatste", CalendarDay{31, 3, 2012}},
      {"Alleen in 2013", CalendarDay{5, 1, 2013}},
      {"Maandag", CalendarDay{12, 3, 2012}},
      {"Voorbij", std::nullopt},
      {"Op", from},
      {"Schrikkel", CalendarDay{29, 2, 2016}},
      {"Lang geleden", CalendarDay{10, 2, 2009}},  // a one-off's own day, past or not
  };
  for (const Expected& e : expected) {
    const Entry* found = nullptr;
    for (const Entry& entry : calendar.entries())
      if (entry.text == e.text) found = &entry;
    ASSERT_NE(found, nullptr) << e.text;
    EXPECT_EQ(nextOccurrence(*found, from), e.date) << e.text;
  }
}
