// The pure steps of an HTTP exchange: what agent, flags, proxy access and header block a request
// gets, and which cookies are read back out of a raw response header block.
#include <gtest/gtest.h>

#include <string>

#include "http/HttpSteps.h"

namespace {

using namespace vd::http;
using vd::Text;

struct AgentCase {
  const char* name;
  Text headers;
  Text agent;
};

TEST(HttpSteps, UserAgentChoice) {
  const AgentCase cases[] = {
      {"no headers", "", kDefaultUserAgent},
      {"no agent line", "Accept: a\r\nX-Y: z", kDefaultUserAgent},
      {"single line", "User-Agent: X", "X"},
      {"first of two lines", "User-Agent:  X 1 \r\nAccept: a", "X 1"},
      {"second of three lines", "Accept: a\r\nUser-Agent: X\r\nB: b", "X"},
      // Found ignoring case, but cut out case-sensitively: the text after the first colon wins.
      {"lower-case name", "user-agent: X", "X"},
      {"lower-case name before another line", "user-agent: X\r\nAccept: a", "X\r\nAccept: a"},
      // No line break after the agent line: again everything after the first colon.
      {"last of several", "Accept: a\r\nUser-Agent: X", "a\r\nUser-Agent: X"},
      {"empty agent value", "User-Agent: \r\nAccept: a", "\r\nAccept: a"},
  };
  for (const AgentCase& c : cases) {
    EXPECT_EQ(ChooseUserAgent(c.headers), c.agent) << c.name;
  }
}

struct FlagsCase {
  bool cookies, noRedirect, secure;
  uint32_t flags;
};

TEST(HttpSteps, RequestFlags) {
  const FlagsCase cases[] = {
      {false, false, false, 0x80004010},  // the probe's plain GET
      {true, false, false, 0x80084010},  {false, true, false, 0x80204010},
      {false, false, true, 0x80800010},  {true, true, true, 0x80A80010},
  };
  for (const FlagsCase& c : cases) {
    EXPECT_EQ(RequestFlags(c.cookies, c.noRedirect, c.secure), c.flags)
        << c.cookies << c.noRedirect << c.secure;
  }
}

TEST(HttpSteps, ConnectPortFitsSixteenBits) {
  EXPECT_EQ(ConnectPort(80), 80);
  EXPECT_EQ(ConnectPort(0), 0);  // WinINet's "default port of the service"
  EXPECT_EQ(ConnectPort(65535), 65535);
  EXPECT_EQ(ConnectPort(65536 + 80), std::nullopt);
  EXPECT_EQ(ConnectPort(-1), std::nullopt);
}

TEST(HttpSteps, VerbAndSecureUrl) {
  EXPECT_EQ(RequestVerb(0), "GET");
  EXPECT_EQ(RequestVerb(1), "POST");
  EXPECT_EQ(RequestVerb(2), "GET");
  EXPECT_EQ(RequestVerb(-1), "GET");
  EXPECT_TRUE(IsSecureUrl("https://a/"));
  EXPECT_TRUE(IsSecureUrl("HTTPS://a/"));
  EXPECT_TRUE(IsSecureUrl("httpsx"));  // only the first five bytes decide
  EXPECT_FALSE(IsSecureUrl("http://a/"));
  EXPECT_FALSE(IsSecureUrl("a/https://"));
  EXPECT_FALSE(IsSecureUrl(""));
}

TEST(HttpSteps, ProxyAccess) {
  const ProxyAccess direct = ChooseProxyAccess(nullptr, false);
  EXPECT_EQ(direct.accessType, kOpenTypeDirect);
  EXPECT_FALSE(direct.proxyName);
  EXPECT_FALSE(direct.bypassList);

  const Text proxy = "127.0.0.1:3128";
  const ProxyAccess plain = ChooseProxyAccess(&proxy, false);
  EXPECT_EQ(plain.accessType, kOpenTypeProxy);
  EXPECT_EQ(plain.proxyName.value_or("<null>"), "http=127.0.0.1:3128");
  EXPECT_EQ(plain.bypassList.value_or("<null>"), "");

  const ProxyAccess secure = ChooseProxyAccess(&proxy, true);
  EXPECT_EQ(secure.accessType, kOpenTypeProxy);
  EXPECT_EQ(secure.proxyName.value_or("<null>"), "127.0.0.1:3128");
  EXPECT_EQ(secure.bypassList.value_or("<null>"), "");

  // Supplied but empty still selects proxy access.
  const Text empty;
  const ProxyAccess emptyPlain = ChooseProxyAccess(&empty, false);
  EXPECT_EQ(emptyPlain.accessType, kOpenTypeProxy);
  EXPECT_EQ(emptyPlain.proxyName.value_or("<null>"), "http=");
  const ProxyAccess emptySecure = ChooseProxyAccess(&empty, true);
  EXPECT_EQ(emptySecure.accessType, kOpenTypeProxy);
  EXPECT_FALSE(emptySecure.proxyName);
  EXPECT_EQ(emptySecure.bypassList.value_or("<null>"), "");
}

struct BlockCase {
  const char* name;
  Text headers, cookies, block;
};

TEST(HttpSteps, HeaderBlockCompletion) {
  const Text kLang = "\r\nAccept-Language: zh-cn";
  const Text kType = "\r\nContent-Type: application/x-www-form-urlencoded";
  const BlockCase cases[] = {
      {"empty", "", "", "Accept: */*" + kLang + kType},
      {"agent line first", "User-Agent: X", "", "User-Agent: X\r\nAccept: */*" + kLang + kType},
      {"own accept kept", "Accept: text/html", "", "Accept: text/html" + kLang + kType},
      {"X-Accept suppresses Accept", "X-Accept: y", "", "X-Accept: y" + kLang + kType},
      {"Accept-Encoding does not", "Accept-Encoding: z", "",
       "Accept-Encoding: z\r\nAccept: */*" + kLang + kType},
      {"lower-case accept does not count", "accept: a", "",
       "accept: a\r\nAccept: */*" + kLang + kType},
      {"own language and type", "Accept-Language: en\r\nContent-Type: text/plain", "",
       "Accept-Language: en\r\nContent-Type: text/plain\r\nAccept: */*"},
      {"cookies appended", "", "a=1; b=2", "Accept: */*" + kLang + kType + "\r\nCookie: a=1; b=2"},
      {"cookies after own lines", "X: 1", "c=3",
       "X: 1\r\nAccept: */*" + kLang + kType + "\r\nCookie: c=3"},
  };
  for (const BlockCase& c : cases) {
    EXPECT_EQ(CompleteHeaderBlock(c.headers, c.cookies), c.block) << c.name;
  }
}

struct CookieCase {
  const char* name;
  Text raw, cookies;
};

TEST(HttpSteps, CookiesFromRawHeaders) {
  const CookieCase cases[] = {
      {"none", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", ""},
      {"empty block", "", ""},
      {"attributes and a bare lower-case line",
       "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nServer: x\r\nset-cookie: b=2\r\n\r\n",
       "a=1; b=2"},
      {"capitals", "HTTP/1.1 200 OK\r\nSET-COOKIE: c=3; HttpOnly\r\n\r\n", "c=3"},
      {"spaces trimmed", "HTTP/1.1 200 OK\r\nSet-Cookie:   c=3  ;HttpOnly\r\n\r\n", "c=3"},
      {"value with an equals sign", "HTTP/1.1 200 OK\r\nSet-Cookie: d=x=y; path=/\r\n\r\n",
       "d=x=y"},
      {"empty pair kept", "HTTP/1.1 200 OK\r\nSet-Cookie: ; path=/\r\nSet-Cookie: e=5\r\n\r\n",
       "; e=5"},
      // Any line that merely mentions the header name is taken too.
      {"mention in another header", "HTTP/1.1 200 OK\r\nX-Note: Set-Cookie\r\n\r\n",
       "X-Note: Set-Cookie"},
  };
  // As the exchange does it: the spelling is settled first, then the pairs are taken.
  for (const CookieCase& c : cases) {
    EXPECT_EQ(ExtractReturnedCookies(RawHeadersFromBuffer(c.raw)), c.cookies) << c.name;
  }
}

TEST(HttpSteps, RawHeaderBufferNormalisesSetCookie) {
  Text buffer =
      "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nset-cookie: b=2\r\n"
      "SET-COOKIE: c=3\r\n\r\n";
  const Text expected =
      "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n"
      "Set-Cookie: c=3\r\n\r\n";
  EXPECT_EQ(RawHeadersFromBuffer(expected), expected);
  // What the query wrote ends at its NUL; the rest of the buffer is left-over spaces.
  buffer += '\0';
  buffer += Text(100, ' ');
  const Text raw = RawHeadersFromBuffer(buffer);
  EXPECT_EQ(raw, expected);
  EXPECT_EQ(ExtractReturnedCookies(raw), "a=1; b=2; c=3");
  // A failed query leaves the buffer as it was.
  EXPECT_EQ(RawHeadersFromBuffer(Text(kRawHeaderBuffer, ' ')), Text(kRawHeaderBuffer, ' '));
  EXPECT_EQ(ExtractReturnedCookies(Text(kRawHeaderBuffer, ' ')), "");
}

}  // namespace
