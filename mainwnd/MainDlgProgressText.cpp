#include "mainwnd/CMainDlg.h"

#include "res/ResourceIds.h"
#include "ui/PathText.h"

#include <wx/stattext.h>

#include <algorithm>

namespace pw {

void CMainDlg::OnProgressText(unsigned position, const std::string& text) {
    if (text.empty())
        return;
    if (auto* line = wxDynamicCast(FindWindow(IDC_INFORMATION), wxStaticText))
        line->SetLabelText(PathToWx(text));
    // The bar's range is 0 to 100; a larger position fills it.
    if (m_progress)
        m_progress->SetValue(static_cast<int>(std::min(position, 100u)));
}

}  // namespace pw
