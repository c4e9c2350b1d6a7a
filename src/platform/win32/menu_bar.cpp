#include "platform/win32/menu_bar.h"

#include <span>

#include "app/menu_tree.h"
#include "platform/win32/command_ids.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_failure.h"

namespace zel::platform {
namespace {

void AppendOrThrow(HMENU menu, UINT flags, UINT_PTR item, const wchar_t* caption) {
  if (!AppendMenuW(menu, flags, item, caption)) throw LastErrorFailure(GetLastError(), "menu");
}

// A popup appended to its parent belongs to it from then on and is destroyed
// with it; until then it is this function's to destroy.
void AppendNodes(HMENU menu, std::span<const MenuNode> nodes) {
  for (const MenuNode& node : nodes) {
    if (node.hidden) continue;
    switch (node.kind) {
      case MenuKind::Separator:
        AppendOrThrow(menu, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuKind::Command:
        AppendOrThrow(menu, MF_STRING, CommandId(node.id), Widen(node.caption).c_str());
        break;
      case MenuKind::Submenu: {
        const HMENU popup = CreatePopupMenu();
        if (!popup) throw LastErrorFailure(GetLastError(), "menu");
        try {
          AppendNodes(popup, node.children);
          AppendOrThrow(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                        Widen(node.caption).c_str());
        } catch (...) {
          DestroyMenu(popup);
          throw;
        }
        break;
      }
    }
  }
}

}  // namespace

HMENU BuildMenuBar() {
  const HMENU bar = CreateMenu();
  if (!bar) throw LastErrorFailure(GetLastError(), "menu");
  try {
    AppendNodes(bar, kMenuBar);
  } catch (...) {
    DestroyMenu(bar);
    throw;
  }
  return bar;
}

}  // namespace zel::platform
