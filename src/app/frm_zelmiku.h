// The main window's logic: one handler per control that does something, named
// after the control and its event. Handlers take no arguments, return nothing
// and catch nothing; a Failure thrown by a platform operation leaves the
// handler, and the dispatcher reports it and ends the program.
#pragma once

#include "platform/services.h"

namespace zel {

class frmZelmiku {
 public:
  explicit frmZelmiku(platform::Services services) : services_(services) {}

  void Form_Load();
  void mnuExit_Click();

  // Course launchers.
  void mnuTactics1_Click();
  void mnuTactics2_Click();
  void mnuTactics3_Click();
  void mnuTactics4_Click();
  void mnuTactics5_Click();
  void mnuTactics6_Click();
  void mnuTactics7_Click();
  void mnuTactics8_Click();
  void mnuTactics9_Click();
  void mnuPractic_Click();
  void cmdPractic_Click();

  // Problem-book launchers.
  void mnuZadachnik_Click();
  void mnuDorbelan_Click();
  void mnuChecmate_Click();
  void mnuTactic_Click();

  // Textbook, help and about screen.
  void mnuBook_Click();
  void cmdRight_Click();
  void cmdLeft_Click();
  void mnuHelp1_Click();
  void cmdRight2_Click();
  void cmdLeft2_Click();
  void mnuProgram_Click();

  // Preference switches.
  void mnuRussian_Click();
  void mnuEnglish_Click();
  void mnuY_Click();
  void mnuN_Click();
  void mnuVklSound_Click();
  void mnuVyklSound_Click();
  void mnuVideo_Click();

  // Set by mnuExit_Click; the dispatcher then ends the program.
  bool ExitRequested() const { return exitRequested_; }

 private:
  platform::Services services_;
  bool exitRequested_ = false;
};

using Handler = void (frmZelmiku::*)();

}  // namespace zel
