#include "text/Text.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace vd {

namespace {

using Byte = unsigned char;
constexpr size_t kNone = static_cast<size_t>(-1);

inline Byte At(const Text& t, size_t i) { return static_cast<Byte>(t[i]); }
inline bool IsLead(Byte b) { return b >= 0x80; }
inline Byte FoldAscii(Byte b) { return (b >= 'A' && b <= 'Z') ? static_cast<Byte>(b + 0x20) : b; }
inline bool IsAsciiLetter(Byte b) { return FoldAscii(b) >= 'a' && FoldAscii(b) <= 'z'; }

// Byte positions and lengths go back to callers as int; texts never come near 2 GiB.
inline int ToPos(size_t zeroBased) { return static_cast<int>(zeroBased + 1); }

// Finds byte-level occurrences of a pattern in hay[0, end), in increasing order of start.
// memchr on an anchor byte plus a short compare is fast on real texts; once compares have cost
// more than twice the distance covered, it falls back to KMP, so any input stays linear.
class Searcher {
 public:
  Searcher(const char* hay, size_t end, const char* pat, size_t m, bool fold)
      : hay_(reinterpret_cast<const Byte*>(hay)),
        end_(end),
        pat_(reinterpret_cast<const Byte*>(pat)),
        m_(m),
        fold_(fold) {
    // Ignoring case, memchr needs an anchor byte that has no other case.
    if (fold_) {
      while (anchor_ < m_ && IsAsciiLetter(pat_[anchor_])) ++anchor_;
      if (anchor_ == m_) StartKmp(0);
    }
  }

  // Start of the first occurrence at or after `from`, or kNone. `from` never decreases.
  size_t Next(size_t from) { return kmp_ ? NextKmp(from) : NextFast(from); }

 private:
  Byte F(Byte b) const { return fold_ ? FoldAscii(b) : b; }

  // Matches count as work too: overlapping ones (a reverse search) are compared again and again.
  size_t NextFast(size_t from) {
    while (from < end_ && end_ - from >= m_) {
      if (work_ > 2 * from + 1024) {
        StartKmp(from);
        return NextKmp(from);
      }
      const size_t span = end_ - from - m_ + 1;  // candidate starts left
      const void* hit = std::memchr(hay_ + from + anchor_, pat_[anchor_], span);
      if (!hit) return kNone;
      const size_t s = static_cast<const Byte*>(hit) - hay_ - anchor_;
      size_t k = 0;
      while (k < m_ && F(hay_[s + k]) == F(pat_[k])) ++k;
      work_ += k + 1;
      if (k == m_) return s;
      from = s + 1;
    }
    return kNone;
  }

  void StartKmp(size_t from) {
    kmp_ = true;
    fail_.assign(m_ + 1, 0);
    for (size_t q = 1, k = 0; q < m_; ++q) {
      while (k > 0 && F(pat_[q]) != F(pat_[k])) k = fail_[k];
      if (F(pat_[q]) == F(pat_[k])) ++k;
      fail_[q + 1] = k;
    }
    i_ = from;
    q_ = 0;
  }

  size_t NextKmp(size_t from) {
    if (from > i_) {
      i_ = from;
      q_ = 0;
    }
    while (q_ > 0 && i_ - q_ < from) q_ = fail_[q_];  // drop partial matches begun before from
    while (i_ < end_) {
      const Byte c = F(hay_[i_]);
      while (q_ > 0 && (q_ == m_ || F(pat_[q_]) != c)) q_ = fail_[q_];
      if (F(pat_[q_]) == c) ++q_;
      ++i_;
      if (q_ == m_) return i_ - m_;
    }
    return kNone;
  }

  const Byte* hay_;
  size_t end_;
  const Byte* pat_;
  size_t m_;
  bool fold_;
  size_t anchor_ = 0;
  size_t work_ = 0;
  bool kmp_ = false;
  std::vector<size_t> fail_;
  size_t i_ = 0, q_ = 0;
};

// Tells whether a byte position begins a character, for positions asked in increasing order.
// Only the run of bytes >= 0x80 just before a position decides it (a byte below 0x80 always ends
// a character), and the walk back never passes the last known start, so the total is linear.
class CharStarts {
 public:
  CharStarts(const Text& t, size_t known) : t_(t), known_(known) {}

  bool IsStart(size_t s) {
    if (s < known_) return false;
    size_t k = s;
    while (k > known_ && IsLead(At(t_, k - 1))) --k;
    const bool start = (s - k) % 2 == 0;
    known_ = start ? s : s + 1;
    return start;
  }
  // The scan resumes here as if a character began here (after a match).
  void Resume(size_t pos) { known_ = pos; }

