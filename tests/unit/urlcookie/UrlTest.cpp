// Host, port and object name as the request routine gets them, including the odd results that
// come from searching for scheme and host texts rather than parsing the URL.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "http/Url.h"

namespace vd {
namespace {

struct UrlCase {
  const char* url;
  const char* host;
  const char* hostWithPort;
  int32_t port;
  const char* object;
};

TEST(Url, HostPortAndObjectName) {
  const UrlCase cases[] = {
      {"http://www.baidu.com/", "www.baidu.com", "www.baidu.com", 80, "/"},
      {"x.y.z/p", "x.y.z", "x.y.z", 80, "/p"},
      {"HTTP://X.Y.Z/Path", "x.y.z", "x.y.z", 80, "/Path"},
      {"https://x.y.z", "x.y.z", "x.y.z", 443, "/"},
      {"HTTPS://X.Y:8443/A", "x.y", "x.y:8443", 8443, "/A"},
      {"http://x.y.z:81/p?q=1", "x.y.z", "x.y.z:81", 81, "/p?q=1"},
      {"http://x.y.z:/", "x.y.z", "x.y.z:", 0, "/"},
      {"http://x.y:\xA3\xB1\xA3\xB2/", "x.y", "x.y:\xA3\xB1\xA3\xB2", 12, "/"},
      {"http://x.y/a#f", "x.y", "x.y", 80, "/a#f"},
      // The port default looks at the first five bytes only.
      {"httpsfoo.com/x", "httpsfoo.com", "httpsfoo.com", 443, "/x"},
      {"https:x", "https", "https:x", 0, "/"},
      // Without a scheme in front, a scheme text in the query supplies the host.
      {"x.y.z/?u=http://a.b/", "a.b", "a.b", 80, "/"},
      // With one in front, a later one changes nothing.
      {"http://x.y/a?r=https://z", "x.y", "x.y", 80, "/a?r=https://z"},
      // The host text is found first inside "http", which moves the object name.
      {"http://p/x", "p", "p", 80, "//p/x"},
      {"", "", "", 80, "/"},
      // An empty host is "found" at byte 1, so the object starts at the scheme's first "/".
      {"http://", "", "", 80, "//"},
      {"http://\xB0\xD9\xB6\xC8.cn/\xCA\xD7", "\xB0\xD9\xB6\xC8.cn", "\xB0\xD9\xB6\xC8.cn", 80,
       "/\xCA\xD7"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UrlHost(c.url), c.host) << c.url;
    EXPECT_EQ(UrlHost(c.url, false, true), c.hostWithPort) << c.url;
    EXPECT_EQ(UrlPort(c.url), c.port) << c.url;
    EXPECT_EQ(UrlObjectName(c.url), c.object) << c.url;
  }
}

struct HostFormCase {
  const char* url;
  bool mainDomainOnly;
  bool keepPort;
  std::optional<int> levels;
  const char* expected;
};

TEST(Url, ShorterHostForms) {
  const HostFormCase cases[] = {
      {"a.b.x.y", true, false, std::nullopt, "x.y"},
      {"http://nodots/", true, false, std::nullopt, "nodots"},
      {"http://a.b.x.y:81/", true, false, std::nullopt, "x.y"},
      {"http://a.b.x.y:81/", true, true, std::nullopt, "x.y:81"},
      {"http://a..b/", true, false, std::nullopt, ".b"},
      {"http://a.b.x.y/p", false, false, 0, "x.y"},
      {"http://a.b.x.y/p", false, false, 1, "b.x.y"},
      {"http://a.b.x.y/p", true, false, 0, "y"},
      {"http://a.b.x.y/p", true, false, 1, "x.y"},
      {"http://a.b.x.y/p", false, false, 5, "a.b.x.y"},
      {"http://a.b.x.y/p", true, false, 5, "a.b.x.y"},
      {"http://a.b.x.y/p", false, false, -1, "x.y"},
      {"HTTPS://A.B.C:8080/", false, false, 0, "b.c"},
      {"HTTPS://A.B.C:8080/", false, true, 0, "b.c:8080"},
      {"x.y", false, false, 0, "x.y"},
      {"nodots", true, false, 0, "nodots"},
      {"", false, false, 0, ""},
      // A dot in the last byte lies outside the first search range.
      {"http://a.b.c./", false, false, 0, "b.c."},
      // This form drops every scheme text and cuts at the first "/".
      {"x/?u=http://a.b.c/", false, false, 0, "x"},
      // 0xB0 0x2E is one character: its second byte is no dot.
      {"http://a.b\xB0\x2E"
       "c/",
       false, false, 0,
       "a.b\xB0\x2E"
       "c"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UrlHost(c.url, c.mainDomainOnly, c.keepPort, c.levels), c.expected)
        << c.url << " main=" << c.mainDomainOnly << " keepPort=" << c.keepPort
        << " levels=" << c.levels.value_or(-99);
  }
}

// The levels form walks back with FindTextReverse, passing each dot as the next limit; the
// implementation lists the dots once instead. Both must cut every host the same way.
Text LevelsByWalkingBack(const Text& url, bool mainDomainOnly, int levels) {
  Text s = ReplaceText(ReplaceText(ToLowerAscii(url), "http://", "", true), "https://", "", true);
  if (FindText(s, "/") != -1) s = TextLeft(s, FindText(s, "/") - 1);
  const int length = static_cast<int>(s.size());
  int h = length;
  for (int i = 0; i < levels; ++i) h = FindTextReverse(s, ".", h);
  const int d = FindTextReverse(s, ".", h);
  if (mainDomainOnly) {
    s = TextRight(s, length - d);
  } else if (d != -1) {
    const int d2 = FindTextReverse(s, ".", d);
    if (d2 != -1) s = TextRight(s, length - d2);
  }
  if (FindText(s, ":") != -1) s = TextLeft(s, FindText(s, ":") - 1);
  return s;
}

TEST(Url, LevelsAgreeWithWalkingBackByLimit) {
  static const char alphabet[] = {'a', '.', '.', ':', '/', 'X', '\xB0', '\x2E'};
  std::mt19937 rng(7);
  std::uniform_int_distribution<size_t> len(0, 14), pick(0, sizeof alphabet - 1);
  for (int i = 0; i < 5000; ++i) {
    Text url = i % 2 ? "http://" : "";
    for (size_t n = len(rng); n > 0; --n) url += alphabet[pick(rng)];
    const int levels = i % 7 - 1;
    const bool main = i % 3 == 0;
    ASSERT_EQ(UrlHost(url, main, false, levels), LevelsByWalkingBack(url, main, levels))
        << url << " levels=" << levels << " main=" << main;
  }
}

}  // namespace
}  // namespace vd
