#include "platform/win32/ZoneNames.h"


namespace almanouk::win32 {

namespace {

// The common zones, west to east. Where one Windows zone covers several
// countries with the same clock, the Dutch-speaking one's city or else the
// zone's usual representative.
constexpr std::pair<std::string_view, std::string_view> kZones[] = {
    {"Hawaiian Standard Time", "Pacific/Honolulu"},
    {"Alaskan Standard Time", "America/Anchorage"},
    {"Pacific Standard Time", "America/Los_Angeles"},
    {"US Mountain Standard Time", "America/Phoenix"},
    {"Mountain Standard Time", "America/Denver"},
    {"Central America Standard Time", "America/Guatemala"},
    {"Central Standard Time", "America/Chicago"},
    {"Central Standard Time (Mexico)", "America/Mexico_City"},
    {"Canada Central Standard Time", "America/Regina"},
    {"SA Pacific Standard Time", "America/Bogota"},
    {"Eastern Standard Time", "America/New_York"},
    {"Venezuela Standard Time", "America/Caracas"},
    {"Atlantic Standard Time", "America/Halifax"},
    {"SA Western Standard Time", "America/Curacao"},
    {"Pacific SA Standard Time", "America/Santiago"},
    {"Newfoundland Standard Time", "America/St_Johns"},
    {"E. South America Standard Time", "America/Sao_Paulo"},
    {"Argentina Standard Time", "America/Argentina/Buenos_Aires"},
    {"SA Eastern Standard Time", "America/Paramaribo"},
    {"Greenland Standard Time", "America/Godthab"},
    {"Azores Standard Time", "Atlantic/Azores"},
    {"Cape Verde Standard Time", "Atlantic/Cape_Verde"},
    {"UTC", "UTC"},
    {"GMT Standard Time", "Europe/London"},
    {"Greenwich Standard Time", "Atlantic/Reykjavik"},
    {"Morocco Standard Time", "Africa/Casablanca"},
    {"W. Europe Standard Time", "Europe/Amsterdam"},
    {"Romance Standard Time", "Europe/Brussels"},
    {"Central Europe Standard Time", "Europe/Budapest"},
    {"Central European Standard Time", "Europe/Warsaw"},
    {"W. Central Africa Standard Time", "Africa/Lagos"},
    {"GTB Standard Time", "Europe/Bucharest"},
    {"E. Europe Standard Time", "Europe/Chisinau"},
    {"FLE Standard Time", "Europe/Kiev"},
    {"Egypt Standard Time", "Africa/Cairo"},
    {"South Africa Standard Time", "Africa/Johannesburg"},
    {"Israel Standard Time", "Asia/Jerusalem"},
    {"Jordan Standard Time", "Asia/Amman"},
    {"Turkey Standard Time", "Europe/Istanbul"},
    {"Arabic Standard Time", "Asia/Baghdad"},
    {"Arab Standard Time", "Asia/Riyadh"},
    {"Russian Standard Time", "Europe/Moscow"},
    {"E. Africa Standard Time", "Africa/Nairobi"},
    {"Iran Standard Time", "Asia/Tehran"},
    {"Arabian Standard Time", "Asia/Dubai"},
    {"Pakistan Standard Time", "Asia/Karachi"},
    {"West Asia Standard Time", "Asia/Tashkent"},
    {"India Standard Time", "Asia/Kolkata"},
    {"Nepal Standard Time", "Asia/Kathmandu"},
    {"Central Asia Standard Time", "Asia/Almaty"},
    {"Bangladesh Standard Time", "Asia/Dhaka"},
    {"SE Asia Standard Time", "Asia/Bangkok"},
    {"China Standard Time", "Asia/Shanghai"},
    {"Singapore Standard Time", "Asia/Singapore"},
    {"W. Australia Standard Time", "Australia/Perth"},
    {"Taipei Standard Time", "Asia/Taipei"},
    {"Tokyo Standard Time", "Asia/Tokyo"},
    {"Korea Standard Time", "Asia/Seoul"},
    {"Cen. Australia Standard Time", "Australia/Adelaide"},
    {"E. Australia Standard Time", "Australia/Brisbane"},
    {"AUS Eastern Standard Time", "Australia/Sydney"},
    {"New Zealand Standard Time", "Pacific/Auckland"},
};

}  // namespace

std::string_view zoneDatabaseName(std::string_view windowsZone) {
  for (const auto& [windows, database] : kZones)
    if (windows == windowsZone) return database;
  return {};
}

std::span<const std::pair<std::string_view, std::string_view>> zoneNameTable() { return kZones; }

}  // namespace almanouk::win32