 private:
  const Text& t_;
  size_t known_;
};

// A match position per the scanning rules: a character start that is not an incomplete
// character at the very end of the text (scanning ends there).
inline bool ScanStop(const Text& t, size_t s) { return s + 1 == t.size() && IsLead(At(t, s)); }

constexpr size_t kStep = kNone - 1;

// Calls f(start) for each match where the stepping scan would find it, from `begin` up to `end`.
// f returns kStep to go on to the next character, a position to resume at as if a character
// began there (past the match, to skip it), or kNone to stop.
template <typename F>
void ForEachMatch(const Text& text, size_t begin, size_t end, const Text& sought, bool ignoreCase,
                  F f) {
  Searcher searcher(text.data(), end, sought.data(), sought.size(), ignoreCase);
  CharStarts starts(text, begin);
  size_t from = begin;
  for (;;) {
    const size_t s = searcher.Next(from);
    if (s == kNone) return;
    if (!starts.IsStart(s)) {
      from = s + 1;
      continue;
    }
    if (ScanStop(text, s)) return;
    const size_t next = f(s);
    if (next == kNone) return;
    if (next == kStep) {
      from = s + 1;  // the next start is found like any other
    } else {
      starts.Resume(next);
      from = next;
    }
  }
}

// Calls f(begin, length) for each character from the start; an incomplete last character is
// reported with length 1.
template <typename F>
void ForEachChar(const Text& text, F f) {
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    const size_t len = (IsLead(At(text, i)) && i + 1 < n) ? 2 : 1;
    f(i, len);
    i += len;
  }
}

inline bool IsSpaceChar(const Text& t, size_t i, size_t len) {
  return len == 1 ? At(t, i) == 0x20 : (At(t, i) == 0xA1 && At(t, i + 1) == 0xA1);
}
inline bool IsIncomplete(const Text& t, size_t i, size_t len) {
  return len == 1 && IsLead(At(t, i));
}

}  // namespace

int FindText(const Text& text, const Text& sought, int start, bool ignoreCase) {
  const size_t n = text.size();
  const size_t begin = start <= 1 ? 0 : static_cast<size_t>(start) - 1;
  if (begin >= n) return -1;
  if (sought.empty()) return 1;
  int found = -1;
  ForEachMatch(text, begin, n, sought, ignoreCase, [&](size_t s) {
    found = ToPos(s);
    return kNone;
  });
  return found;
}

// One forward scan that keeps the last match; walking back from the end would need the
// character starts, which only a forward scan knows.
int FindTextReverse(const Text& text, const Text& sought, std::optional<int> limit,
                    bool ignoreCase) {
  size_t end = text.size();
  if (limit) {
    if (*limit <= 1) return -1;
    end = std::min(end, static_cast<size_t>(*limit) - 1);
  }
  if (end == 0) return -1;
  if (sought.empty()) return 1;
  int found = -1;
  ForEachMatch(text, 0, end, sought, ignoreCase, [&](size_t s) {
    found = ToPos(s);
    return kStep;
  });
  return found;
}

Text TextLeft(const Text& text, int n) {
  if (n <= 0) return Text();
  return text.substr(0, static_cast<size_t>(n));
}

Text TextRight(const Text& text, int n) {
  if (n <= 0) return Text();
  const size_t k = std::min(text.size(), static_cast<size_t>(n));
  return text.substr(text.size() - k);
}

Text TextMid(const Text& text, int start, int n) {
  if (start < 1 || static_cast<size_t>(start) > text.size() || n <= 0) return Text();
  return text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(n));
}

TextList SplitText(const Text& text, const Text& delimiter) {
  TextList pieces;
  if (text.empty()) return pieces;
  if (delimiter.empty()) {
    pieces.push_back(text);
    return pieces;
  }
  size_t pieceBegin = 0;
  ForEachMatch(text, 0, text.size(), delimiter, false, [&](size_t s) {
    pieces.emplace_back(text, pieceBegin, s - pieceBegin);
    pieceBegin = s + delimiter.size();
    return pieceBegin;
  });
  if (pieceBegin < text.size()) pieces.emplace_back(text, pieceBegin, Text::npos);
  return pieces;
}

Text ReplaceText(const Text& text, const Text& sought, const Text& replacement,
                 bool caseSensitive) {
  if (text.empty() || sought.empty()) return text;
  Text out;
  out.reserve(text.size());
  size_t copied = 0;
  ForEachMatch(text, 0, text.size(), sought, !caseSensitive, [&](size_t s) {
    out.append(text, copied, s - copied);
    out += replacement;
    copied = s + sought.size();
    return copied;
  });
  // An incomplete last character ends the scan but is not dropped: the bytes stay as they were.
  out.append(text, copied, Text::npos);
  return out;
}

