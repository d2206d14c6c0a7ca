#include "search/Query.h"

#include <array>

#include "platform/Text.h"

namespace almanouk {
namespace {

// Without regard to case or accents; an unwritten byte of a page reads as a blank.
std::array<char, 256> foldTable() {
  std::array<char, 256> table{};
  for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = c == 0 ? ' ' : plainLower(static_cast<char>(c));
  return table;
}

const std::array<char, 256> kFold = foldTable();

}  // namespace

char foldForSearch(char c) { return kFold[static_cast<unsigned char>(c)]; }

Query::Query(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  std::size_t last = text.find_last_not_of(' ');
  if (first == std::string_view::npos) return;
  text_ = std::string(text.substr(first, last - first + 1));
  for (char c : text_) {
    char folded = foldForSearch(c);
    if (folded == ' ' && !folded_.empty() && folded_.back() == ' ') continue;
    folded_ += folded;
  }
}

std::optional<Query::Match> Query::find(std::string_view text, std::size_t from) const {
  if (folded_.empty()) return std::nullopt;
  const char first = folded_[0];
  for (std::size_t start = from; start < text.size(); ++start) {
    if (kFold[static_cast<unsigned char>(text[start])] != first) continue;
    std::size_t at = start;
    bool same = true;
    for (std::size_t q = 0; q < folded_.size() && same; ++q) {
      if (folded_[q] == ' ') {
        // One blank in the query: one or more in the text.
        same = at < text.size() && foldForSearch(text[at]) == ' ';
        while (at < text.size() && foldForSearch(text[at]) == ' ') ++at;
      } else {
        same = at < text.size() && kFold[static_cast<unsigned char>(text[at])] == folded_[q];
        ++at;
      }
    }
    if (same) return Match{start, at - start};
  }
  return std::nullopt;
}

}  // namespace almanouk
