// A sync against a server in memory, at the edges real servers seldom show:
// an event gone between the listing and the fetch, one the server leaves out
// of its answer, an href taken by another event.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

#include "calendar/CalendarFile.h"
#include "calendar/CalendarModel.h"
#include "sync/CalendarSync.h"
#include "sync/DavXml.h"

using namespace almanouk;

namespace {

const SyncClock kClock{{2026, 12, 8, 10, 0, 0, 0}, "Europe/Amsterdam"};

std::string event(const std::string& uid, const std::string& date, const std::string& summary) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:test\r\nBEGIN:VEVENT\r\nUID:" + uid +
         "\r\nDTSTAMP:20261201T080000Z\r\nDTSTART;VALUE=DATE:" + date + "\r\nSUMMARY:" + summary +
         "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

// Events by href; every listing is complete; a fetch can lose or remove events on the way.
class MemoryServer final : public HttpClient {
 public:
  std::map<std::string, std::pair<std::string, std::string>> events;  // href: etag, text
  std::set<std::string> goneWhenFetched;
  std::set<std::string> leftOutOfFetch;
  std::map<std::string, std::string> madeJustBeforePut;  // href: another client's event, made there meanwhile

  HttpResult send(const HttpRequest& request, const HttpLogin*) override {
    const std::string href = request.url.substr(request.url.find("/cal/"));
    if (request.method == "REPORT" && request.body.find("sync-collection") != std::string::npos) {
      std::string body = "<multistatus xmlns=\"DAV:\">";
      for (const auto& [path, version] : events)
        body += "<response><href>" + path + "</href><propstat><prop><getetag>" + version.first +
                "</getetag></prop><status>HTTP/1.1 200 OK</status></propstat></response>";
      return answer(207, body + "<sync-token>t" + std::to_string(++token_) + "</sync-token></multistatus>");
    }
    if (request.method == "REPORT") return multiget(request.body);
    if (request.method == "PUT") {
      const bool create = request.headers.back().first == "If-None-Match";
      if (auto made = madeJustBeforePut.find(href); made != madeJustBeforePut.end())
        events[href] = {"\"other\"", std::exchange(made->second, {})}, madeJustBeforePut.erase(made);
      if (create == events.contains(href)) return answer(412, "");
      events[href] = {"\"" + std::to_string(++version_) + "\"", request.body};
      HttpResult stored = answer(201, "");
      std::get<HttpResponse>(stored).headers.emplace_back("etag", events[href].first);
      return stored;
    }
    if (request.method == "DELETE") return events.erase(href) ? answer(204, "") : answer(404, "");
    return answer(404, "");
  }

 private:
  HttpResult multiget(const std::string& body) {
    std::string out = "<multistatus xmlns=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\">";
    for (std::size_t at = 0; (at = body.find("<d:href>", at)) != std::string::npos;) {
      const std::size_t end = body.find("</d:href>", at);
      const std::string href = body.substr(at + 8, end - at - 8);
      at = end;
      if (leftOutOfFetch.contains(href)) continue;
      if (goneWhenFetched.contains(href) || !events.contains(href)) {
        events.erase(href);
        out += "<response><href>" + href + "</href><status>HTTP/1.1 404 Not Found</status></response>";
        continue;
      }
      out += "<response><href>" + href + "</href><propstat><prop><getetag>" + events[href].first +
             "</getetag><C:calendar-data>" + events[href].second +
             "</C:calendar-data></prop><status>HTTP/1.1 200 OK</status></propstat></response>";
    }
    return answer(207, out + "</multistatus>");
  }

  static HttpResult answer(int status, std::string body) {
    HttpResponse response;
    response.status = status;
    response.statusLine = std::to_string(status);
    response.body = std::move(body);
    return response;
  }

