#pragma once
// A calendar collection on a CalDAV server: found from a server's address,
// its changes since a sync token (or all its events' etags), events fetched
// many at a time, stored only if unchanged (If-Match) or new (If-None-Match),
// removed only if unchanged.

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Http.h"

namespace almanouk {

// What went wrong, in Dutch, with the server's status line where it gave one.
struct DavFailure {
  std::string message;
  int status = 0;
};

template <typename T>
using DavResult = std::variant<T, DavFailure>;

struct RemoteItem {
  std::string href;
  std::string etag;
};

struct Listing {
  std::vector<RemoteItem> present;   // new or changed since the token; every event when complete
  std::vector<std::string> removed;  // gone since the token
  std::string token;                 // for the next time; empty when the server keeps none
  bool complete = false;
};

struct RemoteEvent {
  std::string href;
  std::string etag;
  std::string ics;
};

enum class Stored { Done, Stale };  // Stale: someone changed or made it meanwhile

struct StoreOutcome {
  Stored outcome = Stored::Done;
  std::string etag;  // empty when the server did not say
};

// The scheme, host and port of an address ("https://host:8443").
std::string originOf(const std::string& url);
// The path of an address, from its first "/" after the host.
std::string pathOf(const std::string& url);

class CalDavCollection {
 public:
  CalDavCollection(HttpClient& http, std::string url, std::optional<HttpLogin> login);

  // The address of the calendar collection: the address itself when it is
  // one, else the first calendar of the user found through the server's
  // well-known address, the user's principal and calendar home.
  static DavResult<std::string> discover(HttpClient& http, const std::string& address, const HttpLogin* login);

  const std::string& url() const { return url_; }
  // Changes since the token; with no token, or one the server no longer knows, a complete listing.
  DavResult<Listing> changesSince(const std::string& token);
  // The events; one the server says is gone comes without its text.
  DavResult<std::vector<RemoteEvent>> fetch(const std::vector<std::string>& hrefs);
  // Stores the event: over the version with that etag, or as new when the etag is empty.
  DavResult<StoreOutcome> store(const std::string& href, const std::string& ics, const std::string& etag);
  // Removes it if it is still that version; gone already counts as done.
  DavResult<Stored> remove(const std::string& href, const std::string& etag);
  // Where a new event with the identity goes.
  std::string hrefFor(const std::string& name) const;

 private:
  DavResult<HttpResponse> send(const std::string& method, const std::string& href, HttpHeaders headers,
                               std::string body);
  DavResult<Listing> completeListing();

  HttpClient& http_;
  std::string url_;
  std::optional<HttpLogin> login_;
};

}  // namespace almanouk
