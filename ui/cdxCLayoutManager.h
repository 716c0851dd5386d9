#pragma once
// Keeps a window's controls in place while the window is resized. Each
// control added carries four percentages saying how far each of its edges
// follows the growth of the window's client area over its size at Init.

#include "ui/cdxCLayoutEntry.h"

#include <wx/gdicmn.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <cstdint>

namespace pw {

class cdxCLayoutManager {
public:
    enum Flags : uint32_t {
        SizeHorz = 1u << 0,   // the width may change
        SizeVert = 1u << 1,   // the height may change
    };

    // Layout modes for AddControl, one per direction.
    enum Mode {
        ModeFixed = 0,      // keeps place and size (also every unknown value)
        ModeStretch = 1,    // grows with the window
        ModeMove = 2,       // keeps size and distance to the right/bottom border
        ModeHalfMove = 3,   // keeps size, moves by half the growth
    };

    // What a size notice says about the window.
    enum SizeType { SizeRestored, SizeMinimized, SizeMaximized };

    // The limits of the window's frame size while the user drags it; -1
    // leaves a value to the toolkit.
    struct MinMaxInfo {
        wxSize minTrackSize = wxDefaultSize;
        wxSize maxTrackSize = wxDefaultSize;
    };

    explicit cdxCLayoutManager(uint32_t flags = SizeHorz | SizeVert, bool gripWanted = true);
    cdxCLayoutManager(const cdxCLayoutManager&) = delete;
    cdxCLayoutManager& operator=(const cdxCLayoutManager&) = delete;
    // Deletes the remaining entries and the size grip.
    virtual ~cdxCLayoutManager();

    void SetWindow(wxWindow* window) { m_window = window; }
    wxWindow* GetWindow() const { return m_window.get(); }

    // Records the window's present client and frame sizes as the sizes the
    // percentages refer to, puts the size grip in the lower right corner
    // (when wanted), and grows the window by growStep (0: not at all).
    // Always true.
    bool Init(int growStep);

    // Adds a control by one mode per direction; null when both modes are
    // ModeFixed or AddControlPercent refuses it.
    cdxCLayoutEntry* AddControl(wxWindow* control, int horzMode, int vertMode);
    // Adds a control and places it at once for the present client size.
    // Null when the managed window or the control is not a live window,
    // Init has not run, or all four percentages are 0.
    cdxCLayoutEntry* AddControlPercent(wxWindow* control, uint8_t left, uint8_t right, uint8_t top,
                                       uint8_t bottom);

    // Places every control for the given client size and repaints the window
    // once. False when nothing was done, or when the client area is smaller
    // than at Init in some direction (that direction then counts as no growth).
    bool Layout(int clientWidth, int clientHeight);
    // Layout for the window's present client size.
    bool Relayout();
    // Enlarges the window around its centre by growStep fiftieths of its size
    // in each direction that may change; the left and top edges stop at 0.
    // A top-level window that would then leave its display's work area is
    // fitted into it, but never made smaller than it was.
    void Grow(int growStep);

    // The size notice's share of the work: lays out unless minimised.
    void OnSize(SizeType type, int cx, int cy);
    // The client area may not become smaller than at Init, nor change in a
    // direction the flags fix; the limits are frame sizes for the frame the
    // window has now.
    void OnGetMinMaxInfo(MinMaxInfo& info) const;

    // Deletes all entries.
    void RemoveAll();

    bool IsInitialised() const { return m_initialClientWidth != -1; }
    wxSize GetInitialClientSize() const { return wxSize(m_initialClientWidth, m_initialClientHeight); }
    wxSize GetInitialWindowSize() const { return wxSize(m_initialWindowWidth, m_initialWindowHeight); }
    uint32_t GetFlags() const { return m_flags; }
    wxWindow* GetSizeGrip() const { return m_grip.get(); }
    bool IsGripWanted() const { return m_gripWanted; }
    // The most recently added entry; follow next for the earlier ones.
    cdxCLayoutEntry* GetFirstEntry() const { return m_first; }

private:
    friend class cdxCLayoutEntry;

    bool HasLiveWindow() const;
    void CreateSizeGrip();

    cdxCLayoutEntry* m_first = nullptr;
    wxWeakRef<wxWindow> m_window;
    int m_initialClientWidth = -1;
    int m_initialClientHeight = 0;
    int m_initialWindowWidth = 0;
    int m_initialWindowHeight = 0;
    uint32_t m_flags;
    wxWeakRef<wxWindow> m_grip;
    bool m_gripWanted;
};

// True when the pointer names a window that exists and is not going away.
bool IsLiveWindow(const wxWindow* window);

}  // namespace pw
