#include "ui/cdxCLayoutEntry.h"

#include "ui/cdxCLayoutManager.h"

#include <algorithm>

namespace pw {

int ShiftEdge(int recorded, int growth, int percent) {
    if (growth == 0 || percent == 0)
        return recorded;
    return recorded + (growth * percent) / 100;
}

cdxCLayoutEntry::~cdxCLayoutEntry() {
    if (prev)
        prev->next = next;
    else if (manager && manager->m_first == this)
        manager->m_first = next;
    if (next)
        next->prev = prev;
}

wxRect cdxCLayoutEntry::PlacedRect(int dx, int dy) const {
    const int l = ShiftEdge(left, dx, leftPercent);
    const int r = ShiftEdge(right, dx, rightPercent);
    const int t = ShiftEdge(top, dy, topPercent);
    const int b = ShiftEdge(bottom, dy, bottomPercent);
    return wxRect(l, t, r - l, b - t);
}

void cdxCLayoutEntry::Apply(int dx, int dy) const {
    const wxRect r = PlacedRect(dx, dy);
    for (const WindowLink* l = &link; l; l = l->next.get()) {
        wxWindow* w = l->window.get();
        if (!w || w->IsBeingDeleted())
            continue;
        // A control squeezed below nothing would make the toolkit complain
        // about a negative size; it gets no size instead.
        w->SetSize(r.x, r.y, std::max(r.width, 0), std::max(r.height, 0), wxSIZE_ALLOW_MINUS_ONE);
    }
}

}  // namespace pw
