// The face the user's system writes its messages in, at a height of our own:
// the solver's texts and the board's coordinates follow the user's choice of
// face rather than naming one that may not be installed.
#pragma once

#include <windows.h>

#include "platform/win32/solver/gdi_guards.h"

namespace zel::platform {

// `pixelHeight` is the character height in pixels, as a negative lfHeight
// gives it.
inline Font CreateMessageFont(int pixelHeight, LONG weight) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW face = metrics.lfMessageFont;
  face.lfHeight = -pixelHeight;
  face.lfWidth = 0;
  face.lfWeight = weight;
  return Font(CreateFontIndirectW(&face));
}

}  // namespace zel::platform
