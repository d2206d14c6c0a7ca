#include "platform/NumberedFiles.h"

#include "platform/Platform.h"

namespace almanouk {

NumberedFile::NumberedFile(Platform& platform, std::string_view name, FileMode mode, int number)
    : files_(platform.files()), number_(number) {
  if (files_.isOpen(number)) {
    files_.noteNumberClash();
    openError_ = file_error::kNumberInUse;
    return;
  }
  files_.openFile(name, mode, number);
  openError_ = files_.lastError();
  open_ = openError_ == file_error::kNone;
}

NumberedFile::~NumberedFile() { closeNow(); }

bool NumberedFile::closeNow() {
  if (!open_) return false;
  open_ = false;
  return files_.closeFile(number_);
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

bool InputFile::nextField(std::string& field) {
  if (!open_ || files_.atEnd(number_)) {
    field.clear();
    return false;
  }
  files_.readField(number_, field);
  return true;
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
    : OutputFile(platform, tempName, number), target_(target), temp_(tempName) {}

FileReplacement::~FileReplacement() {
  if (done_) return;
  closeNow();
  if (openError_ != file_error::kNumberInUse) files_.deleteFile(temp_);
}

bool FileReplacement::commit() {
  if (done_) return false;
  // replaceFile makes the new version durable before it takes the old one's place.
  if (!closeNow() || !files_.replaceFile(temp_, target_)) {
    files_.deleteFile(temp_);
    done_ = true;
    return false;
  }
  done_ = true;
  return true;
}

bool replaceLinesIfChanged(Platform& platform, std::string_view target, std::string_view tempName,
                           const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  if (platform.files().contents(target) == text) return true;
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

bool BinaryFile::write(std::int64_t position, std::string_view bytes) {
  if (!open_) return false;
  files_.writeBytes(number_, position, bytes);
  return files_.lastError() == file_error::kNone;
}

bool BinaryFile::flush() { return open_ && files_.flushFile(number_); }

bool BinaryFile::writable() { return open_ && files_.isWritable(number_); }

}  // namespace almanouk
