// A diary page of any bytes: the store reads and saves it, the editor shows
// it and moves through it, and no byte the keys did not touch is lost.

#include "FuzzSupport.h"
#include "calendar/Dates.h"
#include "diary/DiaryEditor.h"
#include "diary/DiaryStore.h"
#include "platform/NumberedFiles.h"
#include "screen/ScreenBuffer.h"
#include "settings/Settings.h"

using namespace almanouk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = fuzz::freshFolder();
  std::string page(reinterpret_cast<const char*>(data), size);
  fuzz::writeFile(folder / "20120307.D03", page);
  HeadlessPlatform& platform = fuzz::platformFor(folder, "End PgDn Up Home Ins Del \"x\" Esc");
  Settings settings;
  settings.calFile = "ALMANOUK.AMN";
  ScreenBuffer buffer(platform, settings);
  SelectedDate date;
  setDate(date, 7, 3, 2012);
  DiaryEditor editor(platform, buffer, settings, date);
  fuzz::survive([&] { runModal(platform, editor); });
  (void)findWrittenPage(platform, "0", "20120306.D02", Direction::Next);
  // Only line 2 from column 3 was touched (Ins, Del and the x): the rest of the page is as it was.
  std::string saved = fuzz::readFile(folder / "20120307.D03");
  if (page.size() < 1840) page.resize(1840, ' ');
  std::size_t line2 = 80, end = 160;
  for (std::size_t i = 0; i < page.size(); ++i) {
    if (i >= line2 && i < end) continue;
    char kept = i < saved.size() ? saved[i] : ' ';
    char was = page[i] == '\0' && i >= saved.size() ? ' ' : page[i];
    if (kept != was) __builtin_trap();
  }
  return 0;
}
