#include "platform/fake/fake_window.h"

#include "app/buttons.h"
#include "app/menu_tree.h"
#include "platform/failure.h"
#include "platform/fake/bmp_info.h"

namespace zel::platform {

FakeWindow::FakeWindow(Files& files) : files_(files), checked_(InitialMarks()) {
  for (const ButtonDef& button : kButtons) {
    shown_[Index(button.id)] = button.shownAtStart;
    enabled_[Index(button.id)] = button.enabledAtStart;
  }
}

void FakeWindow::ShowPicture(std::string_view bmpFile) {
  const std::string content = files_.ReadAll(bmpFile);
  const auto info = ReadBmpInfo(content);
  if (!info) throw InvalidPictureFailure(bmpFile);
  picture_ = std::string(bmpFile);
  pictureWidth_ = info->width;
  pictureHeight_ = info->height;
  log_.push_back("picture " + picture_);
}

void FakeWindow::SetShown(Control button, bool shown) {
  shown_[Index(button)] = shown;
  log_.push_back(std::string("shown ") + ControlName(button) + (shown ? " 1" : " 0"));
}

void FakeWindow::SetEnabled(Control button, bool enabled) {
  enabled_[Index(button)] = enabled;
  log_.push_back(std::string("enabled ") + ControlName(button) + (enabled ? " 1" : " 0"));
}

void FakeWindow::SetChecked(Control menuItem, bool checked) {
  checked_[Index(menuItem)] = checked;
  log_.push_back(std::string("checked ") + ControlName(menuItem) + (checked ? " 1" : " 0"));
}

}  // namespace zel::platform
