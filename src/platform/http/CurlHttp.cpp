// HTTP through libcurl: one connection kept open for a sync's requests.

#include <curl/curl.h>

#include <algorithm>
#include <csignal>
#include <cctype>
#include <mutex>

#include "platform/Http.h"

namespace almanouk {
namespace {

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return std::string(text);
}

struct UrlParts {
  std::string scheme;
  std::string host;
};

UrlParts partsOf(std::string_view url) {
  UrlParts parts;
  CURLU* handle = curl_url();
  if (!handle) return parts;
  const std::string text(url);
  if (curl_url_set(handle, CURLUPART_URL, text.c_str(), 0) == CURLUE_OK) {
    char* part = nullptr;
    if (curl_url_get(handle, CURLUPART_SCHEME, &part, 0) == CURLUE_OK) parts.scheme = lowerCase(part);
    curl_free(part);
    part = nullptr;
    if (curl_url_get(handle, CURLUPART_HOST, &part, 0) == CURLUE_OK) parts.host = lowerCase(part);
    curl_free(part);
  }
  curl_url_cleanup(handle);
  return parts;
}

std::size_t collectBody(char* data, std::size_t size, std::size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

std::size_t collectHeader(char* data, std::size_t size, std::size_t count, void* target) {
  auto* response = static_cast<HttpResponse*>(target);
  const std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) {  // a new response (after a redirect or a login): start again
    response->headers.clear();
    const std::size_t space = line.find(' ');
    response->statusLine = space == std::string_view::npos ? std::string() : trimmed(line.substr(space + 1));
    return size * count;
  }
  const std::size_t colon = line.find(':');
  if (colon != std::string_view::npos)
    response->headers.emplace_back(lowerCase(std::string(line.substr(0, colon))), trimmed(line.substr(colon + 1)));
  return size * count;
}

std::string whyNoResponse(CURLcode code, const std::string& host, int timeoutSeconds, const char* detail) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST: return "server " + host + " niet gevonden";
    case CURLE_COULDNT_CONNECT: return "geen verbinding met " + host;
    case CURLE_OPERATION_TIMEDOUT:
      return "de server antwoordde niet binnen " + std::to_string(timeoutSeconds) + " seconden";
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CONNECT_ERROR:
      return "het certificaat van " + host + " is niet te vertrouwen; niets verstuurd (" + detail + ")";
    case CURLE_ABORTED_BY_CALLBACK: return "afgebroken";
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE: return "de verbinding met " + host + " werd verbroken";
    default: return "verbinding mislukt (" + std::string(detail[0] ? detail : curl_easy_strerror(code)) + ")";
  }
}

class CurlHttp final : public HttpClient {
 public:
  CurlHttp(CURL* handle, int timeoutSeconds, const std::atomic<bool>* stop)
      : handle_(handle), timeoutSeconds_(timeoutSeconds), stop_(stop) {}
  ~CurlHttp() override { curl_easy_cleanup(handle_); }

  HttpResult send(const HttpRequest& request, const HttpLogin* login) override {
    HttpResult result = sendOnce(request, login && authKnown_ ? login : nullptr);
    auto* response = std::get_if<HttpResponse>(&result);
    if (!response || response->status != 401 || !login || authKnown_) return result;
    if (!mayCarryPassword(request.url))
      return "wachtwoord niet verstuurd: " + request.url + " is geen https-adres";
    const std::string offered = lowerCase(response->header("www-authenticate"));
    auth_ = offered.find("basic") != std::string::npos ? CURLAUTH_BASIC : CURLAUTH_DIGEST;
    authKnown_ = true;
    return sendOnce(request, login);
  }

