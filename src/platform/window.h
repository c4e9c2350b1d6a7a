// What the logic needs of the main window: the background picture, the shown and
// enabled states of the command buttons, and the check marks of the menu items.
#pragma once

#include <string_view>

#include "app/controls.h"

namespace zel::platform {

class Window {
 public:
  virtual ~Window() = default;

  // Loads a BMP file named relative to the program folder and makes it the
  // background, unscaled at the top-left corner. Throws Failure on a missing file
  // or one that is not a picture; the picture before it then stays.
  virtual void ShowPicture(std::string_view bmpFile) = 0;

  // These take effect at once and cannot fail.
  virtual void SetShown(Control button, bool shown) = 0;
  virtual void SetEnabled(Control button, bool enabled) = 0;
  virtual void SetChecked(Control menuItem, bool checked) = 0;

  virtual bool IsShown(Control button) const = 0;
  virtual bool IsEnabled(Control button) const = 0;
  virtual bool IsChecked(Control menuItem) const = 0;
};

}  // namespace zel::platform
