#include "mainwnd/SystemMenu.h"

#include <wx/button.h>
#include <wx/menu.h>

#include "res/ResourceIds.h"

namespace pw {

// The window menu of a Windows frame takes items of the program's own; the
// About item there does what the About button does.
bool AppendAboutToSystemMenu(wxTopLevelWindow* window, const wxString& displayName)
{
    wxMenu* menu = window->MSWGetSystemMenu();
    if (menu == nullptr)
        return false;
    menu->AppendSeparator();
    menu->Append(IDM_ABOUTBOX, displayName);
    window->Bind(wxEVT_MENU, [window](wxCommandEvent&) {
        wxCommandEvent click(wxEVT_BUTTON, IDC_ABOUT);
        click.SetEventObject(window->FindWindow(IDC_ABOUT));
        window->GetEventHandler()->ProcessEvent(click);
    }, IDM_ABOUTBOX);
    return true;
}

}  // namespace pw
