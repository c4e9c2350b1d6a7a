#include "browser/browser.h"

#include <limits>

#include "browser/page_tables.h"
#include "settings/settings.h"

namespace zel {
namespace {

using platform::Services;

// A counter that is no number (a hand-edited file) counts as the browser's
// title, so the next forward click shows the first page again. An empty or
// missing file fails like any settings file.
std::int32_t ReadCounter(Services& services, std::string_view file, std::int32_t title) {
  return ReadSetting(services.files, file).AsNumber().value_or(title);
}

// Counts one step without overflowing on a hand-edited extreme value.
std::int32_t Step(std::int32_t n, std::int32_t by) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  if (by > 0 && n == kMax) return n;
  if (by < 0 && n == kMin) return n;
  return n + by;
}

constexpr std::int32_t kTextbookTitle = 1;
constexpr std::int32_t kTextbookLast = 20;
constexpr std::int32_t kHelpTitle = 0;
constexpr std::int32_t kHelpLast = 8;

// Shows page p of the textbook and sets Practice from the page table, if p is a
// page the given step may arrive on.
void ShowTextbookPage(Services& services, std::int32_t p, std::int32_t lastShown) {
  if (p < 2 || p > lastShown) return;
  const Page* page = FindPage(kTextbookPages, p);
  services.window.ShowPicture(page->picture);
  services.window.SetEnabled(Control::cmdPractic, page->practiceEnabled);
}

void SetForwardFromFile(Services& services) {
  const std::int32_t now = ReadCounter(services, kTextbookCounterFile, kTextbookTitle);
  services.window.SetEnabled(Control::cmdRight, now != kTextbookLast);
}

}  // namespace

void OpenTextbook(Services& services) {
  WriteSetting(services.files, kTextbookCounterFile, kTextbookTitle);
  services.window.SetShown(Control::cmdLeft, true);
  services.window.SetShown(Control::cmdRight, true);
  services.window.SetShown(Control::cmdPractic, true);
  services.window.SetShown(Control::cmdLeft2, false);
  services.window.SetShown(Control::cmdRight2, false);
  services.window.SetEnabled(Control::cmdLeft, false);
  services.window.SetEnabled(Control::cmdRight, true);
  services.window.SetEnabled(Control::cmdPractic, false);
  services.window.ShowPicture(FindPage(kTextbookPages, kTextbookTitle)->picture);
}

void TextbookForward(Services& services) {
  const std::int32_t n = ReadCounter(services, kTextbookCounterFile, kTextbookTitle);
  services.window.SetEnabled(Control::cmdLeft, n != 1);
  const std::int32_t p = Step(n, +1);
  WriteSetting(services.files, kTextbookCounterFile, p);
  ShowTextbookPage(services, p, kTextbookLast);
  SetForwardFromFile(services);
}

void TextbookBack(Services& services) {
  const std::int32_t n = ReadCounter(services, kTextbookCounterFile, kTextbookTitle);
  services.window.SetEnabled(Control::cmdLeft, n != 3);
  const std::int32_t p = Step(n, -1);
  WriteSetting(services.files, kTextbookCounterFile, p);
  ShowTextbookPage(services, p, kTextbookLast - 1);  // back never arrives on the last page
  SetForwardFromFile(services);
}

void OpenHelp(Services& services) {
  WriteSetting(services.files, kHelpCounterFile, kHelpTitle);
  services.window.SetShown(Control::cmdRight2, true);
  services.window.SetEnabled(Control::cmdRight2, true);
  services.window.SetShown(Control::cmdLeft2, true);
  services.window.SetEnabled(Control::cmdLeft2, false);
  services.window.SetShown(Control::cmdRight, false);
  services.window.SetShown(Control::cmdLeft, false);
  services.window.SetShown(Control::cmdPractic, false);
  services.window.ShowPicture(FindPage(kHelpPages, kHelpTitle)->picture);
}

void HelpForward(Services& services) {
  const std::int32_t n = ReadCounter(services, kHelpCounterFile, kHelpTitle);
  services.window.SetEnabled(Control::cmdLeft2, n != 0);
  services.window.SetEnabled(Control::cmdRight2, n != kHelpLast - 1);
  const std::int32_t p = Step(n, +1);
  WriteSetting(services.files, kHelpCounterFile, p);
  if (p >= 1 && p <= kHelpLast) services.window.ShowPicture(FindPage(kHelpPages, p)->picture);
}

void HelpBack(Services& services) {
  const std::int32_t n = ReadCounter(services, kHelpCounterFile, kHelpTitle);
  services.window.SetEnabled(Control::cmdLeft2, n != 2);
  const std::int32_t p = Step(n, -1);
  services.window.SetEnabled(Control::cmdRight2, p != kHelpLast);
  WriteSetting(services.files, kHelpCounterFile, p);
  if (p >= 1 && p <= kHelpLast - 1) services.window.ShowPicture(FindPage(kHelpPages, p)->picture);
}

void ShowAbout(Services& services) { services.window.ShowPicture(kAboutPicture); }

}  // namespace zel
