#pragma once
// The previous content of the user's files, kept when the program replaces,
// deletes or first changes one: "Versies/NAME/yyyymmdd-hhmmss" beside the
// file, the newest few per file and none older than a set number of days.
// A slip (an entry typed over, a page blanked, a calendar deleted) can then be
// undone by copying a version back.

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/LocalTime.h"

namespace almanouk {

class Versions {
 public:
  static constexpr std::string_view kFolder = "Versies";
  static constexpr int kKeptPerFile = 20;
  static constexpr int kKeptDays = 90;

  using Policy = std::function<bool(std::string_view name)>;  // which files are kept
  using Clock = std::function<LocalDateTime()>;

  Versions(Policy policy, Clock clock) : policy_(std::move(policy)), clock_(std::move(clock)) {}

  // Keeps the file's present content. A file about to be replaced or deleted
  // keeps its content under a second name, at no cost; one about to be
  // changed in place is copied. Nothing is kept when that fails: the change
  // itself goes on. A "Versies" folder (or a file's folder in it) that is a
  // link is never used: a save would write outside the data folder, and the
  // pruning delete what the link leads to.
  void keep(const std::string& path, bool changedInPlace);
  // Prunes every file's versions in the data folder's "Versies": a file that
  // is not saved again keeps none older than kKeptDays either.
  void pruneAll(const std::string& dataFolder);
  // What the status line is to say once: the versions folder is a link.
  std::string takeNotice() { return std::exchange(notice_, std::string()); }

 private:
  void prune(const std::string& folder, const LocalDateTime& now);
  bool refusesLink(const std::string& folder);

  Policy policy_;
  Clock clock_;
  bool linkTold_ = false;
  std::string notice_;
};

}  // namespace almanouk
