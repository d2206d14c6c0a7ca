#include <gtest/gtest.h>

#include <set>
#include <string>

#include "calendar/ICal.h"
#include "platform/win32/ZoneNames.h"

using namespace almanouk;

namespace {

struct Row {
  const char* windows;
  const char* database;  // "" for none
};

}  // namespace

class WindowsZoneName : public ::testing::TestWithParam<Row> {};

TEST_P(WindowsZoneName, IsTheDatabaseName) {
  EXPECT_EQ(win32::zoneDatabaseName(GetParam().windows), GetParam().database);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WindowsZoneName,
    ::testing::Values(
        // The Netherlands and Belgium, whose times the imports are most about.
        Row{"W. Europe Standard Time", "Europe/Amsterdam"}, Row{"Romance Standard Time", "Europe/Brussels"},
        Row{"GMT Standard Time", "Europe/London"}, Row{"UTC", "UTC"},
        // The first and last rows of the table.
        Row{"Hawaiian Standard Time", "Pacific/Honolulu"}, Row{"New Zealand Standard Time", "Pacific/Auckland"},
        // Two names one a prefix of the other.
        Row{"Central Standard Time", "America/Chicago"}, Row{"Central Standard Time (Mexico)", "America/Mexico_City"},
        Row{"Central Europe Standard Time", "Europe/Budapest"},
        // Exactly as Windows writes them: no other case, no spaces around, no daylight name.
        Row{"w. europe standard time", ""}, Row{" W. Europe Standard Time", ""},
        Row{"W. Europe Daylight Time", ""}, Row{"", ""}, Row{"Europe/Amsterdam", ""}));

// A name the library does not know would put the calendar's times in UTC.
TEST(WindowsZoneNames, EveryDatabaseNameIsKnownToTheIcalendarLibraryAndEveryWindowsNameIsListedOnce) {
  std::set<std::string_view> seen;
  for (const auto& [windows, database] : win32::zoneNameTable()) {
    EXPECT_TRUE(seen.insert(windows).second) << windows;
    icaltimezone* zone = ical::databaseZone(std::string(database));
    ASSERT_NE(zone, nullptr) << windows << " -> " << database;
    if (database == "UTC") {
      EXPECT_EQ(zone, icaltimezone_get_utc_timezone());
    } else {
      const char* location = icaltimezone_get_location(zone);
      EXPECT_EQ(std::string(location ? location : "(geen)"), database);
    }
  }
  EXPECT_GE(seen.size(), 60U);
}
