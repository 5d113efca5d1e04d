// Text operations against their invariants: positions in range, matches only where a character
// begins and only of the sought bytes, split pieces that rejoin to the text.
#include <algorithm>
#include <cstring>

#include "FuzzInput.h"
#include "text/Text.h"

namespace {

bool EqualBytes(const std::string& a, size_t at, const std::string& b, bool ignoreCase) {
  if (at + b.size() > a.size()) return false;
  for (size_t i = 0; i < b.size(); ++i) {
    unsigned char x = a[at + i], y = b[i];
    if (ignoreCase) {
      if (x >= 'A' && x <= 'Z') x += 32;
      if (y >= 'A' && y <= 'Z') y += 32;
    }
    if (x != y) return false;
  }
  return true;
}

void CheckMatch(const std::string& text, const std::string& sought, int pos, bool ignoreCase) {
  if (pos == -1) return;
  VD_FUZZ_CHECK(pos >= 1 && pos <= static_cast<int>(text.size()));
  if (!sought.empty()) VD_FUZZ_CHECK(EqualBytes(text, pos - 1, sought, ignoreCase));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vd::fuzz::Input in(data, size);
  const std::string text = in.Text(), sought = in.Text(), other = in.Text();
  const int n = in.Small();
  const bool ic = in.Flag();
  const int len = static_cast<int>(text.size());

  const int f = vd::FindText(text, sought, n, ic);
  CheckMatch(text, sought, f, ic);
  if (f != -1 && !sought.empty() && n <= 1) VD_FUZZ_CHECK(vd::fuzz::StartsCharacter(text, f));
  // An empty sought text is found at 1 whenever the range is not empty.
  if (f != -1 && n > 1 && !sought.empty()) VD_FUZZ_CHECK(f >= n);

  const int r = vd::FindTextReverse(text, sought, n, ic);
  CheckMatch(text, sought, r, ic);
  if (r != -1 && !sought.empty()) {
    VD_FUZZ_CHECK(vd::fuzz::StartsCharacter(text, r));
    VD_FUZZ_CHECK(r + static_cast<int>(sought.size()) - 1 <= n - 1);
  }
  const int whole = vd::FindTextReverse(text, sought, std::nullopt, ic);
  CheckMatch(text, sought, whole, ic);
  if (whole != -1 && !sought.empty()) VD_FUZZ_CHECK(vd::fuzz::StartsCharacter(text, whole));

  VD_FUZZ_CHECK(static_cast<int>(vd::TextLeft(text, n).size()) == (n <= 0 ? 0 : std::min(n, len)));
  VD_FUZZ_CHECK(static_cast<int>(vd::TextRight(text, n).size()) == (n <= 0 ? 0 : std::min(n, len)));
  VD_FUZZ_CHECK(static_cast<int>(vd::TextMid(text, n, len).size()) <= len);

  const vd::TextList pieces = vd::SplitText(text, sought);
  if (text.empty()) {
    VD_FUZZ_CHECK(pieces.empty());
  } else if (sought.empty()) {
    VD_FUZZ_CHECK(pieces.size() == 1 && pieces[0] == text);
  } else {
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) joined += (i ? sought : "") + pieces[i];
    VD_FUZZ_CHECK(joined == text || joined + sought == text);
  }

  // Replacing a text by itself changes nothing; replacing by `other` keeps all other bytes.
  VD_FUZZ_CHECK(vd::ReplaceText(text, sought, sought, true) == text);
  (void)vd::ReplaceText(text, sought, other, ic);

  const std::string trimmed = vd::TrimSpaces(text), removed = vd::RemoveSpaces(text);
  VD_FUZZ_CHECK(trimmed.size() <= text.size() && removed.size() <= trimmed.size());
  VD_FUZZ_CHECK(vd::RemoveSpaces(removed) == removed);
  VD_FUZZ_CHECK(vd::ToLowerAscii(text).size() == text.size());

  VD_FUZZ_CHECK(vd::TextBetween(text, sought, other, n, ic).size() <= text.size());
  VD_FUZZ_CHECK(vd::TextAfterColon(text).size() <= text.size());

  const int b = vd::FindBytes(text, sought);
  if (b != -1) VD_FUZZ_CHECK(b >= 1 && memcmp(text.data() + b - 1, sought.data(), sought.size()) == 0);
  else if (!sought.empty()) VD_FUZZ_CHECK(text.find(sought) == std::string::npos);
  return 0;
}
