#pragma once
// HTTP(S) requests to a calendar server. TLS certificates are checked against
// the system's store; a password goes only over TLS or to this machine.

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace almanouk {

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
  std::string method;
  std::string url;
  HttpHeaders headers;
  std::string body;
};

struct HttpResponse {
  int status = 0;
  std::string statusLine;  // "412 Precondition Failed", as the server said it
  HttpHeaders headers;     // names in lower case
  std::string body;
  std::string finalUrl;  // after redirects
  // The header's value; empty when the response has none.
  std::string header(std::string_view lowerCaseName) const;
};

struct HttpLogin {
  std::string user;
  std::string password;
};

// A response, or why none came (in Dutch: no connection, a timeout, a certificate refused).
using HttpResult = std::variant<HttpResponse, std::string>;

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // Sends the login only when the server asks for one.
  virtual HttpResult send(const HttpRequest& request, const HttpLogin* login) = 0;
};

// Null in a build without an HTTP library. A request in progress ends at
// once when `stop` becomes true (the program ends).
std::unique_ptr<HttpClient> makeHttpClient(int timeoutSeconds, const std::atomic<bool>* stop = nullptr);

// A password may travel to the address: over TLS, or to this machine.
bool mayCarryPassword(std::string_view url);

}  // namespace almanouk
