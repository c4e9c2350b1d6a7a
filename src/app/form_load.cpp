// Start-up: remove what the installation left behind, then set the check marks
// of the preference items from the settings files.
#include <array>
#include <string_view>

#include "app/frm_zelmiku.h"
#include "settings/settings.h"

namespace zel {
namespace {

// Deleted in this order, then the folder. Absolute, whatever the program folder.
constexpr std::array<std::string_view, 4> kLeftovers = {
    "C:\\Zelmiku\\install.bat",
    "C:\\Zelmiku\\mci32.ocx",
    "C:\\Zelmiku\\msflxgrd.ocx",
    "C:\\Zelmiku\\vb5db.dll",
};
constexpr std::string_view kLeftoverFolder = "C:\\Zelmiku";

void RemoveLeftovers(platform::Files& files) {
  for (std::string_view leftover : kLeftovers) files.RemoveFile(leftover);
  files.RemoveEmptyFolder(kLeftoverFolder);
}

void SetPair(platform::Window& window, Control set, Control cleared) {
  window.SetChecked(set, true);
  window.SetChecked(cleared, false);
}

void RestoreMarks(platform::Services& services) {
  const auto music = ReadSetting(services.files, kSoundFile).AsNumber();
  if (music == 1) SetPair(services.window, Control::mnuVyklSound, Control::mnuVklSound);
  if (music == 3) SetPair(services.window, Control::mnuVklSound, Control::mnuVyklSound);

  if (ReadSetting(services.files, kLanguageFile).AsText() == "R")
    SetPair(services.window, Control::mnuRussian, Control::mnuEnglish);
  else
    SetPair(services.window, Control::mnuEnglish, Control::mnuRussian);

  if (ReadSetting(services.files, kPicturesFile).AsText() == "Y")
    SetPair(services.window, Control::mnuY, Control::mnuN);
  else
    SetPair(services.window, Control::mnuN, Control::mnuY);
}

}  // namespace

// The clean-up trap catches exactly one failure. A clean-up failure spends it,
// and start-up goes on with the marks. If the clean-up went through, the trap is
// still armed then: a failure while setting the marks sets them all again once,
// and a second failure leaves Form_Load like any other.
void frmZelmiku::Form_Load() {
  bool trapArmed = true;
  try {
    RemoveLeftovers(services_.files);
  } catch (const platform::Failure&) {
    trapArmed = false;
  }
  if (trapArmed) {
    try {
      RestoreMarks(services_);
      return;
    } catch (const platform::Failure&) {
    }
  }
  RestoreMarks(services_);
}

}  // namespace zel
