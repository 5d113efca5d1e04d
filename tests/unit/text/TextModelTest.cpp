// The searching operations do not step character by character: they look for candidates with a
// byte search (falling back to KMP on repetitive input) and decide character starts from the run
// of high bytes before a candidate. These tests compare them with the plain stepping scan on
// random GBK-like texts, where second bytes, incomplete characters and repeats are common.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "text/Text.h"

namespace vd {
namespace {

using Byte = unsigned char;

size_t CharLen(const Text& t, size_t p) { return static_cast<Byte>(t[p]) >= 0x80 ? 2 : 1; }
bool Incomplete(const Text& t, size_t p) {
  return p + 1 == t.size() && static_cast<Byte>(t[p]) >= 0x80;
}
Byte Fold(Byte b) { return (b >= 'A' && b <= 'Z') ? b + 0x20 : b; }
bool EqualAt(const Text& t, size_t p, const Text& s, bool ignoreCase) {
  for (size_t k = 0; k < s.size(); ++k) {
    const Byte a = t[p + k], b = s[k];
    if (ignoreCase ? Fold(a) != Fold(b) : a != b) return false;
  }
  return true;
}

int ModelFind(const Text& t, const Text& s, int start, bool ic) {
  const size_t begin = start <= 1 ? 0 : start - 1;
  if (begin >= t.size()) return -1;
  if (s.empty()) return 1;
  for (size_t p = begin; p < t.size() && t.size() - p >= s.size(); p += CharLen(t, p)) {
    if (Incomplete(t, p)) break;
    if (EqualAt(t, p, s, ic)) return static_cast<int>(p + 1);
  }
  return -1;
}

int ModelReverse(const Text& t, const Text& s, std::optional<int> limit, bool ic) {
  size_t end = t.size();
  if (limit) {
    if (*limit <= 1) return -1;
    end = std::min(end, static_cast<size_t>(*limit - 1));
  }
  if (end == 0) return -1;
  if (s.empty()) return 1;
  int last = -1;
  for (size_t p = 0; p < t.size() && p + s.size() <= end; p += CharLen(t, p)) {
    if (Incomplete(t, p)) break;
    if (EqualAt(t, p, s, ic)) last = static_cast<int>(p + 1);
  }
  return last;
}

TextList ModelSplit(const Text& t, const Text& d) {
  if (t.empty()) return {};
  if (d.empty()) return {t};
  TextList out;
  size_t pieceBegin = 0, p = 0;
  while (p < t.size()) {
    if (t.size() - p < d.size() || Incomplete(t, p)) break;
    if (EqualAt(t, p, d, false)) {
      out.push_back(t.substr(pieceBegin, p - pieceBegin));
      p += d.size();
      pieceBegin = p;
    } else {
      p += CharLen(t, p);
    }
  }
  if (pieceBegin < t.size()) out.push_back(t.substr(pieceBegin));
  return out;
}

Text ModelReplace(const Text& t, const Text& s, const Text& r, bool caseSensitive) {
  if (t.empty() || s.empty()) return t;
  Text out;
  size_t p = 0;
  while (p < t.size()) {
    if (t.size() - p < s.size() || Incomplete(t, p)) break;
    if (EqualAt(t, p, s, !caseSensitive)) {
      out += r;
      p += s.size();
    } else {
      out.append(t, p, CharLen(t, p));
      p += CharLen(t, p);
    }
  }
  out.append(t, std::min(p, t.size()), Text::npos);
  return out;
}

// Bytes chosen to collide: letters in both cases, second-byte lookalikes, lead bytes, separators.
Text RandomText(std::mt19937& rng, size_t maxLen) {
  static const Byte alphabet[] = {'a', 'A', 'b', '.', ';', ' ', '\\', 0x41, 0x5C, 0x81, 0xA1, 0xB0};
  std::uniform_int_distribution<size_t> len(0, maxLen);
  std::uniform_int_distribution<size_t> pick(0, sizeof alphabet - 1);
  Text t(len(rng), ' ');
  for (auto& c : t) c = static_cast<char>(alphabet[pick(rng)]);
  return t;
}

// Mostly a piece of the text itself, so that matches are frequent.
Text RandomSought(std::mt19937& rng, const Text& t) {
  std::uniform_int_distribution<int> coin(0, 3);
  if (t.empty() || coin(rng) == 0) return RandomText(rng, 3);
  std::uniform_int_distribution<size_t> at(0, t.size() - 1);
  const size_t p = at(rng);
  std::uniform_int_distribution<size_t> len(1, std::min<size_t>(4, t.size() - p));
  return t.substr(p, len(rng));
}

TEST(TextModel, RandomTextsAgreeWithTheSteppingScan) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int> pos(-1, 26);
  for (int i = 0; i < 30000; ++i) {
    const Text t = RandomText(rng, 24);
    const Text s = RandomSought(rng, t);
    const Text r = RandomText(rng, 2);
    const int start = pos(rng);
    const bool ic = i % 2 == 0;
    const std::optional<int> limit = i % 5 == 0 ? std::nullopt : std::optional<int>(pos(rng));
    ASSERT_EQ(FindText(t, s, start, ic), ModelFind(t, s, start, ic))
        << "t=\"" << t << "\" s=\"" << s << "\" start=" << start << " ic=" << ic;
    ASSERT_EQ(FindTextReverse(t, s, limit, ic), ModelReverse(t, s, limit, ic))
        << "t=\"" << t << "\" s=\"" << s << "\" limit=" << limit.value_or(99) << " ic=" << ic;
    ASSERT_EQ(SplitText(t, s), ModelSplit(t, s)) << "t=\"" << t << "\" s=\"" << s << "\"";
    ASSERT_EQ(ReplaceText(t, s, r, !ic), ModelReplace(t, s, r, !ic))
        << "t=\"" << t << "\" s=\"" << s << "\" ic=" << ic;
  }
}

// Long repetitive inputs, where candidates fail late and the search switches to KMP; runs of
// lead bytes make every other candidate a second byte.
TEST(TextModel, RepetitiveInputsAgreeWithTheSteppingScan) {
  struct Case {
    Text text;
    Text sought;
  };
  const Text as(6000, 'a');
  const Text leads(6001, '\x81');
  const Case cases[] = {
      {as, Text(300, 'a') + "b"},
      {as + "b", Text(300, 'a') + "b"},
      {as + "b" + as, Text(300, 'a') + "b"},
      {as + "B", Text(40, 'A') + "b"},
      {leads, Text(200, '\x81') + "x"},
      {leads + "x", Text(200, '\x81') + "x"},
      {"a" + leads + "x", Text(200, '\x81') + "x"},
      {leads + "\x41", Text(31, '\x81') + "A"},
      {leads.substr(1) + "\x41", Text(31, '\x81') + "A"},
      {leads, "\x81\x81"},
      // Every position matches: the overlapping matches of a reverse search drive the switch.
      {as, Text(300, 'a')},
      {leads, Text(100, '\x81')},
      {as + leads, "a\x81"},
  };
  for (const auto& c : cases) {
    for (bool ic : {false, true}) {
      const std::string what = "text size " + std::to_string(c.text.size()) + " sought size " +
                               std::to_string(c.sought.size()) + " ic " + std::to_string(ic);
      EXPECT_EQ(FindText(c.text, c.sought, 0, ic), ModelFind(c.text, c.sought, 0, ic)) << what;
      EXPECT_EQ(FindText(c.text, c.sought, 2, ic), ModelFind(c.text, c.sought, 2, ic)) << what;
      EXPECT_EQ(FindTextReverse(c.text, c.sought, std::nullopt, ic),
                ModelReverse(c.text, c.sought, std::nullopt, ic))
          << what;
      EXPECT_EQ(ReplaceText(c.text, c.sought, "-", !ic), ModelReplace(c.text, c.sought, "-", !ic))
          << what;
    }
    EXPECT_EQ(SplitText(c.text, c.sought), ModelSplit(c.text, c.sought));
    const size_t plain = c.text.find(c.sought);
    EXPECT_EQ(FindBytes(c.text, c.sought), plain == Text::npos ? -1 : static_cast<int>(plain + 1));
  }
}

}  // namespace
}  // namespace vd
