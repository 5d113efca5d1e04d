#include "app/TypingFilter.h"

namespace vd {

// Codes below 32 (backspace, Ctrl+V, Ctrl+A) keep their editing meaning; pasting is not typing.
bool TypedCharPasses(uint32_t code) {
  return code < 32 || code == '-' || (code >= '0' && code <= '9');
}

}  // namespace vd
