#include "viewer/FolioCanvas.h"

#include "ui/AccessibleName.h"
#include "viewer/ViewScaling.h"

#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/settings.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace pw {

namespace {

constexpr int kMargin = 8;
// A zoomed page up to this many pixels is kept as one bitmap, so that
// scrolling only copies; a larger one is sampled for each paint.
constexpr int64_t kMaxKeptPixels = int64_t{16} << 20;
constexpr int64_t kMaxKeptEnlargedPixels = int64_t{4} << 20;

wxBitmap BitmapFromRgb(std::vector<uint8_t>&& rgb, int width, int height) {
    // wxImage takes the buffer over and frees it with free().
    auto* data = static_cast<unsigned char*>(std::malloc(rgb.size()));
    if (!data)
        return wxBitmap();
    std::copy(rgb.begin(), rgb.end(), data);
    rgb.clear();
    wxImage image(width, height, data, false);
    return wxBitmap(image);
}

}  // namespace

FolioCanvas::FolioCanvas(wxWindow* parent)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                       wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS, "Page view") {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetScrollRate(16, 16);
    Bind(wxEVT_PAINT, &FolioCanvas::OnPaint, this);
    Bind(wxEVT_SIZE, &FolioCanvas::OnSize, this);
    Bind(wxEVT_KEY_DOWN, &FolioCanvas::OnKeyDown, this);
    Bind(wxEVT_CHAR, &FolioCanvas::OnChar, this);
    Bind(wxEVT_MOUSEWHEEL, &FolioCanvas::OnMouseWheel, this);
    Bind(wxEVT_LEFT_DOWN, &FolioCanvas::OnLeftDown, this);
    SetAccessibleName(this, GetName());
}

void FolioCanvas::SetPage(std::shared_ptr<const PageRaster> raster, std::vector<uint8_t> fitRgb, int fitWidth,
                          int fitHeight) {
    m_raster = std::move(raster);
    m_message.clear();
    SetAccessibleDescription(this, "");
    m_quarterTurns = 0;
    BuildRotated();
    if (m_mode == ZoomMode::Fixed)
        ApplyZoom(m_zoom, m_mode);
    else
        UpdateFit();
    if (m_mode == ZoomMode::FitPage && GetPageViewSize() == wxSize(fitWidth, fitHeight) &&
        fitRgb.size() == size_t(fitWidth) * fitHeight * 3) {
        m_view = BitmapFromRgb(std::move(fitRgb), fitWidth, fitHeight);
        m_viewValid = m_view.IsOk();
    }
    Scroll(0, 0);
    m_paintPending = true;
    Refresh();
}

void FolioCanvas::SetMessage(const wxString& text) {
    m_raster.reset();
    m_rotated.clear();
    m_rotated.shrink_to_fit();
    m_message = text;
    // The message is painted: a screen reader hears it as the area's
    // description.
    SetAccessibleDescription(this, text);
    InvalidateView();
    SetVirtualSize(0, 0);
    m_paintPending = true;
    Refresh();
}

void FolioCanvas::BuildRotated() {
    InvalidateView();
    m_rotated.clear();
    m_rotated.shrink_to_fit();
    if (!m_raster)
        return;
    const int w = m_raster->width, h = m_raster->height;
    const bool sideways = m_quarterTurns % 2 != 0;
    m_rotatedWidth = sideways ? h : w;
    m_rotatedHeight = sideways ? w : h;
    if (m_quarterTurns == 0)
        return;  // the raster's own pixels are used
    m_rotated.resize(m_raster->rgb.size());
    const uint8_t* src = m_raster->rgb.data();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int dx = x, dy = y;
            switch (m_quarterTurns) {
            case 1: dx = h - 1 - y; dy = x; break;          // right
            case 2: dx = w - 1 - x; dy = h - 1 - y; break;
            case 3: dx = y; dy = w - 1 - x; break;          // left
            }
            const uint8_t* s = src + (static_cast<size_t>(y) * w + x) * 3;
            uint8_t* d = &m_rotated[(static_cast<size_t>(dy) * m_rotatedWidth + dx) * 3];
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
}

double FolioCanvas::MasterScale() const { return m_raster ? m_zoom * m_raster->reduction : m_zoom; }

