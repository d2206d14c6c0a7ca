#include "sync/SyncState.h"

#include "platform/NumberedFiles.h"
#include "platform/Platform.h"
#include "platform/TemporaryFiles.h"

namespace almanouk {
namespace {

constexpr std::string_view kFirstLine = "Almanouk synchronisatie 1";

// A field on one line: the tab, the line end and the backslash escaped.
std::string escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::string unescaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    switch (text[++i]) {
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: out += text[i]; break;
    }
  }
  return out;
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  return fields;
}

void add(std::string& out, std::string_view key, std::initializer_list<std::string_view> values) {
  out += key;
  for (std::string_view value : values) {
    out += '\t';
    out += escaped(value);
  }
  out += '\n';
}

}  // namespace

std::string writeSyncState(const SyncState& state) {
  std::string out(kFirstLine);
  out += '\n';
  add(out, "adres", {state.link.url});
  add(out, "gebruiker", {state.link.user});
  add(out, "wachtwoordopdracht", {state.link.passwordCommand});
  add(out, "token", {state.token});
  for (const SyncRecord& record : state.records) {
    add(out, "afspraak", {record.href, record.etag, record.uid, record.exact ? "precies" : "reeks"});
    for (std::size_t i = 0; i < record.lines.size(); ++i)
      add(out, "regel", {std::to_string(static_cast<int>(record.lines[i].section)), record.lines[i].text,
                         i < record.places.size() ? std::to_string(record.places[i]) : std::string()});
    add(out, "ics", {record.event});
  }
  add(out, "einde", {});
  return out;
}

std::optional<SyncState> readSyncState(std::string_view text) {
  SyncState state;
  bool first = true;
  bool ended = false;
  std::size_t start = 0;
  while (start < text.size() && !ended) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (first) {
      if (line != kFirstLine) return std::nullopt;
      first = false;
      continue;
    }
    const std::vector<std::string_view> fields = fieldsOf(line);
    const std::string_view key = fields[0];
    auto field = [&fields](std::size_t index) {
      return index < fields.size() ? unescaped(fields[index]) : std::string();
    };
    if (key == "adres") state.link.url = field(1);
    else if (key == "gebruiker") state.link.user = field(1);
    else if (key == "wachtwoordopdracht") state.link.passwordCommand = field(1);
    else if (key == "token") state.token = field(1);
    else if (key == "afspraak") state.records.push_back({field(1), field(2), field(3), field(4) != "reeks", {}, {}, {}});
    else if (key == "regel" || key == "ics") {
      if (state.records.empty()) return std::nullopt;
      SyncRecord& record = state.records.back();
      if (key == "ics") {
        record.event = field(1);
        continue;
      }
      const std::string section = field(1);
      if (section.size() != 1 && section.size() != 2) return std::nullopt;
      int number = 0;
      for (char c : section) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
      }
      if (number >= kSections) return std::nullopt;
      record.lines.push_back({static_cast<Section>(number), field(2)});
      const std::string place = field(3);
      if (!place.empty() && place.size() < 10 && place.find_first_not_of("0123456789") == std::string::npos)
        record.places.push_back(std::stoul(place));
    } else if (key == "einde") ended = true;
    else return std::nullopt;
  }
  // Places are all there or not used.
  for (SyncRecord& record : state.records)
    if (record.places.size() != record.lines.size()) record.places.clear();
  // A state cut short is not used: it could make entries look deleted.
  if (!ended || state.link.url.empty()) return std::nullopt;
  return state;
}

std::optional<SyncState> readSyncStateOf(Platform& platform, std::string_view calendarFile) {
  std::optional<std::string> text = platform.files().contents(syncStateName(calendarFile));
  return text ? readSyncState(*text) : std::nullopt;
}

FileResult writeSyncStateOf(Platform& platform, std::string_view calendarFile, const SyncState& state) {
  const std::string name = syncStateName(calendarFile);
  const std::string text = writeSyncState(state);
  if (platform.files().contents(name) == text) return {};
  FileReplacement file(platform, name, temporary::kSyncState, 2);
  file.text(text);
  return file.commit();
}

}  // namespace almanouk
