#include "ui/AccessibleName.h"

#include <wx/dataview.h>

#include "ui/AccessibleProperties_msw.h"

namespace pw {
namespace {

template <class Base>
class Described final : public Base, public AccessibleProperties {
public:
    template <class Window>
    explicit Described(Window* window) : Base(window) {}

    wxAccStatus GetName(int childId, wxString* text) override {
        if (childId != wxACC_SELF || name.empty())
            return Base::GetName(childId, text);
        *text = name;
        return wxACC_OK;
    }
    wxAccStatus GetDescription(int childId, wxString* text) override {
        if (childId != wxACC_SELF || description.empty())
            return Base::GetDescription(childId, text);
        *text = description;
        return wxACC_OK;
    }
    wxAccStatus GetRole(int childId, wxAccRole* answer) override {
        if (childId != wxACC_SELF || role == wxROLE_NONE)
            return Base::GetRole(childId, answer);
        *answer = role;
        return wxACC_OK;
    }
};

}  // namespace

const AccessibleProperties* FindAccessibleProperties(wxWindow* window) {
    return window ? dynamic_cast<const AccessibleProperties*>(window->GetAccessible()) : nullptr;
}

AccessibleProperties& AccessiblePropertiesOf(wxWindow* window) {
    if (auto* known = dynamic_cast<AccessibleProperties*>(window->GetAccessible()))
        return *known;
    // A list keeps its rows and cells for screen readers.
    if (auto* list = dynamic_cast<wxDataViewCtrl*>(window)) {
        auto* made = new Described<wxDataViewCtrlAccessible>(list);
        window->SetAccessible(made);
        return *made;
    }
    auto* made = new Described<wxWindowAccessible>(window);
    window->SetAccessible(made);
    return *made;
}

void SetAccessibleName(wxWindow* window, const wxString& name) {
    if (window)
        AccessiblePropertiesOf(window).name = name;
}

void SetAccessibleDescription(wxWindow* window, const wxString& description) {
    if (window)
        AccessiblePropertiesOf(window).description = description;
}

wxString GetAccessibleName(wxWindow* window) {
    const AccessibleProperties* properties = FindAccessibleProperties(window);
    return properties ? properties->name : wxString();
}

wxString GetAccessibleDescription(wxWindow* window) {
    const AccessibleProperties* properties = FindAccessibleProperties(window);
    return properties ? properties->description : wxString();
}

// A dialog of this system is one for its screen readers already.
void PresentAsDialogToScreenReaders(wxWindow*) {}

}  // namespace pw
