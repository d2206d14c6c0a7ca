#pragma once
// Numbered files as objects: each is opened for one operation and closed when
// it goes away. A number that is already open is refused (the object reports
// file_error::kNumberInUse), so two objects can never share one by mistake.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileLayer.h"
#include "platform/FileResult.h"

namespace almanouk {

class Platform;

class NumberedFile {
 public:
  NumberedFile(const NumberedFile&) = delete;
  NumberedFile& operator=(const NumberedFile&) = delete;

  bool isOpen() const { return open_; }
  // The error number of the open: 0, 2 (not found), ...
  int openError() const { return openError_; }

 protected:
  NumberedFile(Platform& platform, std::string_view name, FileMode mode, int number);
  ~NumberedFile();
  // Closes now; a failure when a write or the close failed (or the file never opened).
  FileResult closeNow();
  // The failure of the last step, naming this file.
  FileResult failure() const { return FileResult(name_, files_.lastProblem()); }

  FileLayer& files_;
  std::string name_;
  int number_;
  bool open_ = false;
  int openError_ = 0;
};

// A text file read line by line. A missing file reads as an empty one; a
// line read past the end is empty.
class InputFile : public NumberedFile {
 public:
  InputFile(Platform& platform, std::string_view name, int number);

  // The next line; false (and an empty line) past the end.
  bool next(std::string& line);
  std::string nextLine();
  bool atEnd();
  // The 1-based number of the line last read.
  int lineNumber() const { return lineNumber_; }
  // Reading cannot lose anything: nothing to report.
  void close() { static_cast<void>(closeNow()); }

 private:
  int lineNumber_ = 0;
};

// A text file written anew (or appended to) with CR LF line ends.
class OutputFile : public NumberedFile {
 public:
  OutputFile(Platform& platform, std::string_view name, int number, FileMode mode = FileMode::Output);

  void line(std::string_view text);
  void text(std::string_view text);
  void blankLines(int count);
  // Done when the open, every write and the close succeeded.
  FileResult close() { return closeNow(); }
};

// A new version of a file, written beside it under a temporary name and put
// in its place in one step only when every write succeeded: a full disk or a
// crash leaves the old file as it was. Uncommitted, the temporary file goes.
class FileReplacement : public OutputFile {
 public:
  FileReplacement(Platform& platform, std::string_view target, std::string_view tempName, int number);
  ~FileReplacement();

  // Done when the new version is in place; a failure names the target.
  FileResult commit();

 private:
  std::string target_;
  std::string temp_;
  bool done_ = false;
};

// Writes the lines (CR LF) as the file's new version through the temporary
// file, unless the file holds exactly those bytes already: a file that needs
// no change is not touched.
FileResult replaceLinesIfChanged(Platform& platform, std::string_view target, std::string_view tempName,
                           const std::vector<std::string>& lines);

// A file of bytes at 1-based positions, created empty when missing.
class BinaryFile : public NumberedFile {
 public:
  BinaryFile(Platform& platform, std::string_view name, int number);

  std::int64_t length();
  // Fewer bytes (or none) past the end.
  std::string read(std::int64_t position, std::size_t count);
  FileResult write(std::int64_t position, std::string_view bytes);
  // Hands the writes to the system: a crash of the program loses none of them.
  FileResult flush();
  // False for a file that could only be opened for reading.
  bool writable();
  FileResult close() { return closeNow(); }
};

}  // namespace almanouk
