#pragma once

#include "platform/Versions.h"

namespace almanouk {

class Platform;

// While this lives, the earlier content of the user's files (calendars, the
// settings, diary pages) is kept whenever the program replaces, deletes or
// first changes one in place.
class UserFileVersions {
 public:
  explicit UserFileVersions(Platform& platform);
  ~UserFileVersions();
  // At start: versions past their days go, also of files not saved again.
  void pruneAll();
  // What the status line is to say once.
  std::string takeNotice() { return versions_.takeNotice(); }
  UserFileVersions(const UserFileVersions&) = delete;
  UserFileVersions& operator=(const UserFileVersions&) = delete;

 private:
  Platform& platform_;
  Versions versions_;
};

}  // namespace almanouk
