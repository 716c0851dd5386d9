#include "ui/cdxCResizableDialog.h"

#include "ui/WindowPlacement.h"

#include <wx/weakref.h>

namespace pw {

cdxCResizableDialog::cdxCResizableDialog(int templateId, wxWindow* parent, ControlFactory factory)
    : m_layout(cdxCLayoutManager::SizeHorz | cdxCLayoutManager::SizeVert, true) {
    Construct(FindDialogTemplate(templateId), parent, factory);
}

cdxCResizableDialog::cdxCResizableDialog(const DialogTemplate& tmpl, wxWindow* parent, ControlFactory factory)
    : m_layout(cdxCLayoutManager::SizeHorz | cdxCLayoutManager::SizeVert, true) {
    Construct(&tmpl, parent, factory);
}

void cdxCResizableDialog::Construct(const DialogTemplate* tmpl, wxWindow* parent, ControlFactory factory) {
    if (tmpl)
        CreateDialogFromTemplate(this, parent, *tmpl, factory);
    else
        wxDialog::Create(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                         wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    m_layout.SetWindow(this);
    KeepPlacementWhenShown(this);
    Bind(wxEVT_SIZE, &cdxCResizableDialog::OnSizeEvent, this);
    Bind(wxEVT_ICONIZE, &cdxCResizableDialog::OnIconizeEvent, this);
    Bind(wxEVT_INIT_DIALOG, &cdxCResizableDialog::OnInitDialogEvent, this);
}

cdxCResizableDialog::~cdxCResizableDialog() { m_layout.RemoveAll(); }

bool cdxCResizableDialog::Destroy() {
    m_layout.RemoveAll();
    return wxDialog::Destroy();
}

void cdxCResizableDialog::InitDialogOnce() {
    if (m_initDone)
        return;
    m_initDone = true;
    OnInitDialog();
}

bool cdxCResizableDialog::Show(bool show) {
    if (show)
        InitDialogOnce();
    return wxDialog::Show(show);
}

int cdxCResizableDialog::ShowModal() {
    InitDialogOnce();
    return wxDialog::ShowModal();
}

bool cdxCResizableDialog::OnInitDialog() { return InitLayout(10); }

bool cdxCResizableDialog::InitLayout(int growStep) {
    TransferDataToWindow();
    UpdateWindowUI(wxUPDATE_UI_RECURSE);
    const bool result = m_layout.Init(growStep);
    ApplySizeHints();
    return result;
}

void cdxCResizableDialog::ApplySizeHints() {
    cdxCLayoutManager::MinMaxInfo info;
    m_layout.OnGetMinMaxInfo(info);
    m_hintFrame = GetSize() - GetClientSize();
    SetSizeHints(info.minTrackSize, info.maxTrackSize);
}

void cdxCResizableDialog::OnInitDialogEvent(wxInitDialogEvent&) {
    // The toolkit sends this after the window is shown; the initialisation
    // has run before that (Show, ShowModal), so the notice is only taken in.
    InitDialogOnce();
}

void cdxCResizableDialog::OnIconizeEvent(wxIconizeEvent& event) {
    m_minimised = event.IsIconized();
    if (!m_minimised) {
        m_layout.Relayout();
        OnLayoutPlaced();
    }
    event.Skip();
}

void cdxCResizableDialog::OnSizeEvent(wxSizeEvent&) {
    // The toolkit's own handling of a dialog's size notice would stretch a
    // lone child over the whole client area, so it is not asked for.
    const bool minimised = m_minimised || IsIconized();
    const wxSize client = GetClientSize();
    // The window manager's frame is known once the window is on the screen;
    // the limits follow it, so that they keep the client area whole.
    if (m_layout.IsInitialised() && !minimised) {
        if (GetSize() - client != m_hintFrame) {
            m_hintFrame = GetSize() - client;
            CallAfter([this] { ApplySizeHints(); });
        }
        // Nobody can make the window smaller than its limits; a size below
        // them comes from the toolkit while the window manager first frames
        // the window (it then holds the window at its limits), and the size
        // the window had is asked for again.
        const wxSize least = m_layout.GetInitialClientSize();
        if (client.x >= least.x && client.y >= least.y) {
            m_goodSize = GetSize();
        } else if (m_goodSize.x > 0) {
            wxWeakRef<cdxCResizableDialog> self(this);
            const wxSize size = m_goodSize;
            CallAfter([self, size] {
                if (self && !self->IsIconized())
                    self->SetSize(size);
            });
        }
    }
    m_layout.OnSize(minimised ? cdxCLayoutManager::SizeMinimized
                              : (IsMaximized() ? cdxCLayoutManager::SizeMaximized : cdxCLayoutManager::SizeRestored),
                    client.x, client.y);
    if (m_layout.IsInitialised() && !minimised)
        OnLayoutPlaced();
}

}  // namespace pw
