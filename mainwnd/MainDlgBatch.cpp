// The batch buttons of the main window (Compress, Merge All, Split All), the
// start and stop of a batch, the worker's notices, and closing the window
// while a batch runs.

#include "mainwnd/MainDlgBatch.h"

#include "engine/BatchEngine.h"
#include "engine/BatchPlan.h"
#include "engine/BatchSession.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/MergeOutputFile.h"
#include "mainwnd/PostToGuiThread.h"
#include "platform/ProductIdentity.h"
#include "res/ResourceIds.h"
#include "ui/ChooseFolder.h"
#include "ui/PathText.h"
#include "ui/XMessageBox.h"

#include <wx/control.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <algorithm>
#include <cctype>

namespace pw {

namespace {

struct BatchButton {
    int id;
    const char* label;      // the idle caption
    const char* operation;  // the worker's operation text
};

constexpr BatchButton kBatchButtons[] = {
    {IDC_COMPRESS, "Compress", kOperationCompress},
    {IDC_MERGEALL, "Merge All", kOperationMerge},
    {IDC_SPLITALL, "Split All", kOperationSplit},
};

// The caption of the button that started the running batch.
constexpr char kStopCaption[] = "Stop";

// The captions are compared as read, without their mnemonics' marks.
wxString CaptionOf(const wxWindow* button) { return wxControl::RemoveMnemonics(button->GetLabel()); }

void SetInformationLine(wxWindow* dialog, const wxString& text) {
    if (auto* line = dynamic_cast<wxStaticText*>(dialog->FindWindow(IDC_INFORMATION)))
        line->SetLabelText(text);
}

void ShowRefusal(wxWindow* owner, const std::string& error) {
    std::string text = error;
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    text += ".\n\nNothing has been started and no file has been changed.";
    XMessageBox(owner, text.c_str(), GetProductIdentity().displayName, MB_OK | MB_ICONERROR);
}

}  // namespace

MainDlgBatchLink::MainDlgBatchLink(CMainDlg& window)
    : m_window(window),
      // A task that runs after the window has gone finds the relay closed
      // and does nothing.
      m_relay([](std::function<void()> task) { PostToGuiThread(std::move(task)); }),
      m_watch(this),
      m_pace(&window, std::chrono::milliseconds(100)) {
    Bind(wxEVT_TIMER, &MainDlgBatchLink::OnWatch, this);
}

MainDlgBatchLink::~MainDlgBatchLink() { Shutdown(); }

BatchSession::NoticeCarrier MainDlgBatchLink::Carrier() {
    // A notice of an earlier batch - of a worker a stop left behind, still
    // on its way - is not this batch's.
    const uint64_t batch = ++m_batchNumber;
    return [this, batch](std::function<void()> notice, bool wait) {
        return m_relay.Run(
            [this, batch, notice = std::move(notice)] {
                if (m_active && batch == m_batchNumber)
                    RunNotice(notice);
            },
            wait);
    };
}

void MainDlgBatchLink::RunNotice(const std::function<void()>& notice) {
    try {
        notice();
    } catch (...) {
        // The worker waits for this notice; once it has its answer the batch
        // is stopped, which brings the window back to idle.
        m_window.CallAfter([this] {
            if (m_active)
                m_window.StopBatch();
        });
    }
}

void MainDlgBatchLink::OnWatch(wxTimerEvent&) {
    // A worker that ended without its finished notice (it failed) leaves
    // the session idle: the window follows.
    if (m_active && !BatchSession::Instance().IsRunning())
        m_window.OnItemStarted(kBatchFinished);
}

void MainDlgBatchLink::BatchStarted(std::vector<std::string> sources) {
    m_sources = std::move(sources);
    m_shift = 0;
    m_active = true;
    m_watch.Start(1000);
}

void MainDlgBatchLink::BatchStopped() {
    m_active = false;
    m_watch.Stop();
}

void MainDlgBatchLink::Shutdown() {
    m_watch.Stop();
    m_relay.Close();
    m_pace.Release();
    // The worker reports to this object: it must end before the object goes.
    if (m_active)
        BatchSession::Instance().Stop();
    m_active = false;
}

void MainDlgBatchLink::OnProgress(int position) { m_window.OnProgress(position); }

void MainDlgBatchLink::OnItemStarted(int index) {
    if (index == kBatchFinished) {
        m_window.OnItemStarted(kBatchFinished);
        return;
    }
    const long row = RowOf(index);
    if (row >= 0)
        m_window.OnItemStarted(row);
}

// Rows removed during the batch move the rows below them up, by as many as
// were removed above: the row of an entry is looked for where the last one
// was found, then further up. A row whose file has left the list has none.
long MainDlgBatchLink::RowOf(int index) {
    CFileListCtrl* list = m_window.GetFileList();
    if (!list || index < 0 || static_cast<size_t>(index) >= m_sources.size())
        return -1;
    const std::string& path = m_sources[index];
    for (long row = std::min<long>(index - m_shift, list->GetItemCount() - 1); row >= 0; --row) {
        if (PathFromWx(list->GetItemText(row, 0)) == path) {
            m_shift = index - row;
            return row;
        }
    }
    return -1;
}

void MainDlgBatchLink::OnItemStatus(int index, const std::string& status, const std::string& reason) {
    const long row = RowOf(index);
    if (row < 0)
        return;
    CFileListCtrl* list = m_window.GetFileList();
    list->SetItem(row, 3, wxString::FromUTF8(status));
    // Why it failed: the status cell's tooltip and its description for
    // screen readers.
    list->SetItemNote(row, wxString::FromUTF8(reason));
}

void CMainDlg::BindBatchButtons() {
    m_batch = std::make_unique<MainDlgBatchLink>(*this);
    for (const BatchButton& button : kBatchButtons)
        Bind(wxEVT_BUTTON, &CMainDlg::OnBatchButton, this, button.id);
    Bind(wxEVT_CLOSE_WINDOW, &CMainDlg::OnCloseWindow, this);
}

void CMainDlg::ShutDownBatch() {
    if (m_batch)
        m_batch->Shutdown();
}

// The caption is the batch's state: the idle caption starts a batch (after
// stopping whatever runs), "Stop" stops the running one.
void CMainDlg::OnBatchButton(wxCommandEvent& event) {
    const auto* button = std::find_if(std::begin(kBatchButtons), std::end(kBatchButtons),
                                      [&](const BatchButton& b) { return b.id == event.GetId(); });
    wxWindow* control = FindWindow(event.GetId());
    if (button == std::end(kBatchButtons) || !control)
        return;
    if (!TransferDataFromWindow())
        return;
    const wxString caption = CaptionOf(control);
    if (caption == button->label) {
        if (!m_fileList || m_fileList->GetItemCount() == 0)
            return;
        StopBatch();
        BatchSession::Instance().SetCurrentOperation(button->operation);
        if (StartBatch())
            control->SetLabel(MainButtonCaption(kStopCaption));
    } else if (caption == kStopCaption) {
        StopBatch();
        control->SetLabel(MainButtonCaption(button->label));
    }
}

bool CMainDlg::StartBatch() {
    if (!m_fileList)
        return false;
    BatchSession& session = BatchSession::Instance();
    const std::string operation = session.CurrentOperation();
    // The batch takes the rows there are before the output is asked for; a
    // row that arrives while the dialog is open (from another program) is
    // not part of it.
    const long count = m_fileList->GetItemCount();
    const std::string place = operation == kOperationMerge ? AskMergeOutputFile(this) : ChooseFolder(this);
    if (place.empty())
        return false;

    std::vector<std::string> sources;
    for (long i = 0; i < std::min<long>(count, m_fileList->GetItemCount()); ++i)
        sources.push_back(PathFromWx(m_fileList->GetItemText(i, 0)));
    BatchPlan plan = PlanBatch(operation, sources, place);
    if (!plan.ok) {
        // A split folder that cannot be created stops the start without a
        // word, as a cancelled choice does; every other refusal is told.
        if (!plan.splitFolderNotCreated)
            ShowRefusal(this, plan.error);
        return false;
    }

    m_batch->BatchStarted(plan.job.sources);
    // Merge and split on the engine of the "Engine" setting, read with the
    // other keys; operations put in by a test take its place.
    std::shared_ptr<BatchOperations> operations =
        m_operations ? std::shared_ptr<BatchOperations>(std::shared_ptr<void>(), m_operations)
                     : MakeBatchOperations(plan.engine);
    if (!session.Start(std::move(plan.job), *m_batch, std::move(operations), m_batch->Carrier())) {
        m_batch->BatchStopped();
        XMessageBox(nullptr, "CreateThread error.", "Error", MB_ICONERROR);
        return false;
    }
    // The worker is under way while the window shows the start: its notices
    // run on this thread, so only after this.
    SetInformationLine(this, "Please waiting...");
    if (m_progress)
        m_progress->SetValue(5);
    ClearInformationColumn();
    return true;
}

void CMainDlg::StopBatch() {
    BatchSession& session = BatchSession::Instance();
    if (!session.IsRunning()) {
        // Still ends any tool run of ours and removes the temporary images.
        session.Stop();
        return;
    }
    wxBusyCursor wait;
    // The worker may be waiting for the window to handle a notice: the wait
    // hands it over, so the worker always gets to its end. One that cannot
    // end (held up by a hung network mount) is left behind after the wait:
    // the window is usable again and hears nothing more of it.
    session.Stop([this] { m_batch->DeliverPending(); }, std::chrono::milliseconds(kStopWaitMs));
    m_batch->BatchStopped();
    OnItemStarted(kBatchFinished);
}

bool CMainDlg::IsBatchRunning() const {
    for (const BatchButton& button : kBatchButtons) {
        const wxWindow* control = FindWindow(button.id);
        if (control && CaptionOf(control) == kStopCaption)
            return true;
    }
    return false;
}

void CMainDlg::OnProgress(int position) {
    if (m_progress)
        m_progress->SetValue(std::clamp(position, 0, 100));
}

void CMainDlg::OnItemStarted(long index) {
    if (index == kBatchFinished) {
        if (m_batch) {
            m_batch->BatchStopped();
            m_batch->Pace().Release();
        }
        SetInformationLine(this, "Done.");
        if (m_progress)
            m_progress->SetValue(0);
        for (const BatchButton& button : kBatchButtons)
            if (wxWindow* control = FindWindow(button.id))
                control->SetLabel(MainButtonCaption(button.label));
        // A list emptied during the batch leaves the buttons disabled again.
        UpdateButtons();
        return;
    }
    if (!m_fileList || index < 0 || index >= m_fileList->GetItemCount())
        return;
    // The list repaints with the next frame; painting it here, while the
    // worker waits for this notice, would hold every file up by a whole
    // repaint of the list.
    //
    // The running row is selected before the previous one is let go, so
    // that the selection is never empty on the way: an empty one would
    // disable the buttons that act on selected rows and enable them again
    // at once, and each such change animates those buttons over a dozen
    // frames. Several rows a user had selected are let go in one step.
    const std::vector<long> previous = m_fileList->GetSelectedItems();
    const bool several = previous.size() > 1;
    if (several)
        m_fileList->DeselectAllItems();
    m_fileList->ScrollIntoView(index);
    m_fileList->SelectItem(index);
    if (!several && !previous.empty() && previous.front() != index)
        m_fileList->SelectItem(previous.front(), false);
    m_fileList->FocusItem(index);
    if (m_batch)
        m_batch->Pace().Changed();
}

void CMainDlg::OnCloseWindow(wxCloseEvent& event) {
    if (IsBatchRunning()) {
        if (event.CanVeto() && XMessageBox(this, "Are you sure to stop?", "Ostrel Converter", MB_YESNO) == IDNO) {
            event.Veto();
            return;
        }
        StopBatch();
    }
    SavePlacement();
    event.Skip();
}

}  // namespace pw
