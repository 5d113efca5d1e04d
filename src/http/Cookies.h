// Cookie text helpers: merging a caller's cookie text with the cookies a server set.
#pragma once

#include "text/Text.h"

namespace vd {

// Rewrites both arguments (spaces removed) and returns the merged text, which `cookies` also holds.
Text MergeCookies(Text& cookies, Text& returned);
Text CookieName(const Text& pair);
bool CookieNameExists(const TextList& list, const Text& name);
Text DedupeJoin(const Text& text, const Text& separator);
int FindExact(const TextList& list, const Text& text);

}  // namespace vd
