#include "http/Cookies.h"

#include <unordered_set>

namespace vd {

// The server's pairs come first, then the old pairs whose names it did not return; pairs ending
// in "=deleted" go, and exact repeats collapse. Sets stand in for the list look-ups so that a
// long cookie text is not rescanned once per pair.
Text MergeCookies(Text& cookies, Text& returned) {
  cookies = RemoveSpaces(cookies);
  returned = RemoveSpaces(returned);
  const TextList old = SplitText(cookies, ";");
  TextList merged = SplitText(returned, ";");

  std::unordered_set<Text> names;  // CookieName of every element of merged
  for (const Text& pair : merged) names.insert(CookieName(pair));
  for (const Text& pair : old) {
    if (names.insert(CookieName(pair)).second) merged.push_back(pair);
  }

  Text joined;
  for (const Text& pair : merged) {
    if (TextRight(pair, 8) == "=deleted") continue;
    joined += pair;
    joined += "; ";
  }
  joined = TextLeft(joined, static_cast<int>(joined.size()) - 2);
  cookies = DedupeJoin(joined, "; ");
  return cookies;
}

Text CookieName(const Text& pair) {
  const int eq = FindText(pair, "=");
  return TrimSpaces(eq == -1 ? pair : TextLeft(pair, eq - 1));
}

bool CookieNameExists(const TextList& list, const Text& name) {
  for (const Text& pair : list) {
    if (CookieName(pair) == name) return true;
  }
  return false;
}

Text DedupeJoin(const Text& text, const Text& separator) {
  std::unordered_set<Text> kept;
  Text out;
  for (const Text& piece : SplitText(text, separator)) {
    if (!kept.insert(piece).second) continue;
    out += piece;
    out += separator;
  }
  return TextLeft(out, static_cast<int>(out.size()) - static_cast<int>(separator.size()));
}

int FindExact(const TextList& list, const Text& text) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] == text) return static_cast<int>(i + 1);
  }
  return -1;
}

}  // namespace vd
