#include "ui/cdxCLayoutManager.h"

#include "ui/SizeGrip.h"

#include <wx/display.h>

#include <algorithm>

namespace pw {

namespace {

// Left/top and right/bottom percentages of a layout mode.
void ModePercentages(int mode, uint8_t& low, uint8_t& high) {
    switch (mode) {
    case cdxCLayoutManager::ModeStretch: low = 0; high = 100; break;
    case cdxCLayoutManager::ModeMove: low = 100; high = 100; break;
    case cdxCLayoutManager::ModeHalfMove: low = 50; high = 50; break;
    default: low = 0; high = 0; break;
    }
}

// Desktop fonts are larger than the classic dialog font the templates were
// drawn for, so a grown window can be larger than a small screen, with its
// buttons out of reach. Such a window is fitted into its display's work
// area, never below its size before growing; one that fits is left as is.
wxRect FitIntoWorkArea(wxRect grown, const wxSize& before, const wxWindow* window) {
    const int display = wxDisplay::GetFromWindow(window);
    if (display == wxNOT_FOUND)
        return grown;
    const wxRect area = wxDisplay(static_cast<unsigned>(display)).GetClientArea();
    if (area.IsEmpty() || area.Contains(grown))
        return grown;
    grown.width = std::min(grown.width, std::max(area.width, before.x));
    grown.height = std::min(grown.height, std::max(area.height, before.y));
    if (grown.GetRight() > area.GetRight())
        grown.x = std::max(area.x, area.GetRight() + 1 - grown.width);
    if (grown.GetBottom() > area.GetBottom())
        grown.y = std::max(area.y, area.GetBottom() + 1 - grown.height);
    return grown;
}

}  // namespace

bool IsLiveWindow(const wxWindow* window) {
    return window && window->GetHandle() && !window->IsBeingDeleted();
}

cdxCLayoutManager::cdxCLayoutManager(uint32_t flags, bool gripWanted)
    : m_flags(flags), m_gripWanted(gripWanted) {}

cdxCLayoutManager::~cdxCLayoutManager() {
    RemoveAll();
    if (wxWindow* grip = m_grip.get(); grip && !grip->IsBeingDeleted())
        delete grip;
}

bool cdxCLayoutManager::HasLiveWindow() const { return IsLiveWindow(m_window.get()); }

bool cdxCLayoutManager::Init(int growStep) {
    wxWindow* window = m_window.get();
    if (!IsLiveWindow(window))
        return true;
    const wxSize client = window->GetClientSize();
    m_initialClientWidth = client.x;
    m_initialClientHeight = client.y;
    const wxSize frame = window->GetSize();
    m_initialWindowWidth = frame.x;
    m_initialWindowHeight = frame.y;
    if (m_gripWanted)
        CreateSizeGrip();
    if (growStep != 0)
        Grow(growStep);
    return true;
}

void cdxCLayoutManager::CreateSizeGrip() {
    wxWindow* window = m_window.get();
    auto* grip = new SizeGrip();
    if (!grip->Create(window, wxPoint(m_initialClientWidth - 24, m_initialClientHeight - 24), wxSize(24, 24))) {
        delete grip;
        m_gripWanted = false;
        return;
    }
    // The grip takes the size of its picture and sits in the very corner.
    const wxSize size = grip->GetBestSize();
    grip->SetSize(m_initialClientWidth - size.x, m_initialClientHeight - size.y, size.x, size.y);
    m_grip = grip;
    AddControl(grip, ModeMove, ModeMove);
    grip->Show();
}

void cdxCLayoutManager::Grow(int growStep) {
    wxWindow* window = m_window.get();
    // A negative step would turn the unsigned division below into a huge
    // size; the window is never shrunk this way.
    if (!IsLiveWindow(window) || growStep <= 0)
        return;
    const wxRect r = window->GetRect();
    long long left = r.x;
    long long top = r.y;
    long long right = r.GetRight() + 1;
    long long bottom = r.GetBottom() + 1;
    const auto step = static_cast<unsigned long long>(growStep);
    if (m_flags & SizeHorz) {
        const auto d = static_cast<long long>(step * static_cast<unsigned long long>(right - left) / 50u);
        left = left - d < 0 ? 0 : left - d;
        right += d;
    }
    if (m_flags & SizeVert) {
        const auto d = static_cast<long long>(step * static_cast<unsigned long long>(bottom - top) / 50u);
        top = top - d < 0 ? 0 : top - d;
        bottom += d;
    }
    wxRect grown(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top));
    if (window->IsTopLevel())
        grown = FitIntoWorkArea(grown, r.GetSize(), window);
    window->SetSize(grown, wxSIZE_ALLOW_MINUS_ONE);
}

