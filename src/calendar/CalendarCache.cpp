#include "calendar/CalendarCache.h"

#include <algorithm>
#include <optional>

namespace almanouk {
namespace {

// The active calendar and the merged one of the all-calendars view.
constexpr std::size_t kCachedFiles = 2;

bool sameStamp(FileVersion a, const FileVersion& b) {
  a.settled = b.settled;
  return a == b;
}

}  // namespace

CalendarCache::CalendarCache(FileLayer& files)
    : files_(files), empty_(std::make_shared<const CalendarModel>(std::string())) {}

std::shared_ptr<const CalendarModel> CalendarCache::get(std::string_view fileName) {
  // The version before the bytes: a write in between gives a newer stamp, so
  // the next call reads again.
  std::optional<FileVersion> version = files_.version(fileName);
  auto found = std::find_if(cached_.begin(), cached_.end(), [&](const Cached& c) { return c.fileName == fileName; });
  if (found != cached_.end() && version && found->version.settled && sameStamp(found->version, *version)) {
    std::rotate(found, found + 1, cached_.end());
    return cached_.back().model;
  }
  std::optional<std::string> bytes;
  if (version) bytes = files_.contents(fileName);
  std::shared_ptr<const CalendarModel> model;
  if (found != cached_.end()) {
    if (bytes && found->model->bytes() == *bytes) model = found->model;
    cached_.erase(found);
  }
  if (!bytes) return empty_;
  if (!model) model = std::make_shared<const CalendarModel>(std::move(*bytes));
  if (cached_.size() == kCachedFiles) cached_.erase(cached_.begin());
  cached_.push_back({std::string(fileName), *version, model});
  return model;
}

}  // namespace almanouk
