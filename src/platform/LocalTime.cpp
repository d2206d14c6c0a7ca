#include "platform/LocalTime.h"

#include <cstdio>

namespace almanouk {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t daysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

constexpr std::int64_t kMsPerDay = 86'400'000;

}  // namespace

std::int64_t LocalDateTime::toMilliseconds() const {
  return daysFromCivil(year, month, day) * kMsPerDay + ((hour * 60 + minute) * 60 + second) * 1000LL + millisecond;
}

LocalDateTime LocalDateTime::fromMilliseconds(std::int64_t ms) {
  std::int64_t days = ms >= 0 ? ms / kMsPerDay : (ms - kMsPerDay + 1) / kMsPerDay;
  std::int64_t rest = ms - days * kMsPerDay;
  LocalDateTime t;
  civilFromDays(days, t.year, t.month, t.day);
  t.millisecond = static_cast<int>(rest % 1000);
  rest /= 1000;
  t.second = static_cast<int>(rest % 60);
  rest /= 60;
  t.minute = static_cast<int>(rest % 60);
  t.hour = static_cast<int>(rest / 60);
  return t;
}

std::optional<LocalDateTime> LocalDateTime::parse(std::string_view text) {
  LocalDateTime t;
  char tail = 0;
  std::string copy(text);
  if (std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                  &t.second, &tail) != 6)
    return std::nullopt;
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.hour > 23 || t.minute > 59 || t.second > 59 || t.hour < 0 ||
      t.minute < 0 || t.second < 0)
    return std::nullopt;
  // Reject days past the month's end by a round trip.
  LocalDateTime back = fromMilliseconds(t.toMilliseconds());
  if (back.day != t.day) return std::nullopt;
  return t;
}

std::string LocalDateTime::clockText() const {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", hour, minute, second);
  return buf;
}

std::string LocalDateTime::dateText() const {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", month, day, year);
  return buf;
}

std::string LocalDateTime::logStamp() const {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", year, month, day, hour, minute, second,
                millisecond);
  return buf;
}

}  // namespace almanouk
