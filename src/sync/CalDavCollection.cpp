#include "sync/CalDavCollection.h"

#include "sync/DavXml.h"

namespace almanouk {
namespace {

constexpr std::size_t kFetchedAtOnce = 100;

DavFailure refusal(const HttpResponse& response, const std::string& what) {
  std::string why;
  switch (response.status) {
    case 401: why = "aanmelding geweigerd, controleer naam en wachtwoord"; break;
    case 403: why = "geen toegang"; break;
    case 404: why = "niet gevonden"; break;
    case 507: why = "de server heeft geen ruimte meer"; break;
    default: why = "de server weigerde"; break;
  }
  return {what + ": " + why + " (" + response.statusLine + ")", response.status};
}

DavFailure unreadable(const std::string& what) { return {what + ": onleesbaar antwoord van de server", 0}; }

bool succeeded(const HttpResponse& response) { return response.status >= 200 && response.status < 300; }

std::string withSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

// An href as an address: the server's hrefs are paths on the same origin.
std::string addressOf(const std::string& base, const std::string& href) {
  if (href.starts_with("http://") || href.starts_with("https://")) return href;
  return originOf(base) + href;
}

DavResult<HttpResponse> propfind(HttpClient& http, const std::string& url, const char* depth, std::string body,
                                 const HttpLogin* login, const std::string& what) {
  HttpRequest request{"PROPFIND", url, {{"Depth", depth}, {"Content-Type", "application/xml; charset=utf-8"}},
                      std::move(body)};
  HttpResult result = http.send(request, login);
  if (std::string* why = std::get_if<std::string>(&result)) return DavFailure{what + ": " + *why, 0};
  HttpResponse& response = std::get<HttpResponse>(result);
  if (response.status != 207) return refusal(response, what);
  return std::move(response);
}

DavResult<dav::MultiStatus> propfindAnswer(HttpClient& http, const std::string& url, const char* depth,
                                           std::string body, const HttpLogin* login, const std::string& what) {
  DavResult<HttpResponse> answer = propfind(http, url, depth, std::move(body), login, what);
  if (DavFailure* failure = std::get_if<DavFailure>(&answer)) return *failure;
  std::optional<dav::MultiStatus> parsed = dav::parseMultiStatus(std::get<HttpResponse>(answer).body);
  if (!parsed) return unreadable(what);
  return std::move(*parsed);
}

std::optional<dav::Response> firstCalendar(const dav::MultiStatus& answer) {
  for (const dav::Response& response : answer.responses)
    if (response.isCalendar && response.status < 300) return response;
  return std::nullopt;
}

}  // namespace

std::string originOf(const std::string& url) {
  const std::size_t scheme = url.find("://");
  if (scheme == std::string::npos) return {};
  const std::size_t path = url.find('/', scheme + 3);
  return url.substr(0, path);
}

std::string pathOf(const std::string& url) {
  const std::size_t scheme = url.find("://");
  const std::size_t path = url.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  return path == std::string::npos ? std::string("/") : url.substr(path);
}

CalDavCollection::CalDavCollection(HttpClient& http, std::string url, std::optional<HttpLogin> login)
    : http_(http), url_(withSlash(std::move(url))), login_(std::move(login)) {}

DavResult<std::string> CalDavCollection::discover(HttpClient& http, const std::string& address,
                                                  const HttpLogin* login) {
  const std::string where = "Zoeken naar de agenda op " + address;
  auto here = propfindAnswer(http, address, "0", dav::collectionQuery(), login, where);
  if (auto* answer = std::get_if<dav::MultiStatus>(&here)) {
    if (firstCalendar(*answer)) return withSlash(address);
  } else if (const DavFailure& failure = std::get<DavFailure>(here); failure.status == 401 || failure.status == 0) {
    // Refused a login, or no answer at all (no connection, a certificate not
    // to be trusted, a password not to be sent): the same server's other addresses would not do better.
    return failure;
  }
  std::string principal;
  for (const std::string& url : {address, originOf(address) + "/.well-known/caldav"}) {
    auto answer = propfindAnswer(http, url, "0", dav::principalQuery(), login, where);
    if (auto* found = std::get_if<dav::MultiStatus>(&answer)) {
      for (const dav::Response& response : found->responses)
        if (!response.principal.empty()) principal = addressOf(address, response.principal);
    }
    if (!principal.empty()) break;
  }
  if (principal.empty()) return DavFailure{where + ": geen CalDAV-agenda gevonden", 0};
  auto homeAnswer = propfindAnswer(http, principal, "0", dav::calendarHomeQuery(), login, where);
  if (auto* failure = std::get_if<DavFailure>(&homeAnswer)) return *failure;
  std::string home;
  for (const dav::Response& response : std::get<dav::MultiStatus>(homeAnswer).responses)
    if (!response.calendarHome.empty()) home = addressOf(principal, response.calendarHome);
  if (home.empty()) return DavFailure{where + ": de server noemt geen agenda's van deze gebruiker", 0};
  auto calendars = propfindAnswer(http, home, "1", dav::collectionQuery(), login, where);
  if (auto* failure = std::get_if<DavFailure>(&calendars)) return *failure;
  std::optional<dav::Response> calendar = firstCalendar(std::get<dav::MultiStatus>(calendars));
  if (!calendar) return DavFailure{where + ": deze gebruiker heeft nog geen agenda op de server", 0};
  return withSlash(addressOf(home, calendar->href));
}

DavResult<HttpResponse> CalDavCollection::send(const std::string& method, const std::string& href, HttpHeaders headers,
                                               std::string body) {
  HttpRequest request{method, addressOf(url_, href), std::move(headers), std::move(body)};
  HttpResult result = http_.send(request, login_ ? &*login_ : nullptr);
  if (std::string* why = std::get_if<std::string>(&result)) return DavFailure{*why, 0};
  return std::move(std::get<HttpResponse>(result));
}

DavResult<Listing> CalDavCollection::changesSince(const std::string& token) {
  const std::string what = "Wijzigingen op de server";
  auto sent = send("REPORT", pathOf(url_), {{"Depth", "0"}, {"Content-Type", "application/xml; charset=utf-8"}},
                   dav::syncCollection(token));
  if (auto* failure = std::get_if<DavFailure>(&sent)) return *failure;
  const HttpResponse& response = std::get<HttpResponse>(sent);
  if (response.status != 207) {
    if (response.status == 401 || response.status == 404 || response.status == 507) return refusal(response, what);
    // A token the server forgot, or no sync reports at all: every event's etag then.
    if (!token.empty() && response.body.find("valid-sync-token") != std::string::npos) return changesSince("");
    return completeListing();
  }
  std::optional<dav::MultiStatus> answer = dav::parseMultiStatus(response.body);
  if (!answer) return unreadable(what);
  Listing listing;
  listing.token = answer->syncToken;
  listing.complete = token.empty();
  const std::string self = pathOf(url_);
  for (const dav::Response& item : answer->responses) {
    if (item.href.empty() || withSlash(item.href) == self) continue;
    if (item.status == 404 || item.status == 410) listing.removed.push_back(item.href);
    else if (item.status < 300) listing.present.push_back({item.href, item.etag});
  }
  return listing;
}

DavResult<Listing> CalDavCollection::completeListing() {
  auto answer = propfindAnswer(http_, url_, "1", dav::collectionQuery(), login_ ? &*login_ : nullptr,
                               "Afspraken op de server");
  if (auto* failure = std::get_if<DavFailure>(&answer)) return *failure;
  Listing listing;
  listing.complete = true;
  const std::string self = pathOf(url_);
  for (const dav::Response& item : std::get<dav::MultiStatus>(answer).responses)
    if (!item.href.empty() && withSlash(pathOf(addressOf(url_, item.href))) != self && !item.isCalendar &&
        item.status < 300)
      listing.present.push_back({pathOf(addressOf(url_, item.href)), item.etag});
  return listing;
}

DavResult<std::vector<RemoteEvent>> CalDavCollection::fetch(const std::vector<std::string>& hrefs) {
  std::vector<RemoteEvent> events;
  for (std::size_t first = 0; first < hrefs.size(); first += kFetchedAtOnce) {
    const std::vector<std::string> batch(hrefs.begin() + static_cast<std::ptrdiff_t>(first),
                                         hrefs.begin() + static_cast<std::ptrdiff_t>(std::min(hrefs.size(), first + kFetchedAtOnce)));
    auto sent = send("REPORT", pathOf(url_), {{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}},
                     dav::multiGet(batch));
    if (auto* failure = std::get_if<DavFailure>(&sent)) return *failure;
    const HttpResponse& response = std::get<HttpResponse>(sent);
    if (response.status != 207) return refusal(response, "Afspraken ophalen");
    std::optional<dav::MultiStatus> answer = dav::parseMultiStatus(response.body);
    if (!answer) return unreadable("Afspraken ophalen");
    for (dav::Response& item : answer->responses) {
      const bool gone = item.status == 404 || item.status == 410;
      if (gone || (item.status < 300 && !item.calendarData.empty()))
        events.push_back({pathOf(addressOf(url_, item.href)), gone ? std::string() : std::move(item.etag),
                          gone ? std::string() : std::move(item.calendarData)});
    }
  }
  return events;
}

DavResult<StoreOutcome> CalDavCollection::store(const std::string& href, const std::string& ics,
                                                const std::string& etag) {
  HttpHeaders headers{{"Content-Type", "text/calendar; charset=utf-8"}};
  if (etag.empty()) headers.emplace_back("If-None-Match", "*");
  else headers.emplace_back("If-Match", etag);
  auto sent = send("PUT", href, std::move(headers), ics);
  if (auto* failure = std::get_if<DavFailure>(&sent)) return *failure;
  const HttpResponse& response = std::get<HttpResponse>(sent);
  if (response.status == 412) return StoreOutcome{Stored::Stale, {}};
  if (!succeeded(response)) return refusal(response, "Afspraak versturen");
  return StoreOutcome{Stored::Done, response.header("etag")};
}

DavResult<Stored> CalDavCollection::remove(const std::string& href, const std::string& etag) {
  HttpHeaders headers;
  if (!etag.empty()) headers.emplace_back("If-Match", etag);
  auto sent = send("DELETE", href, std::move(headers), {});
  if (auto* failure = std::get_if<DavFailure>(&sent)) return *failure;
  const HttpResponse& response = std::get<HttpResponse>(sent);
  if (response.status == 412) return Stored::Stale;
  if (succeeded(response) || response.status == 404 || response.status == 410) return Stored::Done;
  return refusal(response, "Afspraak verwijderen");
}

std::string CalDavCollection::hrefFor(const std::string& name) const { return pathOf(url_) + name + ".ics"; }

}  // namespace almanouk
