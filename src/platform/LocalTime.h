#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace almanouk {

// A local calendar date and time of day, without time zone.
struct LocalDateTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, millisecond = 0;

  // Milliseconds since 1970-01-01 00:00:00 of the same (zone-less) clock.
  std::int64_t toMilliseconds() const;
  static LocalDateTime fromMilliseconds(std::int64_t ms);
  // "YYYY-MM-DD HH:MM:SS"; nothing for anything else.
  static std::optional<LocalDateTime> parse(std::string_view text);

  std::string clockText() const;      // hh:mm:ss
  std::string dateText() const;       // mm-dd-yyyy, month first
  std::string logStamp() const;       // YYYY-MM-DD HH:MM:SS.mmm
};

}  // namespace almanouk
