// Merging a caller's cookie text with the cookies a server set, and the list helpers under it.
#include <gtest/gtest.h>

#include <string>

#include "http/Cookies.h"

namespace vd {
namespace {

struct MergeCase {
  const char* cookies;
  const char* returned;
  const char* merged;
  const char* returnedAfter;  // the in/out argument, spaces removed
};

TEST(MergeCookies, Cases) {
  const MergeCase cases[] = {
      {"a=1; b=2", "b=3", "b=3; a=1", "b=3"},
      {"a=1", "a=deleted", "", "a=deleted"},
      {"", "x=y=deleted", "", "x=y=deleted"},
      {"", "a=DELETED", "a=DELETED", "a=DELETED"},
      {"=deleted; deleted", "", "deleted", ""},
      {"a=deleted", "", "", ""},
      {"", "a=1; a=1", "a=1", "a=1;a=1"},
      {"", "a=1; a=2", "a=1; a=2", "a=1;a=2"},
      // Of several old pairs with one name only the first survives.
      {"a=1; a=2; b=1", "", "a=1; b=1", ""},
      {"B=2", "b=3", "b=3; B=2", "b=3"},
      {"x=a b", "", "x=ab", ""},
      {" a = 1 ; b=2", " c = 3 ", "c=3; a=1; b=2", "c=3"},
      {"a=\xA1\xA1"
       "1",
       "", "a=1", ""},
      {"a=1;", "", "a=1", ""},
      {"a=1;;b=2", "", "a=1; ; b=2", ""},
      {"flag; a=1", "flag", "flag; a=1", "flag"},
      {"", "", "", ""},
      {"s=1; t=2", "u=3; s=4", "u=3; s=4; t=2", "u=3;s=4"},
  };
  for (const auto& c : cases) {
    Text cookies = c.cookies, returned = c.returned;
    const Text result = MergeCookies(cookies, returned);
    EXPECT_EQ(result, c.merged) << "cookies=\"" << c.cookies << "\" returned=\"" << c.returned;
    EXPECT_EQ(cookies, result) << "cookies=\"" << c.cookies << "\"";
    EXPECT_EQ(returned, c.returnedAfter) << "returned=\"" << c.returned << "\"";
  }
}

TEST(MergeCookies, RepeatedMergesAreStable) {
  Text cookies = "a=1; b=2";
  Text returned = "b=3; c=4";
  MergeCookies(cookies, returned);
  Text none;
  EXPECT_EQ(MergeCookies(cookies, none), "b=3; c=4; a=1");
}

TEST(CookieHelpers, CookieName) {
  const struct {
    const char* pair;
    const char* name;
  } cases[] = {
      {"a=1", "a"},   {" a =1", "a"}, {"flag", "flag"},     {"=v", ""},
      {"a=b=c", "a"}, {"", ""},       {"\xA1\xA1n=v", "n"},
  };
  for (const auto& c : cases) EXPECT_EQ(CookieName(c.pair), c.name) << c.pair;
}

TEST(CookieHelpers, CookieNameExists) {
  EXPECT_TRUE(CookieNameExists({"a=1", " b =2"}, "b"));
  EXPECT_FALSE(CookieNameExists({"a=1", "b=2"}, "B"));
  EXPECT_FALSE(CookieNameExists({}, ""));
  EXPECT_TRUE(CookieNameExists({"a=1", ""}, ""));
}

TEST(CookieHelpers, DedupeJoin) {
  const struct {
    const char* text;
    const char* separator;
    const char* expected;
  } cases[] = {
      {"a; b; a", "; ", "a; b"},
      {"b; a; b; a", "; ", "b; a"},
      {"a=1; a=2", "; ", "a=1; a=2"},
      {"", "; ", ""},
      {"a;a", "", "a;a"},
      {"a; ; ; b", "; ", "a; ; b"},
  };
  for (const auto& c : cases) EXPECT_EQ(DedupeJoin(c.text, c.separator), c.expected) << c.text;
}

TEST(CookieHelpers, FindExact) {
  const TextList list = {"a", "", "b", "a"};
  EXPECT_EQ(FindExact(list, "a"), 1);
  EXPECT_EQ(FindExact(list, ""), 2);
  EXPECT_EQ(FindExact(list, "b"), 3);
  EXPECT_EQ(FindExact(list, "A"), -1);
  EXPECT_EQ(FindExact({}, ""), -1);
}

}  // namespace
}  // namespace vd
