#pragma once
// Windows names its time zones after their standard time ("W. Europe Standard
// Time"); the zone database, and so the iCalendar library, by a place
// ("Europe/Amsterdam"). Plain text, no Windows API.

#include <span>
#include <string_view>
#include <utility>

namespace almanouk::win32 {

// The zone database's name for the Windows zone (its registry key name, as
// GetDynamicTimeZoneInformation gives it); empty for a zone the table lacks.
std::string_view zoneDatabaseName(std::string_view windowsZone);
// The whole table: Windows's name, the database's.
std::span<const std::pair<std::string_view, std::string_view>> zoneNameTable();

}  // namespace almanouk::win32
