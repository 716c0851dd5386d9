#include "mainwnd/ListContextMenu.h"

#include <wx/menu.h>

namespace pw {

std::unique_ptr<wxMenu> BuildListContextMenu(int count, int selected) {
    auto menu = std::make_unique<wxMenu>();
    menu->Append(kListMenuAddFiles, "&Add Files");
    menu->Append(kListMenuRemove, "&Remove");
    menu->Append(kListMenuRemoveAll, "Remove &All");
    menu->Append(kListMenuViewFile, "&View File");
    menu->Append(kListMenuViewFileInformation, "&View File Information");
    if (selected < 1) {
        menu->Enable(kListMenuRemove, false);
        menu->Enable(kListMenuViewFile, false);
        menu->Enable(kListMenuViewFileInformation, false);
    }
    if (count < 1)
        menu->Enable(kListMenuRemoveAll, false);
    return menu;
}

}  // namespace pw
