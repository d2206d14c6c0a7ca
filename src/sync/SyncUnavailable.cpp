// A build without the HTTP and XML libraries: no calendar is ever linked.

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

}  // namespace almanouk