wxSize FolioCanvas::GetPageViewSize() const {
    if (!m_raster)
        return wxSize(0, 0);
    const double s = MasterScale();
    return wxSize(ScaledLength(m_rotatedWidth, s), ScaledLength(m_rotatedHeight, s));
}

wxSize FolioCanvas::GetFitArea() const {
    // Scroll bars are not needed at a fit, so the whole window counts.
    const wxSize size = GetSize();
    return wxSize(std::max(1, size.x - 2 * kMargin), std::max(1, size.y - 2 * kMargin));
}

wxPoint FolioCanvas::GetPageOrigin() const {
    const wxSize view = GetPageViewSize();
    const wxSize client = GetClientSize();
    return wxPoint(std::max(kMargin, (client.x - view.x) / 2), std::max(kMargin, (client.y - view.y) / 2));
}

void FolioCanvas::InvalidateView() {
    m_view = wxBitmap();
    m_viewValid = false;
}

void FolioCanvas::ApplyZoom(double zoom, ZoomMode mode) {
    m_mode = mode;
    if (!m_raster) {
        m_zoom = zoom;
        return;
    }
    // Keep the point at the middle of the window where it is.
    const wxSize client = GetClientSize();
    const wxSize oldView = GetPageViewSize();
    const wxPoint oldTop = CalcUnscrolledPosition(wxPoint(0, 0));
    const double fx = oldView.x > 0 ? (oldTop.x + client.x / 2.0 - kMargin) / oldView.x : 0.5;
    const double fy = oldView.y > 0 ? (oldTop.y + client.y / 2.0 - kMargin) / oldView.y : 0.5;
    // No more than 16 screen pixels per decoded pixel.
    zoom = std::clamp(zoom, kMinZoom, std::max(kMinZoom, kMaxZoom / m_raster->reduction));
    if (zoom != m_zoom)
        InvalidateView();
    m_zoom = zoom;
    const wxSize view = GetPageViewSize();
    SetVirtualSize(view.x + 2 * kMargin, view.y + 2 * kMargin);
    int rateX = 1, rateY = 1;
    GetScrollPixelsPerUnit(&rateX, &rateY);
    const int left = static_cast<int>(fx * view.x + kMargin - client.x / 2.0);
    const int top = static_cast<int>(fy * view.y + kMargin - client.y / 2.0);
    Scroll(std::max(0, left) / std::max(1, rateX), std::max(0, top) / std::max(1, rateY));
    Refresh();
}

void FolioCanvas::UpdateFit() {
    if (!m_raster || m_mode == ZoomMode::Fixed)
        return;
    const wxSize area = GetFitArea();
    const double pw = static_cast<double>(m_rotatedWidth) * m_raster->reduction;
    const double ph = static_cast<double>(m_rotatedHeight) * m_raster->reduction;
    double zoom = FitZoom(pw, ph, area.x, area.y);
    if (m_mode == ZoomMode::FitWidth) {
        zoom = area.x / pw;
        if (ph * zoom > area.y)  // the vertical scroll bar takes its width
            zoom = std::max(1.0, double(area.x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this))) / pw;
    }
    ApplyZoom(zoom, m_mode);
}

void FolioCanvas::FitPage() {
    m_mode = ZoomMode::FitPage;
    UpdateFit();
}

void FolioCanvas::FitWidth() {
    m_mode = ZoomMode::FitWidth;
    UpdateFit();
}

void FolioCanvas::ActualSize() {
    double zoom = 1.0;
    if (m_raster && m_raster->xResolution > 0)
        zoom = m_screenDpi / m_raster->xResolution;
    ApplyZoom(zoom, ZoomMode::Fixed);
}

void FolioCanvas::ZoomIn() { ApplyZoom(m_zoom * kZoomStep, ZoomMode::Fixed); }
void FolioCanvas::ZoomOut() { ApplyZoom(m_zoom / kZoomStep, ZoomMode::Fixed); }

void FolioCanvas::RotateLeft() { Turn(3); }
void FolioCanvas::RotateRight() { Turn(1); }

void FolioCanvas::Turn(int quarterTurnsRight) {
    if (!m_raster)
        return;
    m_quarterTurns = (m_quarterTurns + quarterTurnsRight) % 4;
    BuildRotated();
    m_mode == ZoomMode::Fixed ? ApplyZoom(m_zoom, m_mode) : UpdateFit();
    Refresh();
}

