// The textbook and help browsers. The page shown lives only in a counter file:
// every click reads it, writes the new counter, then shows the page. Counters
// outside the page range are still counted but show no picture.
#pragma once

#include "platform/services.h"

namespace zel {

void OpenTextbook(platform::Services& services);
void TextbookForward(platform::Services& services);
void TextbookBack(platform::Services& services);

void OpenHelp(platform::Services& services);
void HelpForward(platform::Services& services);
void HelpBack(platform::Services& services);

void ShowAbout(platform::Services& services);

}  // namespace zel
