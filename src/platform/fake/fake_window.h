// The main window in memory, for tests: it keeps every state the real window
// shows, logs every operation in order, and loads pictures from the program
// folder so that it fails as the real one does on a missing file or a file that
// is not a BMP.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/window.h"

namespace zel::platform {

inline constexpr std::string_view kTitleScreen = "<title screen>";

class FakeWindow final : public Window {
 public:
  // Starts in the window's design state: title screen, buttons as the button
  // table says, marks as the menu tree says.
  explicit FakeWindow(Files& files);

  void ShowPicture(std::string_view bmpFile) override;
  void SetShown(Control button, bool shown) override;
  void SetEnabled(Control button, bool enabled) override;
  void SetChecked(Control menuItem, bool checked) override;
  bool IsShown(Control button) const override { return shown_[Index(button)]; }
  bool IsEnabled(Control button) const override { return enabled_[Index(button)]; }
  bool IsChecked(Control menuItem) const override { return checked_[Index(menuItem)]; }

  // The file name of the picture shown, or kTitleScreen.
  const std::string& picture() const { return picture_; }
  int pictureWidth() const { return pictureWidth_; }
  int pictureHeight() const { return pictureHeight_; }

  // "picture Book.bmp", "shown cmdLeft 1", "enabled cmdRight 0", "checked mnuN 1"
  const std::vector<std::string>& log() const { return log_; }
  void ClearLog() { log_.clear(); }

 private:
  Files& files_;
  std::string picture_{kTitleScreen};
  int pictureWidth_ = 549;
  int pictureHeight_ = 330;
  std::array<bool, kControlCount> shown_{};
  std::array<bool, kControlCount> enabled_{};
  std::array<bool, kControlCount> checked_{};
  std::vector<std::string> log_;
};

}  // namespace zel::platform
