#include <windows.h>
#include <wininet.h>

#include "http/Cookies.h"
#include "http/HttpRequest.h"
#include "http/HttpSteps.h"
#include "http/Url.h"
#include "http/WinInetHandle.h"

namespace vd {

namespace {

const char* OrNull(const std::optional<Text>& text) { return text ? text->c_str() : nullptr; }

}  // namespace

// Every handle lives inside this call; an early failure leaves the caller's arguments as they
// were. Once the request is open, a failed send, read or header query only shortens what comes
// back.
Bytes HttpRequest(const Text& url, int32_t method, const Text& postText, Text* cookies,
                  Text* returnedCookies, Text* headers, Text* returnedHeaders, bool noRedirect,
                  Bytes* postBytes, const Text* proxy) {
  const bool secure = http::IsSecureUrl(url);
  const Text extraHeaders = headers ? *headers : Text();
  const Text agent = http::ChooseUserAgent(extraHeaders);
  const http::ProxyAccess access = http::ChooseProxyAccess(proxy, secure);

  http::InternetSession session(InternetOpenA(
      agent.c_str(), access.accessType, OrNull(access.proxyName), OrNull(access.bypassList), 0));
  if (!session) return {};
  const Text host = UrlHost(url);
  const std::optional<uint16_t> port = http::ConnectPort(UrlPort(url));
  if (!port) return {};  // as if the connect had failed
  http::InternetConnection connection(InternetConnectA(session.get(), host.c_str(), *port, nullptr,
                                                       nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return {};
  const Text verb = http::RequestVerb(method);
  const Text object = UrlObjectName(url);
  const DWORD flags = http::RequestFlags(cookies != nullptr, noRedirect, secure);
  http::InternetRequest request(HttpOpenRequestA(connection.get(), verb.c_str(), object.c_str(),
                                                 http::kHttpVersion, nullptr, nullptr, flags, 0));
  if (!request) return {};

  const Text block = http::CompleteHeaderBlock(extraHeaders, cookies ? *cookies : Text());
  if (headers) *headers = block;

  // The send's result is not looked at: a failed send leaves nothing to read.
  if (method == 0) {
    HttpSendRequestA(request.get(), block.c_str(), static_cast<DWORD>(block.size()),
                     const_cast<char*>(""), 0);
  } else {
    Bytes scratch;
    Bytes& sent = postBytes ? *postBytes : scratch;  // the caller sees it filled from postText
    if (sent.empty()) sent = TextBytes(postText);
    HttpSendRequestA(request.get(), block.c_str(), static_cast<DWORD>(block.size()),
                     sent.empty() ? nullptr : &sent[0], static_cast<DWORD>(sent.size()));
  }

  Bytes body;
  char chunk[http::kReadSize];
  for (;;) {
    DWORD count = 0;
    InternetReadFile(request.get(), chunk, sizeof chunk, &count);
    if (count == 0) break;
    if (!http::AppendToBody(body, chunk, count)) break;  // body released: the result is empty
  }

  // A block that needs more than the buffer leaves the spaces in place.
  Text rawBuffer = Spaces(http::kRawHeaderBuffer);
  DWORD rawLength = http::kRawHeaderBuffer;
  HttpQueryInfoA(request.get(), HTTP_QUERY_RAW_HEADERS_CRLF, &rawBuffer[0], &rawLength, nullptr);
  const Text raw = http::RawHeadersFromBuffer(rawBuffer);
  if (returnedHeaders) *returnedHeaders = raw;

  request.Close();
  connection.Close();
  session.Close();

  Text setCookies = http::ExtractReturnedCookies(raw);
  if (cookies) MergeCookies(*cookies, setCookies);
  if (returnedCookies) *returnedCookies = setCookies;
  return body;
}

}  // namespace vd
