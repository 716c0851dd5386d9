#include "mainwnd/ProgramHelp.h"

#include "platform/ProductIdentity.h"
#include "ui/OpenInBackground.h"
#include "ui/XMessageBox.h"

#include <wx/event.h>
#include <wx/eventfilter.h>

namespace pw {

namespace {

// Sees every key before the window that has the focus: a char hook is the
// first event a key makes in a top-level window, whichever window it is.
class HelpKeyFilter : public wxEventFilter {
public:
    int FilterEvent(wxEvent& event) override {
        if (event.GetEventType() != wxEVT_CHAR_HOOK)
            return Event_Skip;
        const auto& key = static_cast<const wxKeyEvent&>(event);
        if (key.GetKeyCode() != WXK_F1 || key.GetModifiers() != wxMOD_NONE)
            return Event_Skip;
        OpenProgramHelp();
        return Event_Processed;
    }
};

}  // namespace

void OpenProgramHelp() { OpenInBackground({GetProductIdentity().homePage}); }

void InstallProgramHelp() {
    static HelpKeyFilter* filter = nullptr;
    if (filter)
        return;
    filter = new HelpKeyFilter;
    wxEvtHandler::AddFilter(filter);
    SetXMessageBoxHelpHandler([](wxWindow*, std::uint32_t) { OpenProgramHelp(); });
}

}  // namespace pw
