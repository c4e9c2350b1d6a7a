#include "prefs/switches.h"

#include "launcher/launch.h"
#include "settings/settings.h"

namespace zel {

void RunSwitch(platform::Services& services, const SwitchRow& row) {
  if (row.text.empty())
    WriteSetting(services.files, row.file, row.number);
  else
    WriteSetting(services.files, row.file, row.text);
  for (const MarkStep& mark : row.marks) services.window.SetChecked(mark.item, mark.checked);
  if (!row.picture.empty()) services.window.ShowPicture(row.picture);
}

void StartVideo(platform::Services& services) {
  services.window.SetChecked(Control::mnuVyklSound, true);
  services.window.SetChecked(Control::mnuVklSound, false);
  StartProgram(services.processes, kVideoProgram, 1);
}

}  // namespace zel
