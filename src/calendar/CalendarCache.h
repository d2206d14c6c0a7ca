#pragma once
// The calendars the program reads, each parsed once per file version. The
// month view draws its event list and the alarm scan runs its passes from the
// model of the active calendar's current version, without reading the file
// again while it is unchanged.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/CalendarModel.h"
#include "platform/FileLayer.h"

namespace almanouk {

class CalendarCache {
 public:
  explicit CalendarCache(FileLayer& files);
  CalendarCache(const CalendarCache&) = delete;
  CalendarCache& operator=(const CalendarCache&) = delete;

  // The model of the file's current version; an empty one when there is no
  // such file or it cannot be read. A version that has settled and was read
  // settled is served without reading the file; a version written in the last
  // moments may change without a new stamp, so it is read again each time and
  // parsed again only when its bytes differ.
  std::shared_ptr<const CalendarModel> get(std::string_view fileName);

 private:
  struct Cached {
    std::string fileName;
    FileVersion version;  // settled: the bytes were read after the version had settled
    std::shared_ptr<const CalendarModel> model;
  };

  FileLayer& files_;
  std::vector<Cached> cached_;  // the most recently asked for last
  std::shared_ptr<const CalendarModel> empty_;
};

}  // namespace almanouk
