// HttpRequest against loopback servers that echo the raw request they received: what goes on
// the wire for each kind of call, and what comes back through the result and the arguments.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "LimitedHeap.h"
#include "LoopbackArgs.h"
#include "http/HttpRequest.h"
#include "http/HttpSteps.h"

namespace {

using testing::ElementsAre;
using testing::EndsWith;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::Not;
using testing::StartsWith;
using vd::Bytes;
using vd::HttpRequest;
using vd::Text;
using vd::test::Loopback;
using vd::test::ParseRequest;
using vd::test::RawRequest;

const Text kBlock =
    "Accept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded";

Text HostPort(int port) { return "127.0.0.1:" + std::to_string(port); }
Text Url(const Text& path) { return "http://" + HostPort(Loopback().port) + path; }

Bytes Pattern(size_t n) {
  Bytes bytes(n, '\0');
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 7 + 3) % 256);
  return bytes;
}

TEST(HttpRequestWire, PlainGetSendsTheDefaults) {
  Text headers, returnedHeaders, returnedCookies = "stale";
  const Bytes echo = HttpRequest(Url("/echo/plain?x=1"), 0, {}, nullptr, &returnedCookies, &headers,
                                 &returnedHeaders);
  const RawRequest request = ParseRequest(echo);
  EXPECT_EQ(request.requestLine, "GET /echo/plain?x=1 HTTP/1.1");
  EXPECT_THAT(request.Values("Host"), ElementsAre(HostPort(Loopback().port)));
  EXPECT_THAT(request.Values("User-Agent"), ElementsAre(vd::http::kDefaultUserAgent));
  EXPECT_THAT(request.Values("Accept"), ElementsAre("*/*"));
  EXPECT_THAT(request.Values("Accept-Language"), ElementsAre("zh-cn"));
  EXPECT_THAT(request.Values("Content-Type"), ElementsAre("application/x-www-form-urlencoded"));
  EXPECT_THAT(request.Values("Cookie"), IsEmpty());
  EXPECT_THAT(request.Values("Content-Length"), IsEmpty());
  EXPECT_EQ(request.body, "");
  EXPECT_THAT(echo, HasSubstr("\r\n" + kBlock + "\r\n"));

  EXPECT_EQ(headers, kBlock);
  EXPECT_THAT(returnedHeaders, StartsWith("HTTP/1.1 200 OK\r\n"));
  EXPECT_THAT(returnedHeaders, EndsWith("\r\n\r\n"));
  EXPECT_THAT(returnedHeaders, HasSubstr("\r\nContent-Length: " + std::to_string(echo.size())));
  EXPECT_EQ(returnedCookies, "");
}

struct AgentCase {
  const char* name;
  Text headers;
  Text agent;  // the User-Agent that arrives
};

TEST(HttpRequestWire, AgentTakenFromTheHeaders) {
  const AgentCase cases[] = {
      {"single line", "User-Agent: Probe/1.0", "Probe/1.0"},
      {"lower-case name", "user-agent: Probe/2.0", "Probe/2.0"},
      {"first of two", "User-Agent: Probe/3.0\r\nX-Extra: 1", "Probe/3.0"},
  };
  for (const AgentCase& c : cases) {
    Text headers = c.headers;
    const RawRequest request =
        ParseRequest(HttpRequest(Url("/echo/agent"), 0, {}, nullptr, nullptr, &headers));
    EXPECT_THAT(request.Values("User-Agent"), ElementsAre(c.agent)) << c.name;
    EXPECT_EQ(headers, vd::http::CompleteHeaderBlock(c.headers, "")) << c.name;
    EXPECT_THAT(headers, StartsWith(c.headers)) << c.name;
  }
}

TEST(HttpRequestWire, OwnHeaderLinesGoOut) {
  Text headers = "X-Accept: y\r\nAccept-Encoding: identity";
  const RawRequest request =
      ParseRequest(HttpRequest(Url("/echo/own"), 0, {}, nullptr, nullptr, &headers));
  EXPECT_THAT(request.Values("X-Accept"), ElementsAre("y"));
  EXPECT_THAT(request.Values("Accept-Encoding"), ElementsAre("identity"));
  // "X-Accept:" counts as an Accept line, so none is added.
  EXPECT_THAT(request.Values("Accept"), IsEmpty());
  EXPECT_EQ(headers,
            "X-Accept: y\r\nAccept-Encoding: identity\r\nAccept-Language: zh-cn\r\n"
            "Content-Type: application/x-www-form-urlencoded");
}

struct BodyCase {
  const char* name;
  int method;
  Text postText;
  Bytes postBytes;
  Text requestLine;
  Bytes sent;  // body that arrives
  Bytes postBytesAfter;
};

