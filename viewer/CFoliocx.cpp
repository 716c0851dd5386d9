#include "viewer/CFoliocx.h"

#include "ui/PathText.h"
#include "viewer/FolioCanvas.h"
#include "viewer/FolioToolbar.h"
#include "viewer/PageDecodeWorker.h"

#include <wx/clipbrd.h>
#include <wx/dcmemory.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <climits>
#include <new>

namespace pw {

wxDEFINE_EVENT(EVT_FOLIO_PAGE_SHOWN, wxCommandEvent);

CFoliocx::CFoliocx(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxPanel(parent, id, pos, size, style | wxTAB_TRAVERSAL, "Preview") {
    m_toolbar = BuildFolioToolbar(this);
    m_canvas = new FolioCanvas(this);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_toolbar, 0, wxEXPAND);
    sizer->Add(m_canvas, 1, wxEXPAND);
    SetSizer(sizer);
    m_worker = std::make_unique<PageDecodeWorker>(
        this, [this](unsigned ticket, std::shared_ptr<PageDecodeWorker::Result> result) {
            OnDecoded(ticket, std::move(result));
        });
    m_canvas->onPageStep = [this](int step) {
        if (step == INT_MIN)
            GoToPage(0);
        else if (step == INT_MAX)
            GoToPage(m_pageCount - 1);
        else
            GoToPage(m_pageIndex + step);
    };
    m_canvas->onPainted = [this] { NotifyShown(); };
    Bind(wxEVT_TOOL, &CFoliocx::OnTool, this);
    Bind(wxEVT_TEXT_ENTER, &CFoliocx::OnPageNumberEntered, this, kToolPageNumber);
    for (int tool = kToolOpen; tool <= kToolCopyPage; ++tool)
        Bind(wxEVT_UPDATE_UI, &CFoliocx::OnUpdateTools, this, tool);
    ShowPageNumber();
}

CFoliocx::~CFoliocx() = default;

bool CFoliocx::OpenFile(const std::string& path, const std::string&, const std::string&, short screenDpi) {
    m_currentFile = path;
    m_canvas->SetScreenDpi(screenDpi);
    m_raster.reset();
    m_pageCount = 0;
    m_pageIndex = 0;
    if (path.empty()) {
        Clear();
        return false;
    }
    StartDecoding(0);
    return true;
}

bool CFoliocx::AfterOpen(int fitToWindow) {
    m_fitNextPage = fitToWindow != 0;
    if (m_fitNextPage && m_canvas->GetZoomMode() != FolioCanvas::ZoomMode::FitPage && m_raster)
        m_canvas->FitPage();
    return true;
}

int CFoliocx::GetRunningDecodeCount() const { return m_worker->runningCount(); }

wxString CFoliocx::GetMessage() const { return m_canvas->GetMessage(); }

void CFoliocx::StartDecoding(int pageIndex) {
    m_state = State::Loading;
    ++m_decodeCount;
    const wxSize fit = m_canvas->GetFitArea();
    m_worker->Start(m_currentFile, pageIndex, m_limits, fit.x, fit.y);
    const wxString name = wxFileName(PathToWx(m_currentFile)).GetFullName();
    m_canvas->SetMessage(wxString::Format("Opening %s...", name));
    ShowPageNumber();
}

void CFoliocx::OnDecoded(unsigned ticket, std::shared_ptr<PageDecodeWorker::Result> result) {
    if (ticket != m_worker->currentTicket())
        return;  // a later file or page was asked for meanwhile
    std::shared_ptr<PageRaster> raster = result->raster;
    m_pageCount = raster->pageCount;
    std::string error = raster->error;
    if (raster->ok()) {
        // The page's bitmaps are made here, on the window's thread.
        try {
            m_state = State::Shown;
            m_pageIndex = std::clamp(m_pageIndex, 0, std::max(0, m_pageCount - 1));
            m_raster = raster;
            if (m_fitNextPage) {
                m_fitNextPage = false;
                m_canvas->FitPage();
            }
            m_canvas->SetPage(raster, std::move(result->fitRgb), result->fitWidth, result->fitHeight);
        } catch (const std::bad_alloc&) {
            error = "There is not enough memory to show the page.";
        }
    }
    if (!error.empty() || !raster->ok()) {
        m_state = State::Failed;
        m_raster.reset();
        const wxString name = wxFileName(PathToWx(m_currentFile)).GetFullName();
        m_canvas->SetMessage(wxString::Format("%s cannot be shown.\n%s", name, wxString::FromUTF8(error)));
    }
    ShowPageNumber();
}

bool CFoliocx::GoToPage(int index) {
    if (m_currentFile.empty() || m_pageCount <= 0)
        return false;
    index = std::clamp(index, 0, m_pageCount - 1);
    if (index == m_pageIndex && m_state != State::Failed)
        return false;
    m_pageIndex = index;
    StartDecoding(index);
    return true;
}

void CFoliocx::Clear() {
    m_worker->Cancel();
    m_state = State::Empty;
    m_raster.reset();
    m_pageCount = 0;
    m_pageIndex = 0;
    m_canvas->SetMessage(wxString());
    ShowPageNumber();
}

void CFoliocx::NotifyShown() {
    wxCommandEvent event(EVT_FOLIO_PAGE_SHOWN, GetId());
    event.SetEventObject(this);
    event.SetInt(static_cast<int>(m_state));
    ProcessWindowEvent(event);
}

void CFoliocx::ShowPageNumber() {
    auto* field = wxDynamicCast(m_toolbar->FindWindow(kToolPageNumber), wxTextCtrl);
    if (!field)
        return;
    field->ChangeValue(m_pageCount > 0 ? wxString::Format("%d / %d", m_pageIndex + 1, m_pageCount) : wxString());
}

void CFoliocx::OnPageNumberEntered(wxCommandEvent& event) {
    long number = 0;
    if (event.GetString().BeforeFirst('/').Trim().Trim(false).ToLong(&number) && number >= 1)
        GoToPage(static_cast<int>(std::min<long>(number, INT_MAX)) - 1);
    ShowPageNumber();
    m_canvas->SetFocus();
}

void CFoliocx::OnTool(wxCommandEvent& event) {
    switch (event.GetId()) {
    case kToolOpen: OpenWithDialog(); break;
    case kToolClose: OpenFile("", "", "", 96); break;
    case kToolFirstPage: GoToPage(0); break;
    case kToolPreviousPage: GoToPage(m_pageIndex - 1); break;
    case kToolNextPage: GoToPage(m_pageIndex + 1); break;
    case kToolLastPage: GoToPage(m_pageCount - 1); break;
    case kToolZoomOut: m_canvas->ZoomOut(); break;
    case kToolZoomIn: m_canvas->ZoomIn(); break;
    case kToolFitPage: m_canvas->FitPage(); break;
    case kToolFitWidth: m_canvas->FitWidth(); break;
    case kToolActualSize: m_canvas->ActualSize(); break;
    case kToolRotateLeft: m_canvas->RotateLeft(); break;
    case kToolRotateRight: m_canvas->RotateRight(); break;
    case kToolCopyPage: CopyPage(); break;
    default: event.Skip(); break;
    }
}

void CFoliocx::OnUpdateTools(wxUpdateUIEvent& event) {
    const bool shown = m_state == State::Shown;
    switch (event.GetId()) {
    case kToolOpen: event.Enable(true); break;
    case kToolClose: event.Enable(!m_currentFile.empty()); break;
    case kToolFirstPage:
    case kToolPreviousPage: event.Enable(m_pageCount > 1 && m_pageIndex > 0); break;
    case kToolNextPage:
    case kToolLastPage: event.Enable(m_pageCount > 1 && m_pageIndex < m_pageCount - 1); break;
    case kToolPageNumber: event.Enable(m_pageCount > 1); break;
    default: event.Enable(shown); break;
    }
}

void CFoliocx::CopyPage() {
    if (!m_raster)
        return;
    // The decoded page, at the resolution it was decoded at.
    wxImage image(m_raster->width, m_raster->height, const_cast<unsigned char*>(m_raster->rgb.data()), true);
    wxImage copy = image.Copy();
    const int turns = m_canvas->GetRotation() / 90;
    for (int i = 0; i < turns; ++i)
        copy = copy.Rotate90(true);
    if (wxTheClipboard->Open()) {
        wxTheClipboard->SetData(new wxBitmapDataObject(wxBitmap(copy)));
        wxTheClipboard->Close();
    }
}

void CFoliocx::OpenWithDialog() {
    wxFileDialog dialog(this, "Open", wxString(), wxString(), "TIFF files (*.tif;*.tiff)|*.tif;*.tiff;*.TIF;*.TIFF|All files|*",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return;
    OpenFile(PathFromWx(dialog.GetPath()), "", "", 96);
    AfterOpen(1);
}

}  // namespace pw
