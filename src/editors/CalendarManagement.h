#pragma once
// New, copied and deleted calendars: each calendar file carries a diary key
// of its own on line 2, and its diary pages go with it.

#include <string>
#include <string_view>

#include "platform/FileResult.h"

namespace almanouk {

class Platform;

// The first character from "0" upward that no calendar file carries as its diary key.
std::string nextFreeDiaryKey(Platform& platform);

// Why a calendar of that file name cannot be made, in a line of at most 34
// characters for the input row; empty when it can. A name must stay in the
// data folder, make a usable file name on every system and not exist yet,
// in any case and with or without accents.
std::string refusalOf(Platform& platform, std::string_view fileName);

// The copy's name from the clock: day of the month, hour, minute, second (07143005.AMN).
std::string copyNameFromClock(Platform& platform);

// Copies a calendar under a new name with a new diary key: its lines before
// the first "Einde", the end (also where the source lacks one), and its diary
// pages.
FileResult copyCalendar(Platform& platform, std::string_view source, std::string_view target);

// The record of a calendar being deleted, kept until the delete is done.
inline constexpr std::string_view kDeleteIntentFile = "Almanouk.del";

// Deletes a calendar file, its backup copy and its diary pages (unless
// another calendar carries the same key); a calendar that cannot be deleted keeps all three.
FileResult deleteCalendar(Platform& platform, std::string_view fileName);
// Finishes a delete that was cut short, at the start.
FileResult finishInterruptedDelete(Platform& platform);

}  // namespace almanouk
