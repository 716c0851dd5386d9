#pragma once
// Pagewright's page viewer: a toolbar over a page area that shows one page
// of a TIFF file at a time. A host needs only four calls: OpenFile,
// AfterOpen, GetCurrentFile and GetToolbarWindow; the rest is the viewer's
// own business (its buttons and keys).

#include "pages/PageRaster.h"
#include "viewer/PageDecodeWorker.h"

#include <wx/panel.h>
#include <wx/toolbar.h>

#include <memory>
#include <string>

namespace pw {

class FolioCanvas;

// Sent (as a wxCommandEvent, id of the viewer) after a newly opened page or
// a message in its place has first been drawn.
wxDECLARE_EVENT(EVT_FOLIO_PAGE_SHOWN, wxCommandEvent);

class CFoliocx : public wxPanel {
public:
    CFoliocx(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
             const wxSize& size = wxDefaultSize, long style = 0);
    ~CFoliocx() override;

    // Starts showing the file's first page and returns at once; the page is
    // decoded off the window's thread and drawn when it is ready, and any
    // decoding still running for an earlier file is cancelled. The two
    // texts are not used; screenDpi is the screen's dots per inch for the
    // actual-size zoom. False when the path is empty.
    bool OpenFile(const std::string& path, const std::string& unused1, const std::string& unused2,
                  short screenDpi);
    // 1: the file just opened is shown fitted into the window; 0 keeps the
    // zoom as it is.
    bool AfterOpen(int fitToWindow);
    // Exactly the text last given to OpenFile, also when the file cannot
    // be shown; empty before the first call.
    std::string GetCurrentFile() const { return m_currentFile; }
    wxToolBar* GetToolbarWindow() const { return m_toolbar; }

    // What the viewer shows.
    enum class State { Empty, Loading, Shown, Failed };
    State GetState() const { return m_state; }
    wxString GetMessage() const;
    int GetPageCount() const { return m_pageCount; }
    int GetPageIndex() const { return m_pageIndex; }
    bool GoToPage(int index);
    FolioCanvas* GetCanvas() const { return m_canvas; }
    // The decoded page on show; null while nothing is shown.
    std::shared_ptr<const PageRaster> GetRaster() const { return m_raster; }
    // Decodings started since the viewer was created.
    int GetDecodeCount() const { return m_decodeCount; }
    // Decodings whose thread is still running (cancelled ones included).
    int GetRunningDecodeCount() const;

    // How large a decoded page may be; reduced further while it is read.
    void SetRasterLimits(const PageRasterLimits& limits) { m_limits = limits; }

private:
    void StartDecoding(int pageIndex);
    void OnDecoded(unsigned ticket, std::shared_ptr<PageDecodeWorker::Result> result);
    void OnTool(wxCommandEvent& event);
    void OnPageNumberEntered(wxCommandEvent& event);
    void OnUpdateTools(wxUpdateUIEvent& event);
    void ShowPageNumber();
    void CopyPage();
    void OpenWithDialog();
    void Clear();
    void NotifyShown();

    wxToolBar* m_toolbar = nullptr;
    FolioCanvas* m_canvas = nullptr;
    std::unique_ptr<PageDecodeWorker> m_worker;
    std::shared_ptr<const PageRaster> m_raster;
    std::string m_currentFile;
    State m_state = State::Empty;
    int m_pageCount = 0;
    int m_pageIndex = 0;
    int m_decodeCount = 0;
    bool m_fitNextPage = true;
    PageRasterLimits m_limits;
};

}  // namespace pw
