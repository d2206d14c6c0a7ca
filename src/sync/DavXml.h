#pragma once
// The WebDAV and CalDAV XML a calendar server is asked and answers
// (RFC 4918, 4791, 6578): requests as text, multi-status answers read with
// libxml2. A server's XML never loads anything from elsewhere.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace almanouk::dav {

// One <response> of a multi-status answer.
struct Response {
  std::string href;
  int status = 200;  // the response's own status, else that of its found properties
  std::string etag;
  std::string calendarData;
  std::string principal;     // current-user-principal
  std::string calendarHome;  // calendar-home-set
  bool isCalendar = false;
};

struct MultiStatus {
  std::vector<Response> responses;
  std::string syncToken;
};

// Nothing when the text is not a multi-status answer.
std::optional<MultiStatus> parseMultiStatus(std::string_view xml);

// The number in an HTTP status line ("HTTP/1.1 404 Not Found"); 0 for none.
int statusOf(std::string_view line);

// Request bodies.
std::string principalQuery();
std::string calendarHomeQuery();
std::string collectionQuery();  // resource types and etags
std::string syncCollection(std::string_view token);
std::string multiGet(const std::vector<std::string>& hrefs);

}  // namespace almanouk::dav
