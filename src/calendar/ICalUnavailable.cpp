// A build without libical: the command line says that it cannot import or export.

#include "calendar/ICalExport.h"
#include "calendar/ICalImport.h"

namespace almanouk {

bool iCalendarAvailable() { return false; }

std::string exportICalendar(std::span<const ExportedCalendar>, const ExportClock&, ExportReport&) { return {}; }

std::variant<ImportedEvents, std::string> readICalendar(std::string_view, const ImportClock&) {
  return std::string("deze versie van Almanouk kan geen iCalendar lezen");
}

}  // namespace almanouk
