#pragma once
// The main window's end of a batch: the worker's notices reach the window's
// thread through a relay, one at a time and in order, while the window
// exists; once the window closes the relay drops them.

#include "engine/BatchObserver.h"
#include "engine/BatchSession.h"
#include "engine/NoticeRelay.h"
#include "ui/PaintPace.h"

#include <wx/timer.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pw {

class CMainDlg;

class MainDlgBatchLink final : public wxEvtHandler, public BatchObserver {
public:
    explicit MainDlgBatchLink(CMainDlg& window);
    // Closes the relay and stops a batch that still runs.
    ~MainDlgBatchLink() override;
    MainDlgBatchLink(const MainDlgBatchLink&) = delete;
    MainDlgBatchLink& operator=(const MainDlgBatchLink&) = delete;

    // Carries the worker's notices to the window's thread; the calls of
    // this observer then come there. A notice that throws stops the batch
    // and brings the window back to idle.
    BatchSession::NoticeCarrier Carrier();
    // Runs the notice the worker waits for, if any, now.
    void DeliverPending() { m_relay.DeliverPending(); }
    // From now on every notice is dropped and a running batch is stopped.
    void Shutdown();

    // A batch of the window starts over these rows' paths (by row index), or
    // has been stopped.
    void BatchStarted(std::vector<std::string> sources);
    void BatchStopped();
    // A batch can move the list on many times a second: the window paints
    // what it shows at most ten times a second while one runs.
    PaintPace& Pace() { return m_pace; }

    void OnProgress(int position) override;
    void OnItemStarted(int index) override;
    void OnItemStatus(int index, const std::string& status, const std::string& reason) override;

private:
    void RunNotice(const std::function<void()>& notice);
    long RowOf(int index);
    void OnWatch(wxTimerEvent& event);

    CMainDlg& m_window;
    NoticeRelay m_relay;
    // While a batch of the window runs: notices that can no longer come (a
    // worker that ended without its finished notice) are not waited for.
    wxTimer m_watch;
    PaintPace m_pace;
    std::vector<std::string> m_sources;
    bool m_active = false;  // a batch of this window runs
    uint64_t m_batchNumber = 0;  // of the batch whose notices are shown
    long m_shift = 0;            // rows the last entry found had moved up
};

}  // namespace pw