TEST(HttpRequestWire, RequestBodies) {
  const Bytes binary("\0\x01\xFFz", 4);
  const BodyCase cases[] = {
      {"POST from text", 1, "a=1&b=2", "", "POST /echo/body HTTP/1.1", "a=1&b=2", "a=1&b=2"},
      {"POST bytes win over text", 1, "ignored", binary, "POST /echo/body HTTP/1.1", binary,
       binary},
      {"POST with nothing", 1, "", "", "POST /echo/body HTTP/1.1", "", ""},
      {"method 2 is a GET with a body", 2, "q=2", "", "GET /echo/body HTTP/1.1", "q=2", "q=2"},
      {"method 7 likewise", 7, "", binary, "GET /echo/body HTTP/1.1", binary, binary},
      {"GET sends no body", 0, "a=1", "", "GET /echo/body HTTP/1.1", "", ""},
  };
  for (const BodyCase& c : cases) {
    Bytes postBytes = c.postBytes;
    const RawRequest request =
        ParseRequest(HttpRequest(Url("/echo/body"), c.method, c.postText, nullptr, nullptr, nullptr,
                                 nullptr, false, &postBytes));
    EXPECT_EQ(request.requestLine, c.requestLine) << c.name;
    EXPECT_EQ(request.body, c.sent) << c.name;
    if (c.method != 0) {
      EXPECT_THAT(request.Values("Content-Length"), ElementsAre(std::to_string(c.sent.size())))
          << c.name;
    }
    EXPECT_EQ(postBytes, c.postBytesAfter) << c.name;
  }
}

TEST(HttpRequestCookies, SuppliedCookiesAreSentAndMerged) {
  Text cookies = "a=1; b=2", returnedCookies, headers;
  const RawRequest request =
      ParseRequest(HttpRequest(Url("/echo/cookies"), 0, {}, &cookies, &returnedCookies, &headers));
  EXPECT_THAT(request.Values("Cookie"), ElementsAre("a=1; b=2"));
  EXPECT_EQ(headers, kBlock + "\r\nCookie: a=1; b=2");

  // The server's pairs come first, then the old ones it did not set again.
  HttpRequest(Url("/cookies"), 0, {}, &cookies, &returnedCookies);
  EXPECT_EQ(returnedCookies, "a=9;c=3");
  EXPECT_EQ(cookies, "a=9; c=3; b=2");
}

TEST(HttpRequestCookies, ReturnedCookiesWithoutMerge) {
  Text returnedCookies, returnedHeaders;
  EXPECT_EQ(
      HttpRequest(Url("/cookies"), 0, {}, nullptr, &returnedCookies, nullptr, &returnedHeaders),
      "ok");
  EXPECT_EQ(returnedCookies, "a=9; c=3");
  // The server wrote "set-cookie"; it comes back spelled one way.
  EXPECT_THAT(returnedHeaders, HasSubstr("\r\nSet-Cookie: c=3\r\n"));
  EXPECT_THAT(returnedHeaders, Not(HasSubstr("set-cookie")));
}

// WinINet keeps its own cookies unless a cookie text is supplied; then it neither sends nor
// stores any.
TEST(HttpRequestCookies, SuppliedCookiesSwitchWinInetCookiesOff) {
  HttpRequest(Url("/jar/set"));
  EXPECT_THAT(ParseRequest(HttpRequest(Url("/jar/echo"))).Values("Cookie"), ElementsAre("jar=1"));

  Text mine = "mine=2";
  EXPECT_THAT(ParseRequest(HttpRequest(Url("/jar/echo"), 0, {}, &mine)).Values("Cookie"),
              ElementsAre("mine=2"));
  Text empty;
  EXPECT_THAT(ParseRequest(HttpRequest(Url("/jar/echo"), 0, {}, &empty)).Values("Cookie"),
              IsEmpty());

  Text supplied, returned;
  HttpRequest(Url("/tin/set"), 0, {}, &supplied, &returned);
  EXPECT_EQ(returned, "tin=1");
  EXPECT_EQ(supplied, "tin=1");  // merged even though nothing was sent
  EXPECT_THAT(ParseRequest(HttpRequest(Url("/tin/echo"))).Values("Cookie"), IsEmpty());
}

TEST(HttpRequestResponses, RedirectFollowedUnlessAsked) {
  Text returnedHeaders;
  const Bytes followed = HttpRequest(Url("/redirect?to=/echo/after"), 0, {}, nullptr, nullptr,
                                     nullptr, &returnedHeaders);
  EXPECT_EQ(ParseRequest(followed).requestLine, "GET /echo/after HTTP/1.1");
  EXPECT_THAT(returnedHeaders, StartsWith("HTTP/1.1 200 OK\r\n"));

  const Bytes kept = HttpRequest(Url("/redirect?to=/echo/after"), 0, {}, nullptr, nullptr, nullptr,
                                 &returnedHeaders, true);
  EXPECT_EQ(kept, "moved");
  EXPECT_THAT(returnedHeaders, StartsWith("HTTP/1.1 302 Found\r\n"));
  EXPECT_THAT(returnedHeaders, HasSubstr("\r\nLocation: /echo/after\r\n"));
}

