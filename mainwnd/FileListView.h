#pragma once
// What the file list asks of the desktop's list view beyond the toolkit's
// own operations.

#include <wx/dataview.h>

#include <functional>

namespace pw {

// Tells the view that every row has the same height, so that a new row
// costs no measuring of its texts; every column must have a fixed width.
void UseUniformRowHeight(wxDataViewCtrl* view);

}  // namespace pw

namespace pw {

// Scrolls the view's columns sideways by steps of the view's own scrolling
// step (negative: to the left), within its width.
void ScrollColumnsBy(wxDataViewCtrl* view, int steps);

}  // namespace pw

namespace pw {

// Scrolls the view at once, without the desktop's animated scrolling, by
// the least that brings the rows' band from top (in pixels from the first
// row's top) to top + height fully into view. False when the view is not
// laid out far enough to tell; nothing has been scrolled then.
bool ScrollBandIntoView(wxDataViewCtrl* view, int top, int height);

// The scroll offset that shows the band [top, top + height) in a page of the
// given height by the least move from offset value.
inline double BandScrollTarget(double value, double page, double top, double height) {
    if (top < value)
        return top;
    if (top + height > value + page)
        return top + height - page;
    return value;
}

}  // namespace pw

namespace pw {

// The tooltip of a cell, asked for when the pointer rests on it:
// tip(row, column) with the column as added; an empty text shows none.
void SetCellTips(wxDataViewCtrl* view, std::function<wxString(long row, unsigned column)> tip);

// What a screen reader finds of a cell beside its text: its name (empty:
// left as it is), its description and, for a cell of several parts (an
// icon beside the text), the name of its first part.
void DescribeCell(wxDataViewCtrl* view, long row, unsigned column, const wxString& name,
                  const wxString& description, const wxString& firstPartName = wxString());

// Whether an assistive program (a screen reader) has asked the desktop for
// the programs' accessible objects.
bool AssistiveProgramsListen();

}  // namespace pw
