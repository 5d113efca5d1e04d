// What the two edit boxes accept from the keyboard: control characters, digits and "-".
#pragma once

#include <cstdint>

namespace vd {

// True when a typed character (WM_CHAR code) reaches the edit box.
bool TypedCharPasses(uint32_t code);

}  // namespace vd
