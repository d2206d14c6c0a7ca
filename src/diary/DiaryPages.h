#pragma once
// Diary page files: one per written day, named yyyymmdd + ".D" + the
// calendar's diary identifier + the weekday digit (1 = Monday).

#include <string>
#include <string_view>

namespace almanouk {

class FileLayer;

std::string pageFileName(int day, int month, int year, int weekday, std::string_view diaryId);
// The month grid's probe: a day has a page when its file holds at least one
// byte. It only looks, so redrawing the grid writes nothing.
bool diaryPageExists(FileLayer& files, std::string_view name);

}  // namespace almanouk
