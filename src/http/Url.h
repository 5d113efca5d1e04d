// Host, port and object name of a URL, by the text operations (not a URL parser).
#pragma once

#include <optional>

#include "text/Text.h"

namespace vd {

Text UrlHost(const Text& url, bool mainDomainOnly = false, bool keepPort = false,
             std::optional<int> levels = std::nullopt);
int32_t UrlPort(const Text& url);
Text UrlObjectName(const Text& url);

}  // namespace vd
