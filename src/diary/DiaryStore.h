#pragma once
// The diary's pages: one file per written day, named yyyymmdd + ".D" + the
// calendar's diary identifier + the weekday digit (1 = Monday), holding the
// page's bytes without line ends (80 to a line). Two sentinel pages per
// identifier mark the ends of the range, and the index "Almanouk.dat" lists
// the pages of the active identifier in date order while the program runs.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/Dates.h"
#include "platform/FileResult.h"

namespace almanouk {

class BinaryFile;
class FileLayer;
class Platform;

inline constexpr std::string_view kDiaryIndexFile = "Almanouk.dat";
// A page is lines of this many characters one after the other, without line ends.
inline constexpr int kPageLineLength = 80;

std::string pageFileName(int day, int month, int year, int weekday, std::string_view diaryId);
std::string pageFileName(const SelectedDate& date, std::string_view diaryId);
// "19010101.D" + id + "2" and "21000101.D" + id + "5".
std::string startSentinelName(std::string_view diaryId);
std::string endSentinelName(std::string_view diaryId);
// The day a page name stands for, when it names a real day (1901 to 2100)
// with its own weekday digit; hand-made names that do not are passed over.
std::optional<CalendarDay> pageDay(std::string_view name);

// The month grid's probe: a day has a page when its file holds at least one
// byte. It only looks, so redrawing the grid writes nothing.
bool diaryPageExists(FileLayer& files, std::string_view name);

// The page files of an identifier, in ascending byte order. Only names whose
// identifier is exactly this one count, whatever characters it holds.
std::vector<std::string> pageNames(Platform& platform, std::string_view diaryId);
// The identifiers that page files carry, each once.
std::string pageKeys(Platform& platform);
// Writes the index: an empty line, then the page names; returns them.
std::vector<std::string> buildDiaryIndex(Platform& platform, std::string_view diaryId);
// Creates each sentinel page holding a single blank when it is missing.
FileResult ensureSentinelPages(Platform& platform, std::string_view diaryId);

// Called with the page open when the editor closes it: a page is cut after
// its last character that is neither a blank nor 0; a page with no such
// character is deleted, except a sentinel page. The page is closed first.
FileResult savePage(Platform& platform, BinaryFile& page, const std::string& name);

// Copies every page of one identifier to the same day under another, byte for
// byte; the first page that could not be copied is the failure told.
FileResult copyPages(Platform& platform, std::string_view fromId, std::string_view toId);
// Deletes every page of an identifier.
FileResult deletePages(Platform& platform, std::string_view diaryId);

enum class Direction { Previous, Next };
// The written page before or after the page name (which need not exist any
// more): the page to open next, or nothing when there is none to go to.
std::optional<std::string> findWrittenPage(Platform& platform, std::string_view diaryId, const std::string& name,
                                           Direction direction);

}  // namespace almanouk
