// The product's name as the window and its message boxes show it.
#pragma once

#include "zel_version.h"

namespace zel::platform {

inline constexpr const char* kProductTitle = ZEL_PRODUCT_NAME;
// The title in double quotes, then the authors.
inline constexpr const char* kWindowCaption = "\"" ZEL_PRODUCT_NAME "\" — " ZEL_PUBLISHER;

}  // namespace zel::platform