TEST(HttpRequestResponses, ErrorStatusBodiesComeBack) {
  for (const char* code : {"404", "500"}) {
    Text returnedHeaders;
    EXPECT_EQ(HttpRequest(Url(Text("/status/") + code), 0, {}, nullptr, nullptr, nullptr,
                          &returnedHeaders),
              Text("status ") + code + " body");
    EXPECT_THAT(returnedHeaders, StartsWith(Text("HTTP/1.1 ") + code + " Scripted\r\n"));
  }
}

TEST(HttpRequestResponses, HeaderBlockBeyondTheBufferLeavesSpaces) {
  Text returnedHeaders, returnedCookies = "stale", cookies;
  EXPECT_EQ(
      HttpRequest(Url("/bigheaders"), 0, {}, &cookies, &returnedCookies, nullptr, &returnedHeaders),
      "big headers body");
  EXPECT_EQ(returnedHeaders, Text(5000, ' '));
  EXPECT_EQ(returnedCookies, "");
  EXPECT_EQ(cookies, "");
}

TEST(HttpRequestResponses, BinaryBodyExactlyAsSent) {
  for (size_t n :
       {size_t(0), size_t(1), size_t(1023), size_t(1024), size_t(1025), size_t(3 << 20) + 17}) {
    const Bytes body = HttpRequest(Url("/bytes?n=" + std::to_string(n)));
    ASSERT_EQ(body.size(), n);
    EXPECT_TRUE(body == Pattern(n)) << n;
  }
}

TEST(HttpRequestRouting, ProxyReceivesThePlainRequest) {
  const Text proxy = HostPort(Loopback().proxyPort);
  const Text target = "http://" + HostPort(Loopback().closedPort) + "/via/proxy";
  const RawRequest request = ParseRequest(
      HttpRequest(target, 0, {}, nullptr, nullptr, nullptr, nullptr, false, nullptr, &proxy));
  EXPECT_EQ(request.requestLine, "GET " + target + " HTTP/1.1");
  EXPECT_THAT(request.Values("User-Agent"), ElementsAre(vd::http::kDefaultUserAgent));
  EXPECT_THAT(request.Values("Accept-Language"), ElementsAre("zh-cn"));
}

TEST(HttpRequestRouting, RefusedConnectionGivesAnEmptyResult) {
  Text headers = "X-A: 1", returnedHeaders, returnedCookies = "stale", cookies = "k=v";
  Bytes postBytes;
  const Bytes body =
      HttpRequest("http://" + HostPort(Loopback().closedPort) + "/x", 1, "p=1", &cookies,
                  &returnedCookies, &headers, &returnedHeaders, false, &postBytes);
  EXPECT_EQ(body, "");
  // The request was opened, so the arguments went through every step all the same.
  EXPECT_EQ(headers,
            "X-A: 1\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\nCookie: k=v");
  EXPECT_EQ(postBytes, "p=1");
  // No response came: whatever the header query made of that, it holds no status line.
  EXPECT_THAT(returnedHeaders, Not(HasSubstr("HTTP/")));
  EXPECT_EQ(returnedCookies, "");
  EXPECT_EQ(cookies, "k=v");
}

// 65536 more than the echo server's port would reach it if the number were cut to 16 bits.
TEST(HttpRequestRouting, PortBeyondSixteenBitsConnectsNowhere) {
  Text headers = "X-A: 1";
  const Text url = "http://127.0.0.1:" + std::to_string(Loopback().port + 65536) + "/echo/port";
  EXPECT_EQ(HttpRequest(url, 0, {}, nullptr, nullptr, &headers), "");
  EXPECT_EQ(headers, "X-A: 1");  // failed before the request was opened
}

// A body the process cannot hold ends the exchange like any other failure: no crash, handles
// closed (the server sees the client go), an empty result.
TEST(HttpRequestBody, BodyBeyondTheHeapGivesAnEmptyResult) {
  vd::test::SetAllocationLimit(32u << 20);
  Text returnedHeaders;
  const Bytes endless = HttpRequest(Url("/endless?cap=1073741824"), 0, {}, nullptr, nullptr,
                                    nullptr, &returnedHeaders);
  const Bytes belowLimit = HttpRequest(Url("/bytes?n=8388608"));
  vd::test::SetAllocationLimit(0);

  EXPECT_EQ(endless.size(), 0u);
  EXPECT_THAT(returnedHeaders, StartsWith("HTTP/1.1 200 OK\r\n"));
  const Bytes stats = HttpRequest(Url("/stats/endless"));
  EXPECT_THAT(stats, HasSubstr("client_closed=1")) << stats;
  EXPECT_EQ(belowLimit.size(), 8388608u);
}

}  // namespace
