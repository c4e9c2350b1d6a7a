// The product's name as the window and its message boxes show it.
#pragma once

namespace zel::platform {

inline constexpr const char* kProductTitle = "Шахматная тактика";
// The title in double quotes, then the authors.
inline constexpr const char* kWindowCaption = "\"Шахматная тактика\" — Н. Ладейкин, О. Пешкова";

}  // namespace zel::platform
