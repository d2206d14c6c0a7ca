#pragma once

#include "platform/FileResult.h"

namespace almanouk {

class Platform;

// What the conversion could not write.
struct [[nodiscard]] Conversion {
  // The first file whose new version could not be written (a full disk, say): it stays as it was.
  FileResult written;
  // That file is of an older layout, which the program cannot use as it is.
  bool required = false;

  // Keeps the first failure, or the first of a file that had to change.
  void note(const FileResult& result, bool needed);
};

// Brings every calendar file and the settings file into the current layouts;
// runs at every initialisation and normalises current files too. A file that
// needs no change is not written.
Conversion convertOlderData(Platform& platform);

}  // namespace almanouk
