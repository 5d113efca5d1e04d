// Tables of cases for the text and byte-buffer operations. GBK bytes are written as escapes:
// "\x95\x5C" is one two-byte character whose second byte is a backslash, "\xA1\xA1" the
// full-width space, "\xA3\xB1" the full-width digit one.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "text/Text.h"

namespace vd {
namespace {

struct FindCase {
  const char* text;
  const char* sought;
  int start;
  bool ignoreCase;
  int expected;
};

TEST(FindText, Cases) {
  const FindCase cases[] = {
      {"abc", "", 0, false, 1},
      {"", "", 0, false, -1},
      {"", "a", 0, false, -1},
      {"abc", "c", 4, false, -1},
      {"abc", "a", 0, false, 1},
      {"abc", "a", -7, false, 1},
      {"abcabc", "b", 3, false, 5},
      {"abcabc", "b", 2, false, 2},
      {"abc", "c", 3, false, 3},
      {"abc", "abcd", 0, false, -1},
      {"abc", "bc", 0, false, 2},
      // An empty sought text gives 1 whenever the range is not empty, whatever the start.
      {"abc", "", 3, false, 1},
      {"abc", "", 4, false, -1},
      {"abcA", "a", 2, false, -1},
      {"abcA", "a", 2, true, 4},
      {"xSET-cookie", "Set-Cookie", 0, true, 2},
      {"xSET-cookie", "Set-Cookie", 0, false, -1},
      // Second bytes are never match positions.
      {"\x95\x5C", "\\", 0, false, -1},
      {"\x81\x41", "A", 0, false, -1},
      {"\x81\x41", "a", 0, true, -1},
      {"\x81\x41"
       "A",
       "A", 0, false, 3},
      {"\x95\x5C\\", "\\", 0, false, 3},
      // A start inside a character scans as if a character began there.
      {"\x95\x5C", "\\", 2, false, 2},
      {"\x81\x41\x81\x41", "\x41\x81", 2, false, 2},
      {"\x81\x41\x81\x41", "\x41\x81", 0, false, -1},
      // Runs of two-byte characters: only even offsets into the run are starts.
      {"a\xB0\xB0\xB0\xB0", "\xB0\xB0", 0, false, 2},
      {"a\xB0\xB0\xB0\xB0\xB1", "\xB0\xB1", 0, false, -1},
      {"a\xB0\xB0\xB0\xB1\xB1", "\xB0\xB1", 0, false, 4},
      // A full-width letter is not its ASCII form, even ignoring case.
      {"\xA3\xC1", "A", 0, true, -1},
      {"\xA3\xC1", "a", 0, true, -1},
      // Scanning ends at an incomplete last character.
      {"ab\x81", "\x81", 0, false, -1},
      {"ab\x81", "b\x81", 0, false, 2},
      {"\x81\x81\x81", "\x81", 2, false, 2},
      {"\x81\x81\x81", "\x81", 3, false, -1},
      {"\x81\x81\x81", "\x81", 0, false, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindText(c.text, c.sought, c.start, c.ignoreCase), c.expected)
        << "text=\"" << c.text << "\" sought=\"" << c.sought << "\" start=" << c.start
        << " ignoreCase=" << c.ignoreCase;
  }
}

struct ReverseCase {
  const char* text;
  const char* sought;
  std::optional<int> limit;
  bool ignoreCase;
  int expected;
};

TEST(FindTextReverse, Cases) {
  const ReverseCase cases[] = {
      {"a.b.c", ".", std::nullopt, false, 4},
      {"a.b.c", ".", 4, false, 2},
      {"a.b.c", ".", 2, false, -1},
      {"a.b.", ".", 4, false, 2},
      {"a.b.", ".", std::nullopt, false, 4},
      {"a.b.", ".", 5, false, 4},
      {"a.b.", ".", 500, false, 4},
      {"a.b.c", ".", 1, false, -1},
      {"a.b.c", ".", 0, false, -1},
      {"a.b.c", ".", -3, false, -1},
      {"", ".", std::nullopt, false, -1},
      {"abc", "", std::nullopt, false, 1},
      {"abc", "", 2, false, 1},
      {"abc", "", 1, false, -1},
      {"", "", std::nullopt, false, -1},
      // A match that straddles the limit is outside the range.
      {"abcabc", "bc", 6, false, 2},
      {"abcabc", "bc", 7, false, 5},
      // Overlapping occurrences are all candidates: the last one wins.
      {"aaaa", "aa", std::nullopt, false, 3},
      {"xAxa", "a", std::nullopt, true, 4},
      {"xAxa", "A", 4, true, 2},
      {"\x95\x5C", "\\", std::nullopt, false, -1},
      {"\\\x95\x5C", "\\", std::nullopt, false, 1},
      {"\x81\x41", "A", std::nullopt, false, -1},
      {"ab\x81", "\x81", std::nullopt, false, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindTextReverse(c.text, c.sought, c.limit, c.ignoreCase), c.expected)
        << "text=\"" << c.text << "\" sought=\"" << c.sought
        << "\" limit=" << (c.limit ? std::to_string(*c.limit) : "none");
  }
}

TEST(FindTextReverse, LimitWalksBackThroughOccurrences) {
  const Text host = "a.b\xB0\x2E.x.y";  // 0xB0 0x2E is one character, not a dot
  std::vector<int> seen;
  for (int p = FindTextReverse(host, "."); p != -1; p = FindTextReverse(host, ".", p)) {
    seen.push_back(p);
  }
  EXPECT_EQ(seen, (std::vector<int>{8, 6, 2}));
}

TEST(TextCuts, LeftRightMidCountBytes) {
  struct Case {
    Text got;
    Text expected;
  };
  const Case cases[] = {
      {TextLeft("abc", 0), ""},
      {TextLeft("abc", -1), ""},
      {TextLeft("abc", 2), "ab"},
      {TextLeft("abc", 5), "abc"},
      {TextLeft("abc", INT_MAX), "abc"},
      {TextRight("abc", 2), "bc"},
      {TextRight("abc", 0), ""},
      {TextRight("abc", -2), ""},
      {TextRight("abc", 9), "abc"},
      {TextMid("abc", 3, 5), "c"},
      {TextMid("abc", 4, 1), ""},
      {TextMid("abc", 0, 2), ""},
      {TextMid("abc", 2, 0), ""},
      {TextMid("abc", 2, 1), "b"},
      {TextMid("abc", 1, INT_MAX), "abc"},
      {TextMid("abc", INT_MAX, INT_MAX), ""},
      {TextMid("", 1, 1), ""},
      // Plain bytes: a two-byte character may be cut in half.
      {TextLeft("\xB0\xD9", 1), "\xB0"},
      {TextRight("\xB0\xD9", 1), "\xD9"},
      {TextMid("a\xB0\xD9", 3, 1), "\xD9"},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    EXPECT_EQ(cases[i].got, cases[i].expected) << "case " << i;
  }
}

struct SplitCase {
  const char* text;
  const char* delimiter;
  std::vector<Text> expected;
};

TEST(SplitText, Cases) {
  const SplitCase cases[] = {
      {"", ";", {}},
      {"", "", {}},
      {"abc", "", {"abc"}},
      {"a;;b;", ";", {"a", "", "b"}},
      {";a", ";", {"", "a"}},
      {";", ";", {""}},
      {";;", ";", {"", ""}},
      {"abc", ";", {"abc"}},
      {"a; b; c", "; ", {"a", "b", "c"}},
      {"a;;b", ";;", {"a", "b"}},
      {"a;;;b", ";;", {"a", ";b"}},
      // Case-sensitive.
      {"aXbxc", "x", {"aXb", "c"}},
      // A delimiter byte inside a two-byte character does not split it.
      {"\x95\x5C\\x", "\\", {"\x95\x5C", "x"}},
      {"\x81;\x81", ";", {"\x81;\x81"}},
      // An incomplete last character stays in the last piece.
      {"a;b\x81", ";", {"a", "b\x81"}},
      {"a;\x81", "\x81", {"a;\x81"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitText(c.text, c.delimiter), c.expected)
        << "text=\"" << c.text << "\" delimiter=\"" << c.delimiter << "\"";
  }
}

struct ReplaceCase {
  const char* text;
  const char* sought;
  const char* replacement;
  bool caseSensitive;
  const char* expected;
};

TEST(ReplaceText, Cases) {
  const ReplaceCase cases[] = {
      {"", "a", "b", true, ""},
      {"abc", "", "x", true, "abc"},
      {"abcabc", "b", "", true, "acac"},
      {"abcabc", "bc", "BC!", true, "aBC!aBC!"},
      {"aaaa", "aa", "a", true, "aa"},
      {"aaa", "aa", "b", true, "ba"},
      // The output is never scanned again.
      {"ab", "a", "aa", true, "aab"},
      {"xhttp://http://y", "http://", "", true, "xy"},
      {"http://https://x", "https://", "", true, "http://x"},
      {"aAa", "a", "b", true, "bAb"},
      {"aAa", "a", "b", false, "bbb"},
      {"SET-COOKIE: a\r\nset-cookie: b\r\nSet-cookie: c", "Set-Cookie", "Set-Cookie", false,
       "Set-Cookie: a\r\nSet-Cookie: b\r\nSet-Cookie: c"},
      {"\x95\x5C\\", "\\", "/", true, "\x95\x5C/"},
      {"\x81\x41"
       "A",
       "a", "b", false,
       "\x81\x41"
       "b"},
      // After a match the scan resumes as if a character began there.
      {"\x81\x81\x81", "\x81", "-", true, "--\x81"},
      {"\x81\x41\x81\x41", "\x81", "-", true, "-\x41-\x41"},
      // An incomplete last character is kept, never matched.
      {"ab\x81", "\x81", "-", true, "ab\x81"},
      {"\xB0\xD9\x81", "b", "c", true, "\xB0\xD9\x81"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceText(c.text, c.sought, c.replacement, c.caseSensitive), c.expected)
        << "text=\"" << c.text << "\" sought=\"" << c.sought << "\"";
  }
}

struct OneTextCase {
  const char* text;
  const char* expected;
};

TEST(TrimSpaces, Cases) {
  const OneTextCase cases[] = {
      {"", ""},
      {"   ", ""},
      {"\xA1\xA1  a b  \xA1\xA1 ", "a b"},
      {"\t a", "\t a"},
      {"a\r\n", "a\r\n"},
      {" \xB0\xD9 ", "\xB0\xD9"},
      // 0xA1 0xA1 counts only where a character begins: here it is the tail of B0 A1, A1 B0.
      {"\xB0\xA1\xA1\xB0", "\xB0\xA1\xA1\xB0"},
      {"\xA1\xA1\xA1\xA1", ""},
      // An incomplete last character goes, and with it the spaces before it.
      {"ab\x81", "ab"},
      {"ab \x81", "ab"},
      {"\xA1", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(TrimSpaces(c.text), c.expected) << c.text;
}

TEST(RemoveSpaces, Cases) {
  const OneTextCase cases[] = {
      {"", ""},
      {" a b\xA1\xA1"
       "c ",
       "abc"},
      {"a\tb", "a\tb"},
      {"x=a b; y=c", "x=ab;y=c"},
      {"\xB0\xA1\xA1\xB0 ", "\xB0\xA1\xA1\xB0"},
      {"a b\x81", "ab"},
  };
  for (const auto& c : cases) EXPECT_EQ(RemoveSpaces(c.text), c.expected) << c.text;
}

TEST(ToLowerAscii, Cases) {
  const OneTextCase cases[] = {
      {"", ""},
      {"HTTP://X.Y/Path@[]", "http://x.y/path@[]"},
      // Second bytes in the letter range stay as they are.
      {"\x81\x41Z", "\x81\x41z"},
      {"\xA3\xC1", "\xA3\xC1"},
      {"A\x81", "a\x81"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToLowerAscii(c.text), c.expected) << c.text;
}

struct BetweenCase {
  const char* text;
  const char* left;
  const char* right;
  int start;
  bool ignoreCase;
  const char* expected;
};

TEST(TextBetween, Cases) {
  const char* quote = "#\xD2\xFD\xBA\xC5";  // "#引号" in GBK
  const BetweenCase cases[] = {
      {"http://x.y/", "http://", "/", 0, false, "x.y"},
      {"x=1", "x=", ";", 0, false, ""},
      {"x=1;", "x=", ";", 0, false, "1"},
      {"x=;", "x=", ";", 0, false, ""},
      {"a=\"v\" b=\"w\"", quote, quote, 0, false, "v"},
      {"id=\"7\"", "id=#\xD2\xFD\xBA\xC5", quote, 0, false, "7"},
      {"[a][b]", "[", "]", 1, false, "a"},
      {"[a][b]", "[", "]", 2, false, "b"},
      {"[a][b]", "[", "]", -5, false, "a"},
      {"<A>x</a>", "<a>", "</A>", 0, true, "x"},
      {"<A>x</a>", "<a>", "</A>", 0, false, ""},
      {"no left", "[", "]", 0, false, ""},
      // The right delimiter counts only after the left one.
      {"]x[y]", "[", "]", 0, false, "y"},
      // The left delimiter at the very end leaves nothing to search.
      {"ab[", "[", "]", 0, false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, c.ignoreCase), c.expected)
        << "text=\"" << c.text << "\"";
  }
}

TEST(TextAfterColon, Cases) {
  const OneTextCase cases[] = {
      {"abc", ""},
      {"abc:", ""},
      {"Content-Length: 12 ", "12"},
      {"a: b: c", "b: c"},
      {":\xA1\xA1x\xA1\xA1", "x"},
      {"\x95:", ""},  // 0x95 0x3A is one character, not a colon
  };
  for (const auto& c : cases) EXPECT_EQ(TextAfterColon(c.text), c.expected) << c.text;
}

TEST(FindBytes, Cases) {
  const std::string nul("a\0b", 3);
  struct Case {
    Bytes buffer;
    Bytes pattern;
    int expected;
  };
  const Case cases[] = {
      {"abc", "", -1},
      {"", "", -1},
      {"ab", "abc", -1},
      {"abc", "abc", 1},
      {"xabcabc", "bc", 3},
      {nul, std::string("\0b", 2), 2},
      {nul + nul, nul, 1},
      // No character stepping: a second byte is a position like any other.
      {"\x95\x5C", "\\", 2},
      {"\x81\x41", "A", 2},
      {"abC", "c", -1},
      {"<p>\xE7\x99\xBE\xE5\xBA\xA6\xE4\xB8\x80\xE4\xB8\x8B</p>",
       "\xE7\x99\xBE\xE5\xBA\xA6\xE4\xB8\x80\xE4\xB8\x8B", 4},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    EXPECT_EQ(FindBytes(cases[i].buffer, cases[i].pattern), cases[i].expected) << "case " << i;
  }
}

TEST(ByteHelpers, Cases) {
  EXPECT_EQ(ZeroBytes(3), std::string(3, '\0'));
  EXPECT_EQ(ZeroBytes(0), "");
  EXPECT_EQ(ZeroBytes(-1), "");
  EXPECT_EQ(BytesLeft(std::string("a\0c", 3), 2), std::string("a\0", 2));
  EXPECT_EQ(BytesLeft("abc", -1), "");
  EXPECT_EQ(BytesLeft("abc", 9), "abc");
  EXPECT_EQ(ConcatBytes(std::string("a\0", 2), "b"), std::string("a\0b", 3));
  EXPECT_EQ(ConcatBytes("", ""), "");
  EXPECT_EQ(TextBytes("\xB0\xD9"), "\xB0\xD9");
  EXPECT_EQ(BytesLength(std::string("\0\0", 2)), 2);
  EXPECT_EQ(Spaces(3), "   ");
  EXPECT_EQ(Spaces(-2), "");
}

TEST(TextToInt, Cases) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"", 0},
      {"abc", 0},
      {"7s", 7},
      {"1.9", 1},
      {" -3", -3},
      {"+5", 5},
      {"--5", 0},
      {"- 5", 0},
      {"\t\n\v\f\r 8", 8},
      {"0x10", 0},
      {"007", 7},
      {"-0", 0},
      {"99999999999", 1215752191},
      {"4294967295", -1},
      {"4294967296", 0},
      {"2147483647", INT32_MAX},
      {"2147483648", INT32_MIN},
      {"-2147483648", INT32_MIN},
      {"-2147483649", INT32_MAX},
      {"-4294967295", 1},
      // Full-width forms fold to ASCII: digits, signs and the full-width space.
      {"\xA3\xB1\xA3\xB2", 12},
      {"\xA1\xA1\xA3\xAD\xA3\xB3", -3},
      {"\xA3\xAB"
       "4",
       4},
      {"1\xA3\xB2"
       "3",
       123},
      {"\xA3\xB1\xA3\xAE\xA3\xB9", 1},
      // 0xA3 0xB1 only folds where a character begins.
      {"\xB0\xA3\xB1", 0},
      {"5\xA3", 5},
      {"\xA3\xFF", 0},
      {"\xA3", 0},
      {"-", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(TextToInt(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace vd
