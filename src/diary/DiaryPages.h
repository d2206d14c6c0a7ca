#pragma once
// Diary page files: one per written day, named yyyymmdd + ".D" + the
// calendar's diary identifier + the weekday digit (1 = Monday).

#include <string>
#include <string_view>

namespace almanouk {

class Platform;

std::string pageFileName(int day, int month, int year, int weekday, std::string_view diaryId);
// The month grid's probe: opening in binary mode creates a missing page, so
// an empty file is deleted again at once and means "no page".
bool diaryPageExists(Platform& platform, std::string_view name);

}  // namespace almanouk