void FolioCanvas::OnSize(wxSizeEvent& event) {
    UpdateFit();
    Refresh();
    event.Skip();
}

void FolioCanvas::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize client = GetClientSize();
    // A shade darker than the window's face, so that a white page stands out
    // (the desktop's workspace colour is often plain white).
    const wxColour back = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE).ChangeLightness(85);
    dc.SetBackground(wxBrush(back));
    dc.Clear();
    if (!m_raster) {
        if (!m_message.empty()) {
            dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
            dc.SetFont(GetFont());
            const wxRect area(wxPoint(kMargin, kMargin), client - wxSize(2 * kMargin, 2 * kMargin));
            dc.DrawLabel(m_message, area, wxALIGN_CENTER);
        }
    } else {
        const wxSize view = GetPageViewSize();
        const wxPoint top = CalcUnscrolledPosition(wxPoint(0, 0));
        const wxPoint origin = GetPageOrigin() - top;  // in client coordinates
        const int64_t pixels = int64_t{view.x} * view.y;
        const bool keep = MasterScale() < 1.0 ? pixels <= kMaxKeptPixels : pixels <= kMaxKeptEnlargedPixels;
        if (keep && !m_viewValid) {
            m_view = BitmapFromRgb(RenderView(wxRect(view)), view.x, view.y);
            m_viewValid = true;
        }
        if (keep && m_view.IsOk()) {
            dc.DrawBitmap(m_view, origin);
        } else if (!keep) {
            // Only the part inside the window.
            const wxRect visible = wxRect(origin, view).Intersect(wxRect(client));
            if (!visible.IsEmpty()) {
                const wxRect part(visible.GetPosition() - origin, visible.GetSize());
                dc.DrawBitmap(BitmapFromRgb(RenderView(part), visible.width, visible.height), visible.GetPosition());
            }
        }
        dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(wxRect(origin, view).Inflate(1));
    }
    if (m_paintPending) {
        m_paintPending = false;
        if (m_raster)
            ++m_pagesPainted;
        if (onPainted)
            CallAfter([this] {
                if (onPainted)
                    onPainted();
            });
    }
}

std::vector<uint8_t> FolioCanvas::RenderView(const wxRect& part) const {
    if (!m_raster)
        return std::vector<uint8_t>(static_cast<size_t>(std::max(0, part.width)) * std::max(0, part.height) * 3, 0xFF);
    const RgbView source{m_quarterTurns == 0 ? m_raster->rgb.data() : m_rotated.data(), m_rotatedWidth,
                         m_rotatedHeight};
    const double s = MasterScale();
    const wxSize view = GetPageViewSize();
    if (s < 1.0 && part == wxRect(view))
        return ShrinkRgb(source, view.x, view.y);
    // Parts are drawn for enlarged pages, which are not kept whole.
    return SampleRgb(source, s, part.x, part.y, part.width, part.height);
}

void FolioCanvas::OnKeyDown(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP:
        if (onPageStep)
            onPageStep(-1);
        return;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN:
        if (onPageStep)
            onPageStep(1);
        return;
    case WXK_HOME:
        if (event.ControlDown() && onPageStep) {
            onPageStep(INT_MIN);
            return;
        }
        break;
    case WXK_END:
        if (event.ControlDown() && onPageStep) {
            onPageStep(INT_MAX);
            return;
        }
        break;
    case WXK_ADD:
    case WXK_NUMPAD_ADD:
        ZoomIn();
        return;
    case WXK_SUBTRACT:
    case WXK_NUMPAD_SUBTRACT:
        ZoomOut();
        return;
    default:
        break;
    }
    event.Skip();
}

void FolioCanvas::OnChar(wxKeyEvent& event) {
    switch (event.GetUnicodeKey()) {
    case '+':
    case '=':
        ZoomIn();
        return;
    case '-':
        ZoomOut();
        return;
    default:
        event.Skip();
    }
}

void FolioCanvas::OnMouseWheel(wxMouseEvent& event) {
    if (event.ControlDown() && m_raster) {
        event.GetWheelRotation() > 0 ? ZoomIn() : ZoomOut();
        return;
    }
    event.Skip();
}

void FolioCanvas::OnLeftDown(wxMouseEvent& event) {
    SetFocus();
    event.Skip();
}

}  // namespace pw