  int token_ = 0;
  int version_ = 0;
};

std::string calendarWith(const std::string& decemberLines) {
  std::string text = "Thuis\r\n0\r\n7\r\n\r\n";
  for (int section = 0; section < kSections; ++section) {
    text += std::string(sectionHeader(section)) + "\r\n\r\n";
    if (section == kSections - 1) text += decemberLines;
    text += "\r\n";
  }
  return text + "Einde\r\n";
}

std::vector<std::string> decemberOf(const std::string& calendar) {
  std::vector<std::string> lines;
  const CalendarModel model(calendar);
  for (const Entry& entry : model.entries(Section::December)) lines.emplace_back(entry.line);
  return lines;
}

std::string textOf(const std::vector<std::string>& lines) {
  std::vector<std::string_view> views(lines.begin(), lines.end());
  return withLineEnds(views);
}

SyncState linked() {
  SyncState state;
  state.link.url = "http://server/cal/";
  return state;
}

struct Synced {
  std::string calendar;
  SyncState state;
};

Synced sync(MemoryServer& server, const Synced& before) {
  SyncResult result = syncInMemory("THUIS000.AMN", before.calendar, before.state, server, std::nullopt, kClock);
  EXPECT_TRUE(result.report.errors.empty()) << result.report.errors.front();
  return {result.calendarLines ? textOf(*result.calendarLines) : before.calendar, result.state};
}

// The server's two events, taken in by a first sync.
struct Fixture {
  MemoryServer server;
  Synced synced;
  Fixture() {
    server.events["/cal/a.ics"] = {"\"1\"", event("a", "20261220", "Kerstmarkt")};
    server.events["/cal/b.ics"] = {"\"1\"", event("b", "20261224", "Kerstavond")};
    synced = sync(server, {calendarWith(""), linked()});
    EXPECT_EQ(decemberOf(synced.calendar), (std::vector<std::string>{"20 2026 Kerstmarkt", "24 2026 Kerstavond"}));
  }
  void changeA() { server.events["/cal/a.ics"] = {"\"2\"", event("a", "20261220", "Kerstmarkt Gouda")}; }
};

}  // namespace

TEST(CalendarSync, AnEventGoneBetweenTheListingAndTheFetchIsDeletedHere) {
  Fixture f;
  f.changeA();
  f.server.goneWhenFetched.insert("/cal/a.ics");
  EXPECT_EQ(decemberOf(sync(f.server, f.synced).calendar), (std::vector<std::string>{"24 2026 Kerstavond"}));
}

TEST(CalendarSync, AnEventLeftOutOfTheAnswerIsKeptAndAskedForAgain) {
  Fixture f;
  f.changeA();
  f.server.leftOutOfFetch.insert("/cal/a.ics");
  const Synced once = sync(f.server, f.synced);
  EXPECT_EQ(decemberOf(once.calendar), decemberOf(f.synced.calendar));
  EXPECT_EQ(once.state.token, f.synced.state.token);  // not past what was not read
  f.server.leftOutOfFetch.clear();
  EXPECT_EQ(decemberOf(sync(f.server, once).calendar),
            (std::vector<std::string>{"20 2026 Kerstmarkt Gouda", "24 2026 Kerstavond"}));
}

TEST(CalendarSync, ANewLineWhoseHrefAnotherClientTookMeanwhileGoesElsewhere) {
  Fixture f;
  Synced added = f.synced;
  added.calendar = calendarWith("20 2026 Kerstmarkt\r\n22 2026 Kaarsen kopen\r\n24 2026 Kerstavond\r\n");
  MemoryServer probe = f.server;
  const Synced probed = sync(probe, added);
  std::string taken;
  for (const SyncRecord& record : probed.state.records)
    if (record.href.find("almanouk-") != std::string::npos) taken = record.href;
  ASSERT_FALSE(taken.empty());
  f.server.madeJustBeforePut[taken] = event("someone-else", "20261228", "Oliebollen");
  const Synced after = sync(f.server, added);
  EXPECT_EQ(f.server.events[taken].second, event("someone-else", "20261228", "Oliebollen"));
  EXPECT_TRUE(f.server.events.contains(taken.substr(0, taken.size() - 4) + "-1.ics"));
  EXPECT_EQ(decemberOf(after.calendar).size(), 3u);  // the other event comes at the next sync
  EXPECT_EQ(decemberOf(sync(f.server, after).calendar).size(), 4u);
}
