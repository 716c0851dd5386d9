#pragma once
// The page area of the viewer: one decoded page, zoomed, rotated and
// scrolled without decoding it again, or a short message in its place.

#include "pages/PageRaster.h"

#include <wx/bitmap.h>
#include <wx/scrolwin.h>

#include <functional>
#include <memory>

namespace pw {

class FolioCanvas : public wxScrolledCanvas {
public:
    explicit FolioCanvas(wxWindow* parent);

    // The page to show; the zoom mode stays as it is. fitRgb, when given,
    // is the page already shrunk to fitWidth x fitHeight for the fitted view.
    void SetPage(std::shared_ptr<const PageRaster> raster, std::vector<uint8_t> fitRgb = {}, int fitWidth = 0,
                 int fitHeight = 0);
    // The area a fitted page is drawn in.
    wxSize GetFitArea() const;
    // A message in place of a page (an empty text: an empty area).
    void SetMessage(const wxString& text);
    bool HasPage() const { return m_raster != nullptr; }
    const wxString& GetMessage() const { return m_message; }

    enum class ZoomMode { FitPage, FitWidth, Fixed };
    void FitPage();
    void FitWidth();
    // One page pixel per screen pixel at the page's resolution shown at
    // the screen's dots per inch (1:1 when the page has no resolution).
    void ActualSize();
    void ZoomIn();
    void ZoomOut();
    // Screen pixels per page pixel, kept until the next fit.
    void SetZoom(double zoom) { ApplyZoom(zoom, ZoomMode::Fixed); }
    void RotateLeft();
    void RotateRight();
    void SetScreenDpi(int dpi) { m_screenDpi = dpi > 0 ? dpi : 96; }

    ZoomMode GetZoomMode() const { return m_mode; }
    // Screen pixels per page pixel.
    double GetZoom() const { return m_zoom; }
    int GetRotation() const { return m_quarterTurns * 90; }
    // The page as drawn, in screen pixels, and where it starts in the
    // canvas's client area.
    wxSize GetPageViewSize() const;
    wxPoint GetPageOrigin() const;
    // The pixels (RGB) of a part of the page as drawn at the current zoom
    // and rotation; part is in the coordinates of GetPageViewSize.
    std::vector<uint8_t> RenderView(const wxRect& part) const;
    // Pages drawn since creation (a page counts once, when first painted).
    int GetPagesPainted() const { return m_pagesPainted; }

    // Page Up/Page Down (and Home/End) ask the owner for another page.
    std::function<void(int step)> onPageStep;
    // Called once after a new page or message was first painted.
    std::function<void()> onPainted;

    static constexpr double kMinZoom = 0.01;
    static constexpr double kMaxZoom = 16.0;
    static constexpr double kZoomStep = 1.25;

private:
    void ApplyZoom(double zoom, ZoomMode mode);
    void UpdateFit();
    void InvalidateView();
    void BuildRotated();
    void Turn(int quarterTurnsRight);
    double MasterScale() const;  // screen pixels per decoded pixel
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);

    std::shared_ptr<const PageRaster> m_raster;
    std::vector<uint8_t> m_rotated;  // the decoded page turned by the rotation
    int m_rotatedWidth = 0, m_rotatedHeight = 0;
    wxString m_message;
    ZoomMode m_mode = ZoomMode::FitPage;
    double m_zoom = 1.0;
    int m_quarterTurns = 0;
    int m_screenDpi = 96;
    wxBitmap m_view;  // the whole page at the current zoom, when small enough to keep
    bool m_viewValid = false;
    bool m_paintPending = false;
    int m_pagesPainted = 0;
};

}  // namespace pw
