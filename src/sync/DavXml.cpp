#include "sync/DavXml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <memory>

namespace almanouk::dav {
namespace {

constexpr const char* kDav = "DAV:";
constexpr const char* kCalDav = "urn:ietf:params:xml:ns:caldav";

struct DocumentFree {
  void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

bool is(const xmlNode* node, const char* space, const char* name) {
  return node && node->type == XML_ELEMENT_NODE && node->ns && node->ns->href &&
         std::strcmp(reinterpret_cast<const char*>(node->ns->href), space) == 0 &&
         std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

template <typename Visit>
void forChildren(const xmlNode* node, Visit visit) {
  for (const xmlNode* child = node ? node->children : nullptr; child; child = child->next)
    if (child->type == XML_ELEMENT_NODE) visit(child);
}

const xmlNode* child(const xmlNode* node, const char* space, const char* name) {
  for (const xmlNode* found = node ? node->children : nullptr; found; found = found->next)
    if (is(found, space, name)) return found;
  return nullptr;
}

std::string textOf(const xmlNode* node) {
  if (!node) return {};
  xmlChar* text = xmlNodeGetContent(node);
  std::string result = text ? reinterpret_cast<const char*>(text) : "";
  xmlFree(text);
  // An href or etag has no blanks around it; a server's indentation is not part of it.
  const std::size_t first = result.find_first_not_of(" \t\r\n");
  const std::size_t last = result.find_last_not_of(" \t\r\n");
  return first == std::string::npos ? std::string() : result.substr(first, last - first + 1);
}

std::string hrefIn(const xmlNode* node) { return textOf(child(node, kDav, "href")); }

void readProperties(const xmlNode* prop, Response& response) {
  forChildren(prop, [&response](const xmlNode* property) {
    if (is(property, kDav, "getetag")) response.etag = textOf(property);
    else if (is(property, kCalDav, "calendar-data")) {
      xmlChar* text = xmlNodeGetContent(property);
      response.calendarData = text ? reinterpret_cast<const char*>(text) : "";
      xmlFree(text);
    } else if (is(property, kDav, "current-user-principal")) response.principal = hrefIn(property);
    else if (is(property, kCalDav, "calendar-home-set")) response.calendarHome = hrefIn(property);
    else if (is(property, kDav, "resourcetype")) response.isCalendar = child(property, kCalDav, "calendar") != nullptr;
  });
}

Response readResponse(const xmlNode* node) {
  Response response;
  response.href = hrefIn(node);
  if (const xmlNode* status = child(node, kDav, "status")) response.status = statusOf(textOf(status));
  bool anyFound = false;
  int lastStatus = 0;
  forChildren(node, [&](const xmlNode* propstat) {
    if (!is(propstat, kDav, "propstat")) return;
    const int status = statusOf(textOf(child(propstat, kDav, "status")));
    lastStatus = status;
    if (status < 200 || status >= 300) return;
    anyFound = true;
    readProperties(child(propstat, kDav, "prop"), response);
  });
  if (!child(node, kDav, "status") && !anyFound && lastStatus) response.status = lastStatus;
  return response;
}

std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

constexpr std::string_view kHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

}  // namespace

int statusOf(std::string_view line) {
  const std::size_t space = line.find(' ');
  if (space == std::string_view::npos || space + 4 > line.size()) return 0;
  int status = 0;
  for (std::size_t i = space + 1; i < space + 4; ++i) {
    if (line[i] < '0' || line[i] > '9') return 0;
    status = status * 10 + (line[i] - '0');
  }
  return status;
}

std::optional<MultiStatus> parseMultiStatus(std::string_view xml) {
  if (xml.size() > static_cast<std::size_t>(INT32_MAX)) return std::nullopt;
  std::unique_ptr<xmlDoc, DocumentFree> document(
      xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "answer.xml", nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA));
  const xmlNode* root = document ? xmlDocGetRootElement(document.get()) : nullptr;
  if (!is(root, kDav, "multistatus")) return std::nullopt;
  MultiStatus result;
  forChildren(root, [&result](const xmlNode* node) {
    if (is(node, kDav, "response")) result.responses.push_back(readResponse(node));
    else if (is(node, kDav, "sync-token")) result.syncToken = textOf(node);
  });
  return result;
}

std::string principalQuery() {
  return std::string(kHead) +
         "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:current-user-principal/></d:prop></d:propfind>";
}

std::string calendarHomeQuery() {
  return std::string(kHead) +
         "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
         "<d:prop><c:calendar-home-set/></d:prop></d:propfind>";
}

std::string collectionQuery() {
  return std::string(kHead) +
         "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:resourcetype/><d:getetag/></d:prop></d:propfind>";
}

std::string syncCollection(std::string_view token) {
  return std::string(kHead) +
         "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" + escaped(token) +
         "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>";
}

std::string multiGet(const std::vector<std::string>& hrefs) {
  std::string body = std::string(kHead) +
                     "<c:calendar-multiget xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
                     "<d:prop><d:getetag/><c:calendar-data/></d:prop>";
  for (const std::string& href : hrefs) body += "<d:href>" + escaped(href) + "</d:href>";
  return body + "</c:calendar-multiget>";
}

}  // namespace almanouk::dav
