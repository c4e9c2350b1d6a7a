#include "app/menu_tree.h"

namespace zel {
namespace {

// Depth-first search that also tells whether every submenu on the way is shown.
const MenuNode* Find(std::span<const MenuNode> nodes, Control id, bool& reachable) {
  for (const MenuNode& node : nodes) {
    if (node.id == id) {
      reachable = !node.hidden;
      return &node;
    }
    if (const MenuNode* found = Find(node.children, id, reachable)) {
      reachable = reachable && !node.hidden;
      return found;
    }
  }
  return nullptr;
}

void CollectMarks(std::span<const MenuNode> nodes, Marks& marks) {
  for (const MenuNode& node : nodes) {
    marks[Index(node.id)] = node.checkedAtStart;
    CollectMarks(node.children, marks);
  }
}

}  // namespace

Marks InitialMarks() {
  Marks marks{};
  CollectMarks(kMenuBar, marks);
  return marks;
}

const MenuNode* FindMenuNode(Control id) {
  bool reachable = false;
  return Find(kMenuBar, id, reachable);
}

bool IsReachable(Control id) {
  bool reachable = false;
  return Find(kMenuBar, id, reachable) != nullptr && reachable;
}

}  // namespace zel
