// The default probe: one GET of the portal's home page, success when the UTF-8 bytes of
// "百度一下" occur anywhere in the body. Blocks the calling (worker) thread.
#pragma once

namespace vd {

bool WebPageProbe();

}  // namespace vd
