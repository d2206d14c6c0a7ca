#include "platform/NumberedFiles.h"

#include "platform/Platform.h"

namespace almanouk {

NumberedFile::NumberedFile(Platform& platform, std::string_view name, FileMode mode, int number)
    : files_(platform.files()), name_(baseName(name)), number_(number) {
  if (files_.isOpen(number)) {
    files_.noteNumberClash();
    openError_ = file_error::kNumberInUse;
    return;
  }
  files_.openFile(name, mode, number);
  openError_ = files_.lastError();
  open_ = openError_ == file_error::kNone;
}

NumberedFile::~NumberedFile() { static_cast<void>(closeNow()); }

FileResult NumberedFile::closeNow() {
  if (!open_) return openError_ == file_error::kNone ? FileResult() : FileResult(name_, files_.lastProblem());
  open_ = false;
  if (files_.closeFile(number_)) return {};
  return failure();
}

InputFile::InputFile(Platform& platform, std::string_view name, int number)
    : NumberedFile(platform, name, FileMode::Input, number) {}

bool InputFile::next(std::string& line) {
  if (!open_ || files_.atEnd(number_)) {
    line.clear();
    return false;
  }
  files_.readLine(number_, line);
  ++lineNumber_;
  return true;
}

std::string InputFile::nextLine() {
  std::string line;
  next(line);
  return line;
}

bool InputFile::atEnd() { return !open_ || files_.atEnd(number_); }

OutputFile::OutputFile(Platform& platform, std::string_view name, int number, FileMode mode)
    : NumberedFile(platform, name, mode, number) {}

void OutputFile::line(std::string_view text) {
  if (open_) files_.writeLine(number_, text);
}

void OutputFile::text(std::string_view text) {
  if (open_) files_.writeText(number_, text);
}

void OutputFile::blankLines(int count) {
  for (int i = 0; i < count; ++i) line("");
}

FileReplacement::FileReplacement(Platform& platform, std::string_view target, std::string_view tempName, int number)
    : OutputFile(platform, tempName, number, FileMode::Replacement), target_(target), temp_(tempName) {}

FileReplacement::~FileReplacement() {
  if (done_) return;
  static_cast<void>(closeNow());
  if (openError_ != file_error::kNumberInUse) files_.discardFile(temp_);
}

FileResult FileReplacement::commit() {
  const std::string_view shown = baseName(target_);
  if (done_) return FileResult(shown, FileProblem::Other);
  done_ = true;
  // replaceFile makes the new version durable before it takes the old one's place.
  FileResult written = closeNow();
  if (written) written = files_.replaceFile(temp_, target_);
  if (written) return {};
  files_.discardFile(temp_);
  return FileResult(shown, written.error().problem);
}

FileResult replaceLinesIfChanged(Platform& platform, std::string_view target, std::string_view tempName,
                                 const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const std::string& line : lines) text.append(line).append("\r\n");
  if (platform.files().contents(target) == text) return {};
  FileReplacement file(platform, target, tempName, 2);
  file.text(text);
  return file.commit();
}

BinaryFile::BinaryFile(Platform& platform, std::string_view name, int number)
    : NumberedFile(platform, name, FileMode::Binary, number) {}

std::int64_t BinaryFile::length() { return open_ ? files_.fileLength(number_) : 0; }

std::string BinaryFile::read(std::int64_t position, std::size_t count) {
  return open_ ? files_.readBytes(number_, position, count) : std::string();
}

FileResult BinaryFile::write(std::int64_t position, std::string_view bytes) {
  if (!open_) return FileResult(name_, FileProblem::Other);
  files_.writeBytes(number_, position, bytes);
  if (files_.lastError() == file_error::kNone) return {};
  return failure();
}

FileResult BinaryFile::flush() {
  if (!open_) return FileResult(name_, FileProblem::Other);
  if (files_.flushFile(number_)) return {};
  return failure();
}

bool BinaryFile::writable() { return open_ && files_.isWritable(number_); }

}  // namespace almanouk
