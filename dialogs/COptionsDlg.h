#pragma once
// The Options dialog (template 138, caption "Setting"): the split folders'
// naming rule, the compression method, whether Merge All compresses and
// whether merge and split copy the pages as stored (the builtin engine) or
// run the tools, read when the dialog opens and written only on OK.

#include <wx/dialog.h>
#include <wx/string.h>

class wxCheckBox;
class wxComboBox;
class wxTextCtrl;

namespace pw {

class COptionsDlg : public wxDialog {
public:
    explicit COptionsDlg(wxWindow* parent);

    // Sets the caption, resets the controls and loads the settings, then
    // shows the dialog.
    int ShowModal() override;

    // The controls' defaults: "Demo1_" (typing limited to 35 characters),
    // the six methods with "None" chosen. The check boxes stay as they are.
    void ResetOptions();
    // The stored settings into the controls.
    void LoadOptions();
    // The controls into the settings: "Name", "CompressMethod",
    // "UseCompressMethod", "Engine", in that order.
    void SaveOptions();

    wxTextCtrl* GetNameEdit() const { return m_name; }
    wxComboBox* GetMethodList() const { return m_method; }
    wxCheckBox* GetUseCompressionBox() const { return m_useCompression; }
    wxCheckBox* GetEngineBox() const { return m_engine; }

private:
    void ShowName(const wxString& name);
    void OnNameTyped(wxCommandEvent& event);

    wxCheckBox* m_useCompression = nullptr;
    wxCheckBox* m_engine = nullptr;  // checked: the builtin engine
    wxTextCtrl* m_name = nullptr;
    wxComboBox* m_method = nullptr;
    size_t m_nameLimit = 0;    // 0: no limit
    wxString m_nameBefore;     // the name before the latest change
};

}  // namespace pw
