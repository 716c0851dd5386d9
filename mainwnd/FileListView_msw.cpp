#include "mainwnd/FileListView.h"

#include <algorithm>

namespace pw {

// The list view here draws every row at one height already.
void UseUniformRowHeight(wxDataViewCtrl*) {}

void ScrollColumnsBy(wxDataViewCtrl* view, int steps) {
    int x = 0, y = 0;
    view->GetViewStart(&x, &y);
    view->Scroll(std::max(0, x + steps), -1);
}

bool ScrollBandIntoView(wxDataViewCtrl* view, int top, int height) {
    if (top < 0 || height <= 0)
        return false;
    int unitX = 0, unitY = 0;
    view->GetScrollPixelsPerUnit(&unitX, &unitY);
    const int page = view->GetMainWindow()->GetClientSize().GetHeight();
    if (unitY <= 0 || page <= 0)
        return false;
    int x = 0, y = 0;
    view->GetViewStart(&x, &y);
    const int value = y * unitY;
    const int target = static_cast<int>(BandScrollTarget(value, page, top, height));
    if (target != value)
        view->Scroll(-1, (target + unitY - 1) / unitY);
    return true;
}

// The generic list view of this system draws its own tips and reads its
// cells to screen readers by their texts.
void SetCellTips(wxDataViewCtrl*, std::function<wxString(long, unsigned)>) {}
void DescribeCell(wxDataViewCtrl*, long, unsigned, const wxString&, const wxString&, const wxString&) {}
bool AssistiveProgramsListen() { return false; }

}  // namespace pw
