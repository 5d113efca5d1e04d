// The steps of one HTTP exchange that need no network: verb, agent, proxy access, request flags,
// the header block that is sent, and what is read back out of the raw response headers.
// HttpRequest_win.cpp strings them together around the WinINet calls.
#pragma once

#include <cstdint>
#include <optional>

#include "text/Text.h"

namespace vd::http {

constexpr char kDefaultUserAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr char kHttpVersion[] = "HTTP/1.1";
constexpr int kReadSize = 1024;         // bytes asked of each body read
constexpr int kRawHeaderBuffer = 5000;  // bytes offered for the raw response headers

// WinINet values, spelled out so that the steps compile without windows.h.
constexpr uint32_t kOpenTypeDirect = 1;               // INTERNET_OPEN_TYPE_DIRECT
constexpr uint32_t kOpenTypeProxy = 3;                // INTERNET_OPEN_TYPE_PROXY
constexpr uint32_t kFlagReload = 0x80000000;          // INTERNET_FLAG_RELOAD
constexpr uint32_t kFlagNeedFile = 0x00000010;        // INTERNET_FLAG_NEED_FILE
constexpr uint32_t kFlagNoCookies = 0x00080000;       // INTERNET_FLAG_NO_COOKIES
constexpr uint32_t kFlagNoAutoRedirect = 0x00200000;  // INTERNET_FLAG_NO_AUTO_REDIRECT
constexpr uint32_t kFlagSecure = 0x00800000;          // INTERNET_FLAG_SECURE
constexpr uint32_t kFlagIgnoreRedirectToHttps =
    0x00004000;  // INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS

// "POST" for method 1, "GET" for everything else (other non-zero methods still send a body).
Text RequestVerb(int32_t method);

// Only the first five bytes decide, whatever follows them.
bool IsSecureUrl(const Text& url);

// The agent handed to InternetOpenA: a User-Agent line of `headers` when there is one, else the
// default agent.
Text ChooseUserAgent(const Text& headers);

// How InternetOpenA reaches the server. An absent name or bypass list is passed as null.
struct ProxyAccess {
  uint32_t accessType = kOpenTypeDirect;
  std::optional<Text> proxyName;
  std::optional<Text> bypassList;
};
// `proxy` null: direct access. Supplied, even empty: proxy access ("http=" prefix for plain URLs).
ProxyAccess ChooseProxyAccess(const Text* proxy, bool secure);

// The port handed to InternetConnectA. A number that does not fit the 16-bit port field gives
// nothing: truncating it would connect to some other port.
std::optional<uint16_t> ConnectPort(int32_t port);

uint32_t RequestFlags(bool cookiesSupplied, bool noRedirect, bool secure);

// The caller's extra lines with the default Accept, Accept-Language and Content-Type lines
// added where missing, and a Cookie line when `cookies` is not empty.
Text CompleteHeaderBlock(const Text& headers, const Text& cookies);

// The raw header text up to the NUL that the header query wrote (all of it when there is none),
// with every spelling of "Set-Cookie" turned into exactly "Set-Cookie".
Text RawHeadersFromBuffer(const Text& buffer);

// The name=value pairs of the Set-Cookie lines of a raw header block, joined with "; ".
Text ExtractReturnedCookies(const Text& rawHeaders);

// Appends one read to the body. When the body can no longer be held, it is released and
// false comes back: the caller stops reading.
bool AppendToBody(Bytes& body, const char* data, size_t count) noexcept;

}  // namespace vd::http
