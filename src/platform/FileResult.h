#pragma once
// What a write to a user file comes to: done, or which file failed and why.
// Every operation that writes returns one, and no caller may drop it: a
// failure the user can act on is told in the screen where it happened.

#include <string>
#include <string_view>
#include <utility>

namespace almanouk {

enum class FileProblem {
  DiskFull,     // no space (or quota) left
  NoRights,     // the system refused access
  ReadOnly,     // the file or its file system is read-only
  NotFound,     // the file to read or copy is not there
  Changed,      // another program changed the file since it was read
  Unusable,     // what would be written is a file the program could not use
  Other,        // any other failure of the system
};

struct FileError {
  std::string file;  // the name as the user knows it, without the folder
  FileProblem problem = FileProblem::Other;
};

class [[nodiscard]] FileResult {
 public:
  FileResult() = default;  // success
  FileResult(FileError error) : failed_(true), error_(std::move(error)) {}  // NOLINT: a failure converts
  FileResult(std::string_view file, FileProblem problem) : FileResult(FileError{std::string(file), problem}) {}

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const FileError& error() const { return error_; }
  // The first failure of two steps that both had to be taken.
  FileResult andThen(const FileResult& next) const { return ok() ? next : *this; }

 private:
  bool failed_ = false;
  FileError error_;
};

// The name of a file as the user knows it: the last part of its path.
std::string_view baseName(std::string_view path);

// The problem in Dutch, as a message names it: "schijf vol", "geen rechten", ...
std::string_view describe(FileProblem problem);
// "Opslaan mislukt (schijf vol): ALMANOUK.AMN is niet gewijzigd"
std::string saveFailedMessage(const FileError& error);
// Another program changed the file while a screen had it open; its version is kept in Versies.
std::string changedElsewhereMessage(std::string_view file);

}  // namespace almanouk
