// Text and byte-buffer operations every other part rests on. Texts are GBK byte strings:
// positions are 1-based bytes, a failed search gives -1, searches step over two-byte
// characters whole (a byte >= 0x80 takes the next byte with it), and empty equals absent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vd {

using Text = std::string;              // GBK bytes, no NUL inside
using TextList = std::vector<Text>;    // indexed from 1 by its users
using Bytes = std::string;             // arbitrary bytes, length-counted

// First match at or after `start` (omitted, 0 or 1: whole text), or -1.
int FindText(const Text& text, const Text& sought, int start = 0, bool ignoreCase = false);
// Last match lying wholly before `limit` (omitted: whole text; <= 1: nothing), or -1.
int FindTextReverse(const Text& text, const Text& sought, std::optional<int> limit = std::nullopt,
                    bool ignoreCase = false);

Text TextLeft(const Text& text, int n);
Text TextRight(const Text& text, int n);
Text TextMid(const Text& text, int start, int n);

TextList SplitText(const Text& text, const Text& delimiter);
Text ReplaceText(const Text& text, const Text& sought, const Text& replacement, bool caseSensitive);

Text TrimSpaces(const Text& text);   // ASCII space and the full-width space 0xA1 0xA1
Text RemoveSpaces(const Text& text);
Text ToLowerAscii(const Text& text);

// Bytes strictly between `left` and the next `right`; "#引号" in a delimiter means '"'.
Text TextBetween(const Text& text, const Text& left, const Text& right, int start = 0,
                 bool ignoreCase = false);
Text TextAfterColon(const Text& text);

// Plain byte search without character stepping; -1 for an empty pattern or no match.
int FindBytes(const Bytes& buffer, const Bytes& pattern);

// Byte-buffer helpers.
Bytes ZeroBytes(int n);
Bytes BytesLeft(const Bytes& buffer, int n);  // n clamped to 0..length
Bytes ConcatBytes(const Bytes& a, const Bytes& b);
Bytes TextBytes(const Text& text);
int BytesLength(const Bytes& buffer);
Text Spaces(int n);

// The program's text-to-number rule: full-width forms folded, leading white space, one sign,
// decimal digits, 32-bit wrap-around; no digits gives 0.
int32_t TextToInt(const Text& text);

}  // namespace vd
