#pragma once
// A dialog built from a template whose controls follow its size: its client
// area cannot be made smaller than its template's, it shows a size grip in its lower right
// corner, and opens larger than its template by a growth step.

#include "res/DialogTemplate.h"
#include "ui/DialogBuilder.h"
#include "ui/cdxCLayoutManager.h"

#include <wx/dialog.h>

namespace pw {

class cdxCResizableDialog : public wxDialog {
public:
    // Builds the dialog window and the controls of the program's template
    // with the given number (an empty dialog when there is none).
    // The factory builds controls of the dialog's own classes (see
    // CreateDialogFromTemplate).
    cdxCResizableDialog(int templateId, wxWindow* parent, ControlFactory factory = nullptr);
    cdxCResizableDialog(const DialogTemplate& tmpl, wxWindow* parent, ControlFactory factory = nullptr);
    ~cdxCResizableDialog() override;

    // The dialog initialisation runs once, before the window first shows,
    // so that a dialog appears already grown and filled.
    bool Show(bool show = true) override;
    int ShowModal() override;
    bool Destroy() override;

    // Runs OnInitDialog unless it has run already; Show and ShowModal call it.
    void InitDialogOnce();

    // The dialog's initialisation: InitLayout(10). A derived dialog that
    // overrides it calls InitLayout(10) first and then adds its controls.
    virtual bool OnInitDialog();
    // The toolkit's dialog initialisation (data to the controls), then the
    // layout manager's Init with the growth step and the size limits.
    virtual bool InitLayout(int growStep);

    cdxCLayoutManager& GetLayoutManager() { return m_layout; }

protected:
    // Called each time the layout has placed the controls for the window's
    // size; a dialog whose controls others move too puts them right here.
    virtual void OnLayoutPlaced() {}

    cdxCLayoutManager m_layout;

private:
    void Construct(const DialogTemplate* tmpl, wxWindow* parent, ControlFactory factory);
    void ApplySizeHints();
    void OnSizeEvent(wxSizeEvent& event);
    void OnIconizeEvent(wxIconizeEvent& event);
    void OnInitDialogEvent(wxInitDialogEvent& event);

    bool m_initDone = false;
    wxSize m_hintFrame;           // the frame the size limits were set for
    wxSize m_goodSize;            // the last size within the limits
    bool m_minimised = false;
};

}  // namespace pw
