// The handlers of the main window. Each is one call into its subsystem with its
// row of constant data; the order of steps lives in the subsystem.
#include "app/frm_zelmiku.h"

#include "browser/browser.h"
#include "launcher/launch.h"
#include "launcher/launch_tables.h"
#include "prefs/switches.h"

namespace zel {

namespace {
template <Control kItem>
void Launch(platform::Services& services) {
  static constexpr const LaunchEntry& kEntry = LaunchEntryOf(kItem);
  LaunchSolver(services, kEntry);
}
template <Control kItem>
void Switch(platform::Services& services) {
  static constexpr const SwitchRow& kRow = SwitchRowOf(kItem);
  RunSwitch(services, kRow);
}
}  // namespace

void frmZelmiku::mnuExit_Click() { exitRequested_ = true; }

void frmZelmiku::mnuTactics1_Click() { Launch<Control::mnuTactics1>(services_); }
void frmZelmiku::mnuTactics2_Click() { Launch<Control::mnuTactics2>(services_); }
void frmZelmiku::mnuTactics3_Click() { Launch<Control::mnuTactics3>(services_); }
void frmZelmiku::mnuTactics4_Click() { Launch<Control::mnuTactics4>(services_); }
void frmZelmiku::mnuTactics5_Click() { Launch<Control::mnuTactics5>(services_); }
void frmZelmiku::mnuTactics6_Click() { Launch<Control::mnuTactics6>(services_); }
void frmZelmiku::mnuTactics7_Click() { Launch<Control::mnuTactics7>(services_); }
void frmZelmiku::mnuTactics8_Click() { Launch<Control::mnuTactics8>(services_); }
void frmZelmiku::mnuTactics9_Click() { Launch<Control::mnuTactics9>(services_); }
void frmZelmiku::mnuPractic_Click() { Launch<Control::mnuPractic>(services_); }
void frmZelmiku::cmdPractic_Click() { Launch<Control::cmdPractic>(services_); }

void frmZelmiku::mnuZadachnik_Click() { Launch<Control::mnuZadachnik>(services_); }
void frmZelmiku::mnuDorbelan_Click() { Launch<Control::mnuDorbelan>(services_); }
void frmZelmiku::mnuChecmate_Click() { Launch<Control::mnuChecmate>(services_); }
void frmZelmiku::mnuTactic_Click() { Launch<Control::mnuTactic>(services_); }

void frmZelmiku::mnuBook_Click() { OpenTextbook(services_); }
void frmZelmiku::cmdRight_Click() { TextbookForward(services_); }
void frmZelmiku::cmdLeft_Click() { TextbookBack(services_); }
void frmZelmiku::mnuHelp1_Click() { OpenHelp(services_); }
void frmZelmiku::cmdRight2_Click() { HelpForward(services_); }
void frmZelmiku::cmdLeft2_Click() { HelpBack(services_); }
void frmZelmiku::mnuProgram_Click() { ShowAbout(services_); }

void frmZelmiku::mnuRussian_Click() { Switch<Control::mnuRussian>(services_); }
void frmZelmiku::mnuEnglish_Click() { Switch<Control::mnuEnglish>(services_); }
void frmZelmiku::mnuY_Click() { Switch<Control::mnuY>(services_); }
void frmZelmiku::mnuN_Click() { Switch<Control::mnuN>(services_); }
void frmZelmiku::mnuVklSound_Click() { Switch<Control::mnuVklSound>(services_); }
void frmZelmiku::mnuVyklSound_Click() { Switch<Control::mnuVyklSound>(services_); }
void frmZelmiku::mnuVideo_Click() { StartVideo(services_); }

}  // namespace zel
