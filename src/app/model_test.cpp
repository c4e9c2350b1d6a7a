#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "app/buttons.h"
#include "app/dispatcher.h"
#include "app/menu_tree.h"

namespace zel {
namespace {

void Walk(std::span<const MenuNode> nodes, std::vector<const MenuNode*>& out) {
  for (const MenuNode& node : nodes) {
    out.push_back(&node);
    Walk(node.children, out);
  }
}

std::vector<const MenuNode*> AllNodes() {
  std::vector<const MenuNode*> nodes;
  Walk(kMenuBar, nodes);
  return nodes;
}

// The access key of a caption: the UTF-8 character after "&", lower-cased for
// ASCII and the Cyrillic capitals (U+0410..U+042F).
std::string AccessKey(const char* caption) {
  std::string_view text = caption;
  const auto amp = text.find('&');
  if (amp == std::string_view::npos || amp + 1 >= text.size()) return {};
  const unsigned char lead = static_cast<unsigned char>(text[amp + 1]);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
  std::string key(text.substr(amp + 1, length));
  if (length == 1) key[0] = static_cast<char>(std::tolower(lead));
  if (length == 2) {
    unsigned code = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(key[1]) & 0x3Fu);
    if (code >= 0x410 && code <= 0x42F) code += 0x20;
    key = {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
  }
  return key;
}

TEST(WindowModel, EveryControlIsInTheTreeOrTheButtonTableOnce) {
  std::map<Control, int> seen;
  for (const MenuNode* node : AllNodes()) ++seen[node->id];
  for (const ButtonDef& button : kButtons) ++seen[button.id];
  EXPECT_EQ(seen.size(), kControlCount);
  for (auto [control, count] : seen) EXPECT_EQ(count, 1) << ControlName(control);
}

TEST(WindowModel, KindsHandlersAndNames) {
  for (const MenuNode* node : AllNodes()) {
    const std::string name = ControlName(node->id);
    switch (node->kind) {
      case MenuKind::Separator:
        EXPECT_TRUE(name.rfind("mnuSet", 0) == 0 || name.rfind("mnuSep", 0) == 0) << name;
        EXPECT_EQ(node->caption, nullptr);
        EXPECT_EQ(node->handler, nullptr);
        break;
      case MenuKind::Submenu:
        EXPECT_FALSE(node->children.empty()) << name;
        EXPECT_EQ(node->handler, nullptr) << name;
        break;
      case MenuKind::Command:
        EXPECT_TRUE(node->children.empty()) << name;
        EXPECT_NE(node->handler, nullptr) << name;
        break;
    }
  }
  EXPECT_EQ(HandlerOf(Control::mnuTactics0), nullptr);
}

TEST(WindowModel, HiddenItemsAndTheOnlyInitialMark) {
  std::set<std::string> hidden, checked;
  for (const MenuNode* node : AllNodes()) {
    if (node->hidden) hidden.insert(ControlName(node->id));
    if (node->checkedAtStart) checked.insert(ControlName(node->id));
  }
  EXPECT_EQ(hidden, (std::set<std::string>{"mnuSound", "mnuZadachnik", "mnuDorbelan", "mnuVideo"}));
  EXPECT_EQ(checked, (std::set<std::string>{"mnuVyklSound"}));
  EXPECT_FALSE(IsReachable(Control::mnuVklSound));  // inside the hidden submenu
  EXPECT_TRUE(IsReachable(Control::mnuTactics9));
  EXPECT_EQ(menu_detail::kPrograms[std::size(menu_detail::kPrograms) - 1].id, Control::mnuExit);
}

TEST(WindowModel, VisibleAccessKeysAreUniqueWithinEachMenu) {
  std::vector<std::span<const MenuNode>> menus{kMenuBar};
  for (const MenuNode* node : AllNodes())
    if (!node->children.empty()) menus.push_back(node->children);
  for (auto menu : menus) {
    std::set<std::string> keys;
    for (const MenuNode& node : menu) {
      if (node.hidden || !node.caption) continue;
      const std::string key = AccessKey(node.caption);
      ASSERT_FALSE(key.empty()) << node.caption;
      EXPECT_TRUE(keys.insert(key).second) << "duplicate access key in " << node.caption;
    }
  }
  EXPECT_EQ(AccessKey("Тактика-&1"), "1");
  EXPECT_EQ(AccessKey("В&ыкл"), "ы");
  EXPECT_EQ(AccessKey("&Шах и мат"), "ш");
}

TEST(WindowModel, ButtonsStartHiddenAndTheHelpArrowsReachPastTheClientArea) {
  for (const ButtonDef& button : kButtons) {
    EXPECT_FALSE(button.shownAtStart) << button.caption;
    EXPECT_EQ(std::string(button.font.face), "MS Sans Serif");
    EXPECT_EQ(button.font.charset, 204);
  }
  const ButtonDef& right2 = FindButton(Control::cmdRight2);
  EXPECT_EQ(right2.left + right2.width - kClientWidth, 4);
  EXPECT_EQ(right2.top + right2.height - kClientHeight, 7);
  const ButtonDef& left2 = FindButton(Control::cmdLeft2);
  EXPECT_EQ(left2.top + left2.height - kClientHeight, 7);
  std::set<int> tabs;
  for (const ButtonDef& button : kButtons) tabs.insert(button.tabOrder);
  EXPECT_EQ(tabs, (std::set<int>{0, 1, 2, 3, 4}));
}

}  // namespace
}  // namespace zel
