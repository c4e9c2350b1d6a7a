// The face the user's system writes its messages in, at a height of our own:
// the solver's texts and the board's coordinates follow the user's choice of
// face rather than naming one that may not be installed.
#pragma once

#include <windows.h>

namespace zel::platform {

// The caller owns the font (DeleteObject). `pixelHeight` is the character
// height in pixels, as a negative lfHeight gives it.
inline HFONT CreateMessageFont(int pixelHeight, LONG weight) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW face = metrics.lfMessageFont;
  face.lfHeight = -pixelHeight;
  face.lfWidth = 0;
  face.lfWeight = weight;
  return CreateFontIndirectW(&face);
}

}  // namespace zel::platform
