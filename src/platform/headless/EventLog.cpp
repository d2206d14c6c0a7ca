#include "platform/headless/EventLog.h"

namespace almanouk {

namespace {
constexpr std::size_t kStampLength = sizeof("YYYY-MM-DD HH:MM:SS.mmm ") - 1;
}

std::vector<std::string> EventLog::events() const {
  std::vector<std::string> out;
  out.reserve(lines_.size());
  for (const auto& line : lines_) out.push_back(line.substr(kStampLength));
  return out;
}

std::string EventLog::text() const {
  std::string out;
  for (const auto& line : lines_) out += line + "\n";
  return out;
}

}  // namespace almanouk
