#include "http/Url.h"

#include <vector>

namespace vd {

namespace {

// Step 6 of both ways of cutting the host: the port goes unless asked for.
Text DropPort(const Text& host) {
  const int colon = FindText(host, ":");
  return colon == -1 ? host : TextLeft(host, colon - 1);
}

// Cuts the host by counting dots back from its end. Each FindTextReverse(s, ".", h) would rescan
// s from its start, so the dots are listed once in the same stepping scan and looked up instead.
Text HostByLevels(const Text& url, bool mainDomainOnly, int levels) {
  Text s = ReplaceText(ToLowerAscii(url), "http://", "", true);
  s = ReplaceText(s, "https://", "", true);
  const int slash = FindText(s, "/");
  if (slash != -1) s = TextLeft(s, slash - 1);

  std::vector<int> dots;  // positions of the dots, ascending
  for (int p = FindText(s, "."); p != -1; p = FindText(s, ".", p + 1)) dots.push_back(p);
  size_t below = dots.size();  // dots[0, below) are the dots before the current limit
  // FindTextReverse(s, ".", h): the last dot before position h.
  auto dotBefore = [&](int h) {
    while (below > 0 && dots[below - 1] >= h) --below;
    return below > 0 ? dots[below - 1] : -1;
  };

  const int length = static_cast<int>(s.size());
  int h = length;
  for (int i = 0; i < levels && h != -1; ++i) h = dotBefore(h);
  const int d = dotBefore(h);
  if (mainDomainOnly) {
    s = TextRight(s, length - d);
  } else if (d != -1) {
    const int d2 = dotBefore(d);
    if (d2 != -1) s = TextRight(s, length - d2);
  }
  return s;
}

}  // namespace

// The host is what follows the first scheme text up to the next "/"; without a scheme text the
// URL counts as plain HTTP. A scheme text later in the URL (in a query) is taken as the host's.
Text UrlHost(const Text& url, bool mainDomainOnly, bool keepPort, std::optional<int> levels) {
  Text s;
  if (levels) {
    s = HostByLevels(url, mainDomainOnly, *levels);
  } else {
    s = ToLowerAscii(url);
    if (s.empty() || s.back() != '/') s += '/';
    if (TextLeft(s, 8) == "https://") {
      s = TextBetween(s, "https://", "/");
    } else {
      if (FindText(s, "http://") == -1) s.insert(0, "http://");
      s = TextBetween(s, "http://", "/");
    }
    if (mainDomainOnly) {
      const TextList labels = SplitText(s, ".");
      if (labels.size() >= 2) s = labels[labels.size() - 2] + "." + labels.back();
    }
  }
  return keepPort ? s : DropPort(s);
}

int32_t UrlPort(const Text& url) {
  const Text hostPort = UrlHost(url, false, true);
  const int colon = FindTextReverse(hostPort, ":");
  if (colon == -1) return TextLeft(ToLowerAscii(url), 5) == "https" ? 443 : 80;
  return TextToInt(TextRight(hostPort, static_cast<int>(hostPort.size()) - colon));
}

// The object name starts at the first "/" after the first occurrence of the host text, searched
// from the start of the URL; a host that also occurs earlier (say inside "http") moves it.
Text UrlObjectName(const Text& url) {
  const Text host = UrlHost(url);
  const int a = FindText(url, host, 1, true);
  const int b = FindText(url, "/", a, true);
  if (b <= 0) return "/";
  return TextRight(url, static_cast<int>(url.size()) - b + 1);
}

}  // namespace vd
