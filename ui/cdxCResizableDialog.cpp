#include "ui/cdxCResizableDialog.h"

#include "ui/DialogBuilder.h"

namespace pw {

cdxCResizableDialog::cdxCResizableDialog(int templateId, wxWindow* parent)
    : m_layout(cdxCLayoutManager::SizeHorz | cdxCLayoutManager::SizeVert, true) {
    Construct(FindDialogTemplate(templateId), parent);
}

cdxCResizableDialog::cdxCResizableDialog(const DialogTemplate& tmpl, wxWindow* parent)
    : m_layout(cdxCLayoutManager::SizeHorz | cdxCLayoutManager::SizeVert, true) {
    Construct(&tmpl, parent);
}

void cdxCResizableDialog::Construct(const DialogTemplate* tmpl, wxWindow* parent) {
    if (tmpl)
        CreateDialogFromTemplate(this, parent, *tmpl);
    else
        wxDialog::Create(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                         wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    m_layout.SetWindow(this);
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
    SetSizeHints(info.minTrackSize, info.maxTrackSize);
}

void cdxCResizableDialog::OnInitDialogEvent(wxInitDialogEvent&) {
    // The toolkit sends this after the window is shown; the initialisation
    // has run before that (Show, ShowModal), so the notice is only taken in.
    InitDialogOnce();
}

void cdxCResizableDialog::OnIconizeEvent(wxIconizeEvent& event) {
    m_minimised = event.IsIconized();
    if (!m_minimised)
        m_layout.Relayout();
    event.Skip();
}

void cdxCResizableDialog::OnSizeEvent(wxSizeEvent&) {
    // The toolkit's own handling of a dialog's size notice would stretch a
    // lone child over the whole client area, so it is not asked for.
    const bool minimised = m_minimised || IsIconized();
    const wxSize client = GetClientSize();
    m_layout.OnSize(minimised ? cdxCLayoutManager::SizeMinimized
                              : (IsMaximized() ? cdxCLayoutManager::SizeMaximized : cdxCLayoutManager::SizeRestored),
                    client.x, client.y);
}

}  // namespace pw
