#pragma once
// One control under a cdxCLayoutManager: the control's place when it was
// added and four percentages telling how far each of its edges follows the
// growth of the managed window's client area.

#include <wx/gdicmn.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <cstdint>
#include <memory>

namespace pw {

class cdxCLayoutManager;

class cdxCLayoutEntry {
public:
    // The windows an entry moves. Adding a control fills the first link only;
    // the chain lets one entry move several windows the same way.
    struct WindowLink {
        wxWeakRef<wxWindow> window;
        std::unique_ptr<WindowLink> next;
    };

    cdxCLayoutEntry(const cdxCLayoutEntry&) = delete;
    cdxCLayoutEntry& operator=(const cdxCLayoutEntry&) = delete;
    // Unlinks the entry from its manager's list.
    virtual ~cdxCLayoutEntry();

    // The rectangle the entry's windows get for a client-area growth of
    // (dx, dy) pixels. Each edge moves by (growth x percentage) / 100,
    // truncated toward zero.
    wxRect PlacedRect(int dx, int dy) const;
    // Moves every window of the entry that still exists to PlacedRect.
    void Apply(int dx, int dy) const;

    cdxCLayoutEntry* next = nullptr;
    cdxCLayoutEntry* prev = nullptr;
    cdxCLayoutManager* manager;
    WindowLink link;
    uint8_t leftPercent = 0;
    uint8_t rightPercent = 0;
    uint8_t topPercent = 0;
    uint8_t bottomPercent = 0;
    // The control's rectangle when it was added, in client coordinates.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

private:
    friend class cdxCLayoutManager;
    explicit cdxCLayoutEntry(cdxCLayoutManager* owner) : manager(owner) {}
};

// An edge at `recorded` moved by its share of `growth`; the product is
// divided with truncation toward zero, so 50% of 15 is 7 and of -15 is -7.
int ShiftEdge(int recorded, int growth, int percent);

}  // namespace pw
