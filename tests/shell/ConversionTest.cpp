#include "shell/Conversion.h"

#include <gtest/gtest.h>

#include "calendar/CalendarFile.h"
#include "calendar/DataFolderTest.h"

using namespace almanouk;

namespace {

struct ConversionTest : test::DataFolderTest {};

std::vector<std::string> blanks(int count) { return std::vector<std::string>(static_cast<std::size_t>(count), ""); }

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const std::vector<std::string> kCurrentSettings = {
    "[Aan/Uit]", "PopUp=msg", "PC-Speaker=uit", "Sound=aan", "", "[Kleurthema]", "0", "", "[Tekstkleur]", "4", "",
    "[Dagboekdagkleur]", "9", "", "[Almanoukkeuze]", "   ALMANOUK.AMN = Omschrijving.               7",
    "-> WERK0000.AMN = Werk                       12", "", "Einde."};

TEST_F(ConversionTest, CurrentCalendarGetsThreeBlankLinesAndAFreshEnd) {
  std::vector<std::string> calendar = test::calendarLines("Huidig", "0", {{"01 maand"}, {}, {}, {"13 jan"}});
  std::vector<std::string> body(calendar.begin() + 5, calendar.end() - 1);  // the sections
  calendar.insert(calendar.begin() + 3, {"", ""});  // four blank lines after the header
  calendar.insert(calendar.end(), {"", "achter het einde", "Einde"});
  write("HUIDIG00.AMN", calendar);
  ASSERT_TRUE(convertOlderData(*platform).written);
  EXPECT_EQ(lines("HUIDIG00.AMN"), joined({{"Huidig", "0", "7"}, blanks(3), body, {"Einde"}, blanks(25)}));
  std::string once = test::readFile(folder / "HUIDIG00.AMN");
  ASSERT_TRUE(convertOlderData(*platform).written);
  EXPECT_EQ(test::readFile(folder / "HUIDIG00.AMN"), once);
  EXPECT_EQ(test::fileNames(folder.path()), std::vector<std::string>{"HUIDIG00.AMN"});
}

// A calendar one step from the normalised form comes out normalised; the
// normalised one stays as it is. Each row changes one thing the quick check
// of a current file must notice.
TEST_F(ConversionTest, EveryStepFromTheNormalFormIsNormalised) {
  auto crlf = [](const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
  };
  const std::vector<std::string> head = {"Thuis", "0", "7", "", "", ""};
  const std::vector<std::string> recurring = {"Maandelijks", "01 maand", "", "Wekelijks", "", "", "", "Dagelijks",
                                              "", "", ""};
  const std::vector<std::string> months = {"Januari", "13 jan", "", "Februari"};
  const std::string normal = crlf(joined({head, recurring, months, {"Einde"}, blanks(25)}));
  auto replaced = [](std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
  };
  std::string lineFeedsOnly = normal;
  std::erase(lineFeedsOnly, '\r');
  const std::vector<std::pair<const char*, std::string>> rows = {
      {"normal", normal},
      {"line feeds only", lineFeedsOnly},
      {"one line feed", replaced(normal, "Thuis\r\n", "Thuis\n")},
      {"lower-case end", replaced(normal, "Einde", "einde")},
      {"24 blanks at the end", normal.substr(0, normal.size() - 2)},
      {"26 blanks at the end", normal + "\r\n"},
      {"text after the end", normal + "rest\r\n"},
      {"two blanks after the header", replaced(normal, "7\r\n\r\n", "7\r\n")},
      {"four blanks after the header", replaced(normal, "7\r\n", "7\r\n\r\n")},
      {"indented days ahead", replaced(normal, "\r\n7\r\n", "\r\n 7\r\n")},
      {"no weekly and daily sections",
       replaced(normal, "Wekelijks\r\n\r\n\r\n\r\nDagelijks\r\n\r\n\r\n\r\n", "")},
  };
  for (const auto& [name, text] : rows) {
    test::writeFile(folder / "THUIS000.AMN", text);
    ASSERT_TRUE(convertOlderData(*platform).written) << name;
    EXPECT_EQ(test::readFile(folder / "THUIS000.AMN"), normal) << name;
  }
}

TEST_F(ConversionTest, CalendarsWithoutDiaryKeyGetOneCountingFromZero) {
  write("A0000000.AMN", {"Met sleutel", "0", "5", "", "Maandelijks", "", "Wekelijks", "", "Dagelijks", "", "Januari"});
  write("B0000000.AMN",
        {"Zonder sleutel", " tekst", "", "Maandelijks", "", "Wekelijks", "", "Dagelijks", "", "Januari"});
  write("C0000000.AMN", {"Ook zonder", "", "Maandelijks", "", "Wekelijks", "", "Dagelijks", "", "Januari"});
  ASSERT_TRUE(convertOlderData(*platform).written);
  const std::vector<std::string> sections = {"Maandelijks", "", "Wekelijks", "", "Dagelijks", "", "Januari", "Einde"};
  EXPECT_EQ(lines("A0000000.AMN"), joined({{"Met sleutel", "0", "5"}, blanks(3), sections, blanks(25)}));
  EXPECT_EQ(lines("B0000000.AMN"), joined({{"Zonder sleutel", "0", "tekst"}, blanks(3), sections, blanks(25)}));
  EXPECT_EQ(lines("C0000000.AMN"), joined({{"Ook zonder", "1", ""}, blanks(3), sections, blanks(25)}));
}

TEST_F(ConversionTest, OldBirthdayCalendarGetsItsDaysAheadAndRecurringSections) {
  write("VERJAARD.AMN", {"Verjaardagen", "Verjaardagsalmanouk. Aan het einde moet na een lege regel 'Einde' staan.",
                         "Hulptekst die wegvalt.", "Dagen vooruit [14]", "", "", "Maandelijks", "", "Januari", "",
                         "05 Jan jarig", "", "einde", "rest"});
  ASSERT_TRUE(convertOlderData(*platform).written);
  EXPECT_EQ(lines("VERJAARD.AMN"),
            joined({{"Verjaardagen", "0", "14"}, blanks(3), {"Maandelijks", ""}, {"Wekelijks"}, blanks(3),
                    {"Dagelijks"}, blanks(3), {"Januari", "", "05 Jan jarig", ""}, {"Einde"}, blanks(25)}));
  std::string converted = test::readFile(folder / "VERJAARD.AMN");
  ASSERT_TRUE(validateCalendarFile(*platform, "VERJAARD.AMN"));  // the result passes the check as it is
  EXPECT_EQ(test::readFile(folder / "VERJAARD.AMN"), converted);
}

// With or without a diary key before it, indented or not: the mark is seen on
// the first start, and a second start changes nothing.
TEST_F(ConversionTest, AnIndentedBirthdayMarkIsSeenAtOnce) {
  const std::string mark = "    Verjaardagsalmanouk. Aan het einde moet na een lege regel 'Einde' staan.";
  write("MET00000.AMN", {"Met sleutel", "3", mark, "Dagen vooruit [9]", "Januari", "Einde"});
  write("ZONDER00.AMN", {"Zonder sleutel", mark, "Januari", "Einde"});
  ASSERT_TRUE(convertOlderData(*platform).written);
  EXPECT_EQ(lines("MET00000.AMN")[2], "9");
  EXPECT_EQ(lines("ZONDER00.AMN")[2], "7");  // no "[" line: the template's days ahead
  std::string with = test::readFile(folder / "MET00000.AMN");
  std::string without = test::readFile(folder / "ZONDER00.AMN");
  ASSERT_TRUE(convertOlderData(*platform).written);
  EXPECT_EQ(test::readFile(folder / "MET00000.AMN"), with);
  EXPECT_EQ(test::readFile(folder / "ZONDER00.AMN"), without);
}

TEST_F(ConversionTest, LongFilesAndLongLinesAreCopiedIntact) {
  std::vector<std::string> entries;
  for (int i = 0; i < 5000; ++i) entries.push_back(std::to_string(i % 28 + 1) + " regel " + std::to_string(i));
  entries.push_back("17 " + std::string(6000, 'x'));
  std::vector<std::string> calendar = test::calendarLines(std::string(300, 'o'), "0", {{}, {}, {}, entries});
  write("GROOT000.AMN", calendar);
  ASSERT_TRUE(convertOlderData(*platform).written);
  std::vector<std::string> converted = lines("GROOT000.AMN");
  ASSERT_EQ(converted.size(), calendar.size() + 1 + 25);
  EXPECT_EQ(converted[0], calendar[0]);
  EXPECT_TRUE(std::equal(calendar.begin() + 5, calendar.end(), converted.begin() + 6));
}

TEST_F(ConversionTest, PopUpSettingsBecomeTheCurrentLayout) {
  write("Almanouk.ini", {"[PopUp]", "PopUp=ntp", "oud", "", "", "[Tekstkleur]", "12", "", "[Dagboekdagkleur]", "13",
                         "", "[Almanoukkeuze]", "-> ALMANOUK.AMN = Omschrijving.               7", "", "Einde."});
  ASSERT_TRUE(convertOlderData(*platform).written);
  EXPECT_EQ(lines("Almanouk.ini"),
            (std::vector<std::string>{"[Aan/Uit]", "PopUp=ntp", "PC-Speaker=aan", "Sound=aan", "", "[Kleurthema]", "1",
                                      "", "[Tekstkleur]", "12", "", "[Dagboekdagkleur]", "13", "", "[Almanoukkeuze]",
                                      "-> ALMANOUK.AMN = Omschrijving.               7", "", "Einde."}));
  EXPECT_FALSE(exists("ALMANOUK.TMP"));
}

TEST_F(ConversionTest, SettingsWithoutColourSectionsGetTheDefaults) {
  write("Almanouk.ini", {"[Aan/Uit]", "PopUp=uit", "PC-Speaker=aan", "Sound=uit", "", "[Almanoukkeuze]", "   ",
                         "-> ALMANOUK.AMN = Oud                        7", "", "Einde."});
  ASSERT_TRUE(convertOlderData(*platform).written);
  EXPECT_EQ(lines("Almanouk.ini"),
            (std::vector<std::string>{"[Aan/Uit]", "PopUp=uit", "PC-Speaker=aan", "Sound=uit", "", "[Kleurthema]", "1",
                                      "", "[Tekstkleur]", "12", "", "[Dagboekdagkleur]", "13", "", "[Almanoukkeuze]",
                                      "-> ALMANOUK.AMN = Oud                        7", "", "Einde."}));
}

TEST_F(ConversionTest, SettingsWithoutDiaryDayColourGetIt) {
  write("Almanouk.ini", {"[Aan/Uit]", "PopUp=ntp", "PC-Speaker=aan", "Sound=aan", "", "[Kleurthema]", "0", "",
                         "[Tekstkleur]", " 10", "", "[Almanoukkeuze]", "-> ALMANOUK.AMN = X", "", "Einde."});
  ASSERT_TRUE(convertOlderData(*platform).written);
  EXPECT_EQ(lines("Almanouk.ini"),
            (std::vector<std::string>{"[Aan/Uit]", "PopUp=ntp", "PC-Speaker=aan", "Sound=aan", "", "[Kleurthema]", "0",
                                      "", "[Tekstkleur]", "10", "", "[Dagboekdagkleur]", "13", "", "[Almanoukkeuze]",
                                      "-> ALMANOUK.AMN = X", "", "Einde."}));
}

TEST_F(ConversionTest, CurrentSettingsStayByteIdentical) {
  write("Almanouk.ini", kCurrentSettings);
  std::string before = test::readFile(folder / "Almanouk.ini");
  ASSERT_TRUE(convertOlderData(*platform).written);
  EXPECT_EQ(test::readFile(folder / "Almanouk.ini"), before);
}

}  // namespace
