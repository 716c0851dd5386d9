#pragma once
// What the file list asks of the desktop's list view beyond the toolkit's
// own operations.

#include <wx/dataview.h>

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

