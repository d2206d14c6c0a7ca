// A build without the HTTP and XML libraries: no calendar is ever linked.

#include "sync/BackgroundSync.h"
#include "sync/SyncCommands.h"

namespace almanouk {

bool syncAvailable() { return false; }

int linkCalendar(Platform&, const std::string&, const std::string&, SyncOutput& output) {
  output.err += "Deze versie van Almanouk is gebouwd zonder synchronisatie.\n";
  return 1;
}

std::vector<std::string> linkedCalendars(Platform&) { return {}; }

int syncLinkedCalendars(Platform&, SyncOutput& output) {
  output.err += "Deze versie van Almanouk is gebouwd zonder synchronisatie.\n";
  return 1;
}

BackgroundSync::BackgroundSync(Platform& platform) : platform_(platform) {}
BackgroundSync::~BackgroundSync() = default;
std::optional<BackgroundSync::News> BackgroundSync::look(std::int64_t) { return std::nullopt; }
void BackgroundSync::saved(std::int64_t) {}

}  // namespace almanouk
