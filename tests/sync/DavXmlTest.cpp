// A server's multi-status answers as the sync reads them.

#include <gtest/gtest.h>

#include "sync/DavXml.h"

using namespace almanouk;

TEST(DavXml, ReadsChangesDeletionsAndTheToken) {
  const char* answer = R"(<?xml version="1.0"?>
<multistatus xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav">
  <response><href>/u/cal/</href><propstat><prop><resourcetype><collection/><C:calendar/></resourcetype></prop>
    <status>HTTP/1.1 200 OK</status></propstat></response>
  <response>
    <href> /u/cal/a.ics </href>
    <propstat><prop><getetag>"e1"</getetag></prop><status>HTTP/1.1 200 OK</status></propstat>
    <propstat><prop><C:calendar-data/></prop><status>HTTP/1.1 404 Not Found</status></propstat>
  </response>
  <response><href>/u/cal/gone.ics</href><status>HTTP/1.1 404 Not Found</status></response>
  <response><href>/u/cal/b.ics</href><propstat><prop><getetag>"e2"</getetag>
    <C:calendar-data>BEGIN:VCALENDAR&#13;
END:VCALENDAR&#13;
</C:calendar-data></prop><status>HTTP/1.1 200 OK</status></propstat></response>
  <response><href>/u/cal/x.ics</href><propstat><prop><getetag/></prop><status>HTTP/1.1 403 Forbidden</status></propstat></response>
  <sync-token>http://server/sync/7</sync-token>
</multistatus>)";
  const std::optional<dav::MultiStatus> read = dav::parseMultiStatus(answer);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->syncToken, "http://server/sync/7");
  ASSERT_EQ(read->responses.size(), 5u);
  EXPECT_TRUE(read->responses[0].isCalendar);
  EXPECT_EQ(read->responses[1].href, "/u/cal/a.ics");
  EXPECT_EQ(read->responses[1].etag, "\"e1\"");
  EXPECT_EQ(read->responses[1].status, 200);
  EXPECT_EQ(read->responses[2].status, 404);
  EXPECT_EQ(read->responses[3].calendarData, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
  EXPECT_EQ(read->responses[4].status, 403);
}

TEST(DavXml, ReadsTheWayToTheCalendars) {
  const char* answer = R"(<d:multistatus xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:response>
    <d:href>/a&amp;b/</d:href><d:propstat><d:prop>
      <d:current-user-principal><d:href>/principals/anna/</d:href></d:current-user-principal>
      <c:calendar-home-set><d:href>/cal/anna/</d:href></c:calendar-home-set>
    </d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response></d:multistatus>)";
  const std::optional<dav::MultiStatus> read = dav::parseMultiStatus(answer);
  ASSERT_TRUE(read);
  ASSERT_EQ(read->responses.size(), 1u);
  EXPECT_EQ(read->responses[0].href, "/a&b/");
  EXPECT_EQ(read->responses[0].principal, "/principals/anna/");
  EXPECT_EQ(read->responses[0].calendarHome, "/cal/anna/");
}

TEST(DavXml, WhatIsNoMultiStatusIsRefused) {
  const char* rows[] = {
      "",
      "<html><body>Bad gateway</body></html>",
      "<multistatus xmlns=\"DAV:\"><response><href>/a</href>",  // cut short
      "<multistatus><response/></multistatus>",                 // not in DAV's name space
      "\x01\x02\x03 binary",
  };
  for (const char* row : rows) EXPECT_FALSE(dav::parseMultiStatus(row)) << row;
}

TEST(DavXml, AnEntityFromAFileIsNeverRead) {
  const std::optional<dav::MultiStatus> read = dav::parseMultiStatus(
      "<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
      "<multistatus xmlns=\"DAV:\"><response><href>&x;</href></response></multistatus>");
  ASSERT_TRUE(read);
  ASSERT_EQ(read->responses.size(), 1u);
  EXPECT_EQ(read->responses[0].href.find("root"), std::string::npos);
}

TEST(DavXml, StatusLines) {
  const std::pair<const char*, int> rows[] = {
      {"HTTP/1.1 200 OK", 200}, {"HTTP/1.1 404 Not Found", 404}, {"HTTP/2 507", 507},
      {"HTTP/1.1 20", 0},      {"garbage", 0},                   {"HTTP/1.1 2x0 OK", 0},
  };
  for (const auto& [line, status] : rows) EXPECT_EQ(dav::statusOf(line), status) << line;
}
