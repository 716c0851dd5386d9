#include "mainwnd/CMainDlg.h"

#include "mainwnd/CommandLine.h"
#include "mainwnd/MainDlgBatch.h"
#include "mainwnd/SessionBusService.h"
#include "mainwnd/SystemImageLists.h"
#include "mainwnd/SystemMenu.h"
#include "platform/ProductIdentity.h"
#include "res/ProgramIcon.h"
#include "res/ResourceIds.h"
#include "ui/MainWindowHints.h"
#include "ui/XMessageBox.h"
#include "viewer/CFoliocx.h"

#include <wx/dc.h>
#include <wx/dcclient.h>
#include <wx/region.h>
#include <wx/settings.h>

#include <cstdio>
#include <cstdlib>

namespace pw {

namespace {

// How each control follows the window's size: by percentages of the growth
// (left, right, top, bottom), or by one mode per direction.
struct LayoutRow {
    int id;
    bool byModes;
    int a, b, c, d;  // percentages, or horizontal and vertical mode in a and b
};

constexpr int kHalfMove = cdxCLayoutManager::ModeHalfMove;
constexpr int kMove = cdxCLayoutManager::ModeMove;
constexpr int kStretch = cdxCLayoutManager::ModeStretch;

constexpr LayoutRow kMainLayout[] = {
    {IDC_PREVIEW, false, 0, 70, 0, 100},
    {IDC_SPLITTER, false, 70, 70, 0, 100},
    {IDC_FILELIST, false, 70, 100, 0, 100},
    {IDC_ADDFILES, true, kHalfMove, kMove, 0, 0},
    {IDC_REMOVE, true, kHalfMove, kMove, 0, 0},
    {IDC_REMOVEALL, true, kHalfMove, kMove, 0, 0},
    {IDC_OPTIONS, true, kHalfMove, kMove, 0, 0},
    {IDC_COMPRESS, true, kHalfMove, kMove, 0, 0},
    {IDC_MERGEALL, true, kHalfMove, kMove, 0, 0},
    {IDC_SPLITALL, true, kHalfMove, kMove, 0, 0},
    {IDC_EXTRACT, true, kHalfMove, kMove, 0, 0},
    {IDC_ABOUT, true, kHalfMove, kMove, 0, 0},
    {IDC_INFORMATION, true, kStretch, kMove, 0, 0},
    {IDC_PROGRESS, true, kStretch, kMove, 0, 0},
};

// The file list and the preview are controls of the window's own classes.
wxWindow* CreateMainDlgControl(wxDialog* dialog, const ControlTemplate& row, const wxRect& rect) {
    const long border = (row.style & CS_BORDER) ? wxBORDER_SUNKEN : 0;
    if (row.id == IDC_PREVIEW)
        return new CFoliocx(dialog, row.id, rect.GetPosition(), rect.GetSize(), border);
    if (row.id != IDC_FILELIST)
        return nullptr;
    return new CFileListCtrl(dialog, row.id, rect.GetPosition(), rect.GetSize(), border);
}

wxIconBundle ProgramIcons() {
    wxIconBundle icons;
    icons.AddIcon(wxIcon(kProgramIcon16));
    icons.AddIcon(wxIcon(kProgramIcon32));
    icons.AddIcon(wxIcon(kProgramIcon48));
    return icons;
}

}  // namespace

CMainDlg::CMainDlg(wxWindow* parent)
    : cdxCResizableDialog(IDD_MAIN, parent, &CreateMainDlgControl), m_icon(ProgramIcons()) {
    m_hooks.messageBox = [](wxWindow* owner, const char* text, const char* caption, unsigned style) {
        return XMessageBox(owner, text, caption, style, nullptr);
    };
    m_hooks.exitProcess = [](int code) {
        std::fflush(nullptr);
        std::exit(code);
    };
    PresentAsMainWindow(this);
    BindControls();
    BindCommands();
    BindOrder();
    StartPreviewTimer();
    Bind(wxEVT_ERASE_BACKGROUND, &CMainDlg::OnEraseBackground, this);
    BindBatchButtons();
}

CMainDlg::~CMainDlg() {
    ShutDownBatch();
    ReleaseBorrowedImageLists();
}

bool CMainDlg::Destroy() {
    if (IsShown())
        SavePlacement();
    ShutDownBatch();
    m_busService.reset();
    ReleaseBorrowedImageLists();
    m_splitter.ReleaseBar();
    return cdxCResizableDialog::Destroy();
}

void CMainDlg::SetStartupHooks(StartupHooks hooks) {
    if (hooks.messageBox)
        m_hooks.messageBox = std::move(hooks.messageBox);
    if (hooks.exitProcess)
        m_hooks.exitProcess = std::move(hooks.exitProcess);
}

void CMainDlg::BindControls() {
    m_progress = wxDynamicCast(FindWindow(IDC_PROGRESS), wxGauge);
    m_fileList = dynamic_cast<CFileListCtrl*>(FindWindow(IDC_FILELIST));
    m_preview = dynamic_cast<CFoliocx*>(FindWindow(IDC_PREVIEW));
    Bind(wxEVT_BUTTON, &CMainDlg::OnExtract, this, IDC_EXTRACT);
    Bind(wxEVT_BUTTON, &CMainDlg::OnOptions, this, IDC_OPTIONS);
}

// In order: the layout with its growth, the window menu's About item where
// the desktop has one, the icons, the list and its borrowed image lists, the
// progress range, dropped files, the buttons, the controls' layout, the
// command line, the caption.
bool CMainDlg::OnInitDialog() {
    InitLayout(10);
    const ProductIdentity& id = GetProductIdentity();
    AppendAboutToSystemMenu(this, wxString("&About ") + wxString::FromUTF8(id.displayName));
    SetIcons(m_icon);
    SetUpFileList();

    if (m_fileList)
        SystemImageLists::Get().LendTo(*m_fileList);
    if (m_progress)
        m_progress->SetRange(100);
    DragAcceptFiles(true);
    GiveButtonsMnemonics();
    UpdateButtons();
    TransferDataToWindow();
    AddControlsToLayout();
    SetUpSplitter();
    RestorePlacement();
    NameControlsForScreenReaders();
    TrimPreviewToolbar();
    ProcessCommandLine();
    StartSessionBusService();
    SetTitle(wxString::FromUTF8(id.displayName));
    // Nearly every row will want the TIFF icon; looking it up once the window
    // is up spares the first files added the loading of the desktop's
    // file-type database.
    CallAfter([] {
        SystemImageLists::Get().IconIndexForKind("tif");
        SystemImageLists::Get().IconIndexForKind("tiff");
    });
    return true;
}

void CMainDlg::AddControlsToLayout() {
    for (const LayoutRow& row : kMainLayout) {
        wxWindow* control = FindWindow(row.id);
        if (row.byModes)
            m_layout.AddControl(control, row.a, row.b);
        else
            m_layout.AddControlPercent(control, static_cast<uint8_t>(row.a), static_cast<uint8_t>(row.b),
                                       static_cast<uint8_t>(row.c), static_cast<uint8_t>(row.d));
    }
}

int CMainDlg::ProcessCommandLine() { return ProcessCommandLine(GetProgramArguments()); }

int CMainDlg::ProcessCommandLine(const std::vector<std::string>& args) {
    CommandLineHandlers handlers;
    handlers.addExistingFile = [this](const std::string& path) { AddExistingFile(path.c_str()); };
    handlers.copyright = [this] {
        const ProductIdentity& id = GetProductIdentity();
        m_hooks.messageBox(this, id.copyrightNotice, id.displayName, MB_OK | MB_ICONINFORMATION);
        m_hooks.exitProcess(0);
    };
    return ScanCommandLine(args, handlers);
}

void CMainDlg::ReleaseBorrowedImageLists() {
    // The icons belong to the desktop or the process; the list lets go of
    // them and they stay with their owner.
    if (m_fileList && !m_fileList->IsBeingDeleted())
        SystemImageLists::Get().TakeBackFrom(*m_fileList);
}

void CMainDlg::OnEraseBackground(wxEraseEvent& event) {
    // The preview and the list paint their own areas; painting the face
    // colour under them first would make them flicker.
    wxRegion region(wxRect(wxPoint(0, 0), GetClientSize()));
    bool ok = true;
    if (m_preview)
        ok = region.Xor(m_preview->GetRect());
    if (ok && m_fileList)
        ok = region.Xor(m_fileList->GetRect());
    if (!ok)
        return;
    wxDC* dc = event.GetDC();
    std::unique_ptr<wxClientDC> own;
    if (!dc) {
        own = std::make_unique<wxClientDC>(this);
        dc = own.get();
    }
    const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    dc->SetBrush(wxBrush(face));
    dc->SetPen(wxPen(face));
    for (wxRegionIterator it(region); it; ++it)
        dc->DrawRectangle(it.GetRect());
}

}  // namespace pw
