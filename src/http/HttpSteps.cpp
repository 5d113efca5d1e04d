#include "http/HttpSteps.h"

#include <cstring>
#include <new>
#include <stdexcept>

namespace vd::http {

Text RequestVerb(int32_t method) { return method == 1 ? "POST" : "GET"; }

bool IsSecureUrl(const Text& url) { return ToLowerAscii(TextLeft(url, 5)) == "https"; }

// A User-Agent line is found ignoring case but cut out case-sensitively and only when a line
// break follows it; otherwise everything after the block's first colon is taken.
Text ChooseUserAgent(const Text& headers) {
  if (FindText(headers, "User-Agent:", 0, true) == -1) return kDefaultUserAgent;
  Text agent = TrimSpaces(TextBetween(headers, "User-Agent:", "\r\n"));
  if (agent.empty()) agent = TextAfterColon(headers);
  return agent;
}

ProxyAccess ChooseProxyAccess(const Text* proxy, bool secure) {
  ProxyAccess access;
  if (proxy == nullptr) return access;
  access.accessType = kOpenTypeProxy;
  access.bypassList = Text();
  if (!secure) {
    access.proxyName = "http=" + *proxy;
  } else if (!proxy->empty()) {
    access.proxyName = *proxy;
  }
  return access;
}

std::optional<uint16_t> ConnectPort(int32_t port) {
  if (port < 0 || port > 65535) return std::nullopt;
  return static_cast<uint16_t>(port);
}

uint32_t RequestFlags(bool cookiesSupplied, bool noRedirect, bool secure) {
  uint32_t flags = kFlagReload | kFlagNeedFile;
  if (cookiesSupplied) flags |= kFlagNoCookies;
  if (noRedirect) flags |= kFlagNoAutoRedirect;
  flags |= secure ? kFlagSecure : kFlagIgnoreRedirectToHttps;
  return flags;
}

// Each test looks anywhere in the block, so "X-Accept:" counts as an Accept line.
Text CompleteHeaderBlock(const Text& headers, const Text& cookies) {
  Text block = headers;
  if (block.empty()) {
    block = "Accept: */*";
  } else if (FindText(block, "Accept:") == -1) {
    block += "\r\nAccept: */*";
  }
  if (FindText(block, "Accept-Language:") == -1) block += "\r\nAccept-Language: zh-cn";
  if (FindText(block, "Content-Type:") == -1) {
    block += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  if (!cookies.empty()) block += "\r\nCookie: " + cookies;
  return block;
}

Text RawHeadersFromBuffer(const Text& buffer) {
  const Text raw = buffer.substr(0, std::strlen(buffer.c_str()));
  return ReplaceText(raw, "Set-Cookie", "Set-Cookie", false);
}

// A line with ";" gives the pair between the header name and the first ";"; a line without
// one gives the whole line less its header name.
Text ExtractReturnedCookies(const Text& rawHeaders) {
  Text cookies;
  for (const Text& line : SplitText(rawHeaders, "\r\n")) {
    if (FindText(line, "Set-Cookie") == -1) continue;
    Text pair;
    if (FindText(line, ";") != -1) {
      pair = TrimSpaces(TextBetween(line, "Set-Cookie:", ";"));
    } else {
      pair = TrimSpaces(ReplaceText(line, "Set-Cookie:", "", false));
    }
    cookies += pair + "; ";
  }
  return TextLeft(cookies, static_cast<int>(cookies.size()) - 2);
}

// In a 32-bit process an endless or huge body ends in a failed allocation; that must end the
// exchange, not the program.
bool AppendToBody(Bytes& body, const char* data, size_t count) noexcept {
  try {
    body.append(data, count);
    return true;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  Bytes().swap(body);
  return false;
}

}  // namespace vd::http