cdxCLayoutEntry* cdxCLayoutManager::AddControl(wxWindow* control, int horzMode, int vertMode) {
    uint8_t left, right, top, bottom;
    ModePercentages(horzMode, left, right);
    ModePercentages(vertMode, top, bottom);
    return AddControlPercent(control, left, right, top, bottom);
}

cdxCLayoutEntry* cdxCLayoutManager::AddControlPercent(wxWindow* control, uint8_t left, uint8_t right,
                                                      uint8_t top, uint8_t bottom) {
    if (!HasLiveWindow() || !IsLiveWindow(control) || !IsInitialised())
        return nullptr;
    if (left == 0 && right == 0 && top == 0 && bottom == 0)
        return nullptr;
    auto* entry = new cdxCLayoutEntry(this);
    entry->link.window = control;
    entry->leftPercent = left;
    entry->rightPercent = right;
    entry->topPercent = top;
    entry->bottomPercent = bottom;
    const wxRect r = control->GetRect();
    entry->left = r.x;
    entry->top = r.y;
    entry->right = r.x + r.width;
    entry->bottom = r.y + r.height;
    entry->next = m_first;
    if (m_first)
        m_first->prev = entry;
    m_first = entry;

    const wxSize client = m_window->GetClientSize();
    entry->Apply(client.x - m_initialClientWidth, client.y - m_initialClientHeight);
    return entry;
}

bool cdxCLayoutManager::Layout(int clientWidth, int clientHeight) {
    wxWindow* window = m_window.get();
    if (!IsLiveWindow(window) || !IsInitialised())
        return false;
    int dx = clientWidth - m_initialClientWidth;
    int dy = clientHeight - m_initialClientHeight;
    bool result = true;
    if (dx < 0) {
        dx = 0;
        result = false;
    }
    if (dy < 0) {
        dy = 0;
        result = false;
    }
    // Frozen while the controls move, then painted once.
    window->Freeze();
    for (const cdxCLayoutEntry* e = m_first; e; e = e->next)
        e->Apply(dx, dy);
    window->Thaw();
    window->Refresh(true);
    window->Update();
    return result;
}

bool cdxCLayoutManager::Relayout() {
    wxWindow* window = m_window.get();
    if (!IsLiveWindow(window) || !IsInitialised())
        return false;
    const wxSize client = window->GetClientSize();
    return Layout(client.x, client.y);
}

void cdxCLayoutManager::OnSize(SizeType type, int cx, int cy) {
    if (type == SizeMinimized || !IsInitialised())
        return;
    Layout(cx, cy);
}

void cdxCLayoutManager::OnGetMinMaxInfo(MinMaxInfo& info) const {
    if (!HasLiveWindow() || !IsInitialised())
        return;
    // The limit is the client size at Init in the frame the window has now:
    // a window manager's frame becomes known only once the window is on the
    // screen, after Init, and the client area must not lose what it adds.
    const wxSize frame = m_window->GetSize() - m_window->GetClientSize();
    const wxSize limit(m_initialClientWidth + frame.x, m_initialClientHeight + frame.y);
    info.minTrackSize = limit;
    if (!(m_flags & SizeVert))
        info.maxTrackSize.y = limit.y;
    if (!(m_flags & SizeHorz))
        info.maxTrackSize.x = limit.x;
}

void cdxCLayoutManager::RemoveAll() {
    while (m_first)
        delete m_first;
}

}  // namespace pw
