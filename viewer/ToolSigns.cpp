#include "viewer/ToolSigns.h"

#include "viewer/FolioToolbar.h"

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/settings.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace pw {

namespace {

constexpr int kUnits = 16;  // the signs are drawn on a grid of 16 by 16

void Triangle(wxGraphicsPath& path, double x1, double y1, double x2, double y2, double x3, double y3) {
    path.MoveToPoint(x1, y1);
    path.AddLineToPoint(x2, y2);
    path.AddLineToPoint(x3, y3);
    path.CloseSubpath();
}

void Magnifier(wxGraphicsContext& gc, bool plus) {
    wxGraphicsPath lens = gc.CreatePath();
    lens.AddCircle(6.5, 6.5, 4.5);
    gc.StrokePath(lens);
    gc.StrokeLine(10, 10, 14, 14);
    gc.StrokeLine(4.5, 6.5, 8.5, 6.5);
    if (plus)
        gc.StrokeLine(6.5, 4.5, 6.5, 8.5);
}

// A quarter turn's arrow round the middle, clockwise: from nine o'clock
// over the top to just past three, its head pointing on.
void TurnArrow(wxGraphicsContext& gc) {
    constexpr double kPi = 3.14159265358979;
    constexpr double cx = 8, cy = 9, r = 5;
    const double end = 2 * kPi + 0.35;
    wxGraphicsPath arc = gc.CreatePath();
    arc.AddArc(cx, cy, r, kPi, end - 0.25, true);
    gc.StrokePath(arc);
    const double nx = std::cos(end), ny = std::sin(end);  // outwards
    const double tx = -ny, ty = nx;                        // onwards
    const double px = cx + r * nx, py = cy + r * ny;
    wxGraphicsPath head = gc.CreatePath();
    Triangle(head, px + 2 * tx, py + 2 * ty, px - 2.5 * tx + 3 * nx, py - 2.5 * ty + 3 * ny,
             px - 2.5 * tx - 3 * nx, py - 2.5 * ty - 3 * ny);
    gc.FillPath(head);
}

void Draw(wxGraphicsContext& gc, int toolId) {
    wxGraphicsPath path = gc.CreatePath();
    switch (toolId) {
    case kToolOpen:
        path.MoveToPoint(1.5, 4);
        path.AddLineToPoint(6, 4);
        path.AddLineToPoint(7.5, 5.5);
        path.AddLineToPoint(14.5, 5.5);
        path.AddLineToPoint(14.5, 13);
        path.AddLineToPoint(1.5, 13);
        path.CloseSubpath();
        gc.StrokePath(path);
        return;
    case kToolClose:
        gc.StrokeLine(4, 4, 12, 12);
        gc.StrokeLine(12, 4, 4, 12);
        return;
    case kToolFirstPage:
        path.AddRectangle(3, 3, 2, 10);
        Triangle(path, 13, 3, 13, 13, 6, 8);
        gc.FillPath(path);
        return;
    case kToolPreviousPage:
        Triangle(path, 11, 3, 11, 13, 4, 8);
        gc.FillPath(path);
        return;
    case kToolNextPage:
        Triangle(path, 5, 3, 5, 13, 12, 8);
        gc.FillPath(path);
        return;
    case kToolLastPage:
        Triangle(path, 3, 3, 3, 13, 10, 8);
        path.AddRectangle(11, 3, 2, 10);
        gc.FillPath(path);
        return;
    case kToolZoomOut:
    case kToolZoomIn:
        Magnifier(gc, toolId == kToolZoomIn);
        return;
    case kToolFitPage:
        // A page whose four corners are held by the window's.
        path.AddRectangle(4.5, 3.5, 7, 9);
        gc.StrokePath(path);
        gc.StrokeLine(1, 1, 1, 4), gc.StrokeLine(1, 1, 4, 1);
        gc.StrokeLine(15, 1, 15, 4), gc.StrokeLine(15, 1, 12, 1);
        gc.StrokeLine(1, 15, 1, 12), gc.StrokeLine(1, 15, 4, 15);
        gc.StrokeLine(15, 15, 15, 12), gc.StrokeLine(15, 15, 12, 15);
        return;
    case kToolFitWidth: {
        // A page stretched to the window's two sides.
        gc.StrokeLine(1, 2, 1, 14);
        gc.StrokeLine(15, 2, 15, 14);
        gc.StrokeLine(3.5, 8, 12.5, 8);
        wxGraphicsPath heads = gc.CreatePath();
        Triangle(heads, 3, 8, 6, 5, 6, 11);
        Triangle(heads, 13, 8, 10, 5, 10, 11);
        gc.FillPath(heads);
        return;
    }
    case kToolActualSize: {
        // 1:1
        gc.StrokeLine(3.5, 4, 3.5, 12.5);
        gc.StrokeLine(2, 5.5, 3.5, 4);
        gc.StrokeLine(12.5, 4, 12.5, 12.5);
        gc.StrokeLine(11, 5.5, 12.5, 4);
        path.AddCircle(8, 6, 1);
        path.AddCircle(8, 11, 1);
        gc.FillPath(path);
        return;
    }
    case kToolRotateLeft:
        // The right turn's arrow, mirrored.
        gc.Translate(kUnits, 0);
        gc.Scale(-1, 1);
        TurnArrow(gc);
        return;
    case kToolRotateRight:
        TurnArrow(gc);
        return;
    case kToolCopyPage:
        path.AddRectangle(2, 2, 8, 9);
        path.AddRectangle(6, 5, 8, 9);
        gc.StrokePath(path);
        return;
    default:
        return;
    }
}

wxBitmap SignBitmap(int toolId, int size) {
    wxImage image(size, size);
    image.InitAlpha();
    unsigned char* alpha = image.GetAlpha();
    std::fill(alpha, alpha + size * size, 0);
    {
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
        if (!gc)
            return wxBitmap();
        gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
        gc->Scale(static_cast<double>(size) / kUnits, static_cast<double>(size) / kUnits);
        const wxColour ink = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT);
        gc->SetPen(gc->CreatePen(wxGraphicsPenInfo(ink).Width(1.6)));
        gc->SetBrush(wxBrush(ink));
        Draw(*gc, toolId);
    }
    return wxBitmap(image);
}

}  // namespace

wxBitmapBundle ToolSign(int toolId) {
    if (toolId < kToolOpen || toolId > kToolCopyPage || toolId == kToolPageNumber)
        return wxBitmapBundle();
    wxVector<wxBitmap> bitmaps;
    for (int size : {16, 24, 32})
        bitmaps.push_back(SignBitmap(toolId, size));
    return wxBitmapBundle::FromBitmaps(bitmaps);
}

}  // namespace pw
