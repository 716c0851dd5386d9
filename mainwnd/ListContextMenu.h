#pragma once
// The file list's context menu: five commands, built anew for each right
// click with the entries that need rows or a selection greyed out.

#include <memory>

class wxMenu;

namespace pw {

enum ListMenuCommand : int {
    kListMenuAddFiles = 1,
    kListMenuRemove = 2,
    kListMenuRemoveAll = 3,
    kListMenuViewFile = 4,
    kListMenuViewFileInformation = 5,
};

// The menu for a list of `count` rows of which `selected` are selected.
std::unique_ptr<wxMenu> BuildListContextMenu(int count, int selected);

}  // namespace pw