Text TrimSpaces(const Text& text) {
  size_t first = kNone, last = 0;  // first kept byte, one past the last kept byte
  ForEachChar(text, [&](size_t i, size_t len) {
    if (IsSpaceChar(text, i, len) || IsIncomplete(text, i, len)) return;
    if (first == kNone) first = i;
    last = i + len;
  });
  if (first == kNone) return Text();
  return text.substr(first, last - first);
}

Text RemoveSpaces(const Text& text) {
  Text out;
  out.reserve(text.size());
  ForEachChar(text, [&](size_t i, size_t len) {
    if (IsSpaceChar(text, i, len) || IsIncomplete(text, i, len)) return;
    out.append(text, i, len);
  });
  return out;
}

Text ToLowerAscii(const Text& text) {
  Text out = text;
  ForEachChar(text, [&](size_t i, size_t len) {
    if (len == 1) out[i] = static_cast<char>(FoldAscii(At(text, i)));
  });
  return out;
}

Text TextBetween(const Text& text, const Text& left, const Text& right, int start,
                 bool ignoreCase) {
  // "#引号" in GBK: lets a caller write a double quote inside a delimiter.
  static const Text kQuotePlaceholder = "#\xD2\xFD\xBA\xC5";
  const Text l = ReplaceText(left, kQuotePlaceholder, "\"", true);
  const Text r = ReplaceText(right, kQuotePlaceholder, "\"", true);
  int a = FindText(text, l, start, ignoreCase);
  if (a != -1) a += static_cast<int>(l.size());
  const int b = FindText(text, r, a, ignoreCase);
  if (a == -1 || b == -1) return Text();
  return TextMid(text, a, b - a);
}

Text TextAfterColon(const Text& text) {
  const int p = FindText(text, ":");
  if (p == -1) return Text();
  return TrimSpaces(TextRight(text, static_cast<int>(text.size()) - p));
}

int FindBytes(const Bytes& buffer, const Bytes& pattern) {
  if (pattern.empty() || buffer.size() < pattern.size()) return -1;
  Searcher searcher(buffer.data(), buffer.size(), pattern.data(), pattern.size(), false);
  const size_t s = searcher.Next(0);
  return s == kNone ? -1 : ToPos(s);
}

Bytes ZeroBytes(int n) { return n <= 0 ? Bytes() : Bytes(static_cast<size_t>(n), '\0'); }

Bytes BytesLeft(const Bytes& buffer, int n) {
  return n <= 0 ? Bytes() : buffer.substr(0, static_cast<size_t>(n));
}

Bytes ConcatBytes(const Bytes& a, const Bytes& b) {
  Bytes out;
  out.reserve(a.size() + b.size());
  out += a;
  out += b;
  return out;
}

Bytes TextBytes(const Text& text) { return text; }

int BytesLength(const Bytes& buffer) { return static_cast<int>(buffer.size()); }

Text Spaces(int n) { return n <= 0 ? Text() : Text(static_cast<size_t>(n), ' '); }

// Full-width forms are folded on the fly while stepping by characters; the value wraps in
// unsigned 32-bit arithmetic, so there is neither an overflow error nor undefined behaviour.
int32_t TextToInt(const Text& text) {
  const size_t n = text.size();
  size_t i = 0;
  // The next character folded to one byte, or 0 for a character that folds to nothing ASCII.
  auto next = [&]() -> Byte {
    const Byte b = At(text, i);
    if (!IsLead(b) || i + 1 >= n) {
      ++i;
      return b;
    }
    const Byte t = At(text, i + 1);
    i += 2;
    if (b == 0xA3 && t >= 0xA1 && t <= 0xFE) return static_cast<Byte>(t - 0x80);
    if (b == 0xA1 && t == 0xA1) return ' ';
    return 0;  // any other two-byte character ends the number
  };
  Byte c = 0;
  do {
    if (i >= n) return 0;
    c = next();
  } while (c == ' ' || (c >= '\t' && c <= '\r'));
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    if (i >= n) return 0;
    c = next();
  }
  uint32_t value = 0;
  while (c >= '0' && c <= '9') {
    value = value * 10u + static_cast<uint32_t>(c - '0');
    if (i >= n) break;
    c = next();
  }
  if (negative) value = 0u - value;
  // Two's complement reading of the 32 bits, without an implementation-defined conversion.
  return value <= static_cast<uint32_t>(INT32_MAX)
             ? static_cast<int32_t>(value)
             : static_cast<int32_t>(value - 0x80000000u) + INT32_MIN;
}

}  // namespace vd
