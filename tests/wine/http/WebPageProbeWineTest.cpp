// The web-page probe against a stand-in portal on 127.0.0.1:80 (www.baidu.com resolves there
// inside the test namespace). The stand-in serves "/" as the page last chosen through
// /script/NAME and echoes the previous request at /last.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "LoopbackArgs.h"
#include "http/HttpRequest.h"
#include "http/HttpSteps.h"
#include "http/WebPageProbe.h"

namespace {

using testing::ElementsAre;
using vd::HttpRequest;

void ServePage(const char* name) {
  ASSERT_EQ(HttpRequest(std::string("http://127.0.0.1/script/") + name),
            std::string("script ") + name);
}

struct ProbeCase {
  const char* page;
  bool success;
};

TEST(WebPageProbe, MarkerDecides) {
  const ProbeCase cases[] = {
      {"marker", true},   {"split", true},  // marker across the boundary of two 1024-byte reads
      {"gbk", false},                       // same caption, other encoding
      {"empty", false},   {"error", true},  // the status is never looked at
      {"redirect", true},                   // the page redirected to decides
  };
  for (const ProbeCase& c : cases) {
    ServePage(c.page);
    EXPECT_EQ(vd::WebPageProbe(), c.success) << c.page;
  }
}

TEST(WebPageProbe, SendsOnePlainGetOfTheHomePage) {
  ServePage("marker");
  ASSERT_TRUE(vd::WebPageProbe());
  const vd::test::RawRequest request = vd::test::ParseRequest(HttpRequest("http://127.0.0.1/last"));
  EXPECT_EQ(request.requestLine, "GET / HTTP/1.1");
  EXPECT_THAT(request.Values("Host"), ElementsAre("www.baidu.com"));
  EXPECT_THAT(request.Values("User-Agent"), ElementsAre(vd::http::kDefaultUserAgent));
  EXPECT_THAT(request.Values("Accept"), ElementsAre("*/*"));
  EXPECT_THAT(request.Values("Accept-Language"), ElementsAre("zh-cn"));
  EXPECT_THAT(request.Values("Content-Type"), ElementsAre("application/x-www-form-urlencoded"));
  EXPECT_EQ(request.body, "");
}

// Run by the driver with nothing listening on port 80.
TEST(WebPageProbe, ConnectionRefused) { EXPECT_FALSE(vd::WebPageProbe()); }

}  // namespace
