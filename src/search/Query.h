#pragma once
// A word or phrase looked for the way a reader would: without regard to case
// or accents ("cafe" finds "Café" and "CAFÉ", "coordinatie" "coördinatie"),
// and a blank between two words finds any run of blanks between them (a
// diary page pads its lines with blanks).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace almanouk {

class Query {
 public:
  // The text as typed, in code page 437; blanks at its ends do not count.
  explicit Query(std::string_view text);

  bool empty() const { return folded_.empty(); }
  const std::string& text() const { return text_; }

  struct Match {
    std::size_t start = 0;
    std::size_t length = 0;
  };
  // The first match in the text from position from on.
  std::optional<Match> find(std::string_view text, std::size_t from = 0) const;

 private:
  std::string text_;
  std::string folded_;  // lower case, accents off, one blank between words
};

// A code page 437 character as the search compares it: lower case, without its accent.
char foldForSearch(char c);

}  // namespace almanouk