 private:
  HttpResult sendOnce(const HttpRequest& request, const HttpLogin* login) {
    curl_easy_reset(handle_);
    HttpResponse response;
    char detail[CURL_ERROR_SIZE] = "";
    const UrlParts url = partsOf(request.url);
    curl_easy_setopt(handle_, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle_, CURLOPT_PROTOCOLS_STR, "http,https");
    // A redirect never takes a TLS request to plain HTTP.
    curl_easy_setopt(handle_, CURLOPT_REDIR_PROTOCOLS_STR, url.scheme == "https" ? "https" : "http,https");
    curl_easy_setopt(handle_, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle_, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeoutSeconds_));
    // A server that stops sending for the whole timeout is given up; a long answer that flows is not.
    curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeoutSeconds_));
    curl_easy_setopt(handle_, CURLOPT_USERAGENT, "Almanouk/1.45");
    curl_easy_setopt(handle_, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(handle_, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    if (request.method == "HEAD") curl_easy_setopt(handle_, CURLOPT_NOBODY, 1L);
    if (!request.body.empty() || request.method == "PUT") {
      curl_easy_setopt(handle_, CURLOPT_POSTFIELDS, request.body.data());
      curl_easy_setopt(handle_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    }
    curl_slist* headers = nullptr;
    for (const auto& [name, value] : request.headers) headers = curl_slist_append(headers, (name + ": " + value).c_str());
    headers = curl_slist_append(headers, "Expect:");
    curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers);
    if (login) {
      curl_easy_setopt(handle_, CURLOPT_HTTPAUTH, auth_);
      curl_easy_setopt(handle_, CURLOPT_USERNAME, login->user.c_str());
      curl_easy_setopt(handle_, CURLOPT_PASSWORD, login->password.c_str());
    }
    curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, &response.body);
    curl_easy_setopt(handle_, CURLOPT_HEADERFUNCTION, collectHeader);
    curl_easy_setopt(handle_, CURLOPT_HEADERDATA, &response);
    if (stop_) {
      curl_easy_setopt(handle_, CURLOPT_NOPROGRESS, 0L);
      curl_easy_setopt(handle_, CURLOPT_XFERINFOFUNCTION, progress);
      curl_easy_setopt(handle_, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(stop_));
    }
    const CURLcode code = curl_easy_perform(handle_);
    curl_slist_free_all(headers);
    if (code != CURLE_OK) return whyNoResponse(code, url.host, timeoutSeconds_, detail);
    long status = 0;
    curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &status);
    response.status = static_cast<int>(status);
    char* effective = nullptr;
    curl_easy_getinfo(handle_, CURLINFO_EFFECTIVE_URL, &effective);
    response.finalUrl = effective ? effective : request.url;
    if (response.statusLine.empty()) response.statusLine = std::to_string(status);
    return response;
  }

  static int progress(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return stop && static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
  }

  CURL* handle_;
  int timeoutSeconds_;
  const std::atomic<bool>* stop_;
  bool authKnown_ = false;
  unsigned long auth_ = CURLAUTH_BASIC;
};

}  // namespace

std::string HttpResponse::header(std::string_view lowerCaseName) const {
  for (const auto& [name, value] : headers)
    if (name == lowerCaseName) return value;
  return {};
}

bool mayCarryPassword(std::string_view url) {
  const UrlParts parts = partsOf(url);
  if (parts.scheme == "https") return true;
  return parts.scheme == "http" &&
         (parts.host == "localhost" || parts.host.starts_with("127.") || parts.host == "[::1]" || parts.host == "::1");
}

std::unique_ptr<HttpClient> makeHttpClient(int timeoutSeconds, const std::atomic<bool>* stop) {
  static std::once_flag initialised;
  std::call_once(initialised, [] {
    curl_global_init(CURL_GLOBAL_DEFAULT);
#ifdef SIGPIPE
    // A connection the server closed must not end the program; curl is told not to use signals (threads).
    std::signal(SIGPIPE, SIG_IGN);
#endif
  });
  CURL* handle = curl_easy_init();
  if (!handle) return nullptr;
  return std::make_unique<CurlHttp>(handle, timeoutSeconds, stop);
}

}  // namespace almanouk
