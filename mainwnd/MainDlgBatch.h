#pragma once
// The main window's end of a batch: the worker's notices reach the window's
// thread through a relay, one at a time, while the window exists; once the
// window closes the relay drops them.

#include "engine/BatchObserver.h"
#include "engine/BatchSession.h"
#include "engine/NoticeRelay.h"
#include "ui/PaintPace.h"

#include <string>
#include <vector>

namespace pw {

class CMainDlg;

class MainDlgBatchLink final : public BatchObserver {
public:
    explicit MainDlgBatchLink(CMainDlg& window);
    // Closes the relay and stops a batch that still runs.
    ~MainDlgBatchLink() override;
    MainDlgBatchLink(const MainDlgBatchLink&) = delete;
    MainDlgBatchLink& operator=(const MainDlgBatchLink&) = delete;

    // Carries the worker's notices to the window's thread; the calls of
    // this observer then come there.
    BatchSession::NoticeCarrier Carrier() { return m_relay.Carrier(); }
    // Runs the notice the worker waits for, if any, now.
    void DeliverPending() { m_relay.DeliverPending(); }
    // From now on every notice is dropped and a running batch is stopped.
    void Shutdown();

    // A batch of the window starts over these rows' paths (by row index), or
    // has been stopped.
    void BatchStarted(std::vector<std::string> sources);
    void BatchStopped() { m_active = false; }
    // A batch can move the list on many times a second: the window paints
    // what it shows at most ten times a second while one runs.
    PaintPace& Pace() { return m_pace; }

    void OnProgress(int position) override;
    void OnItemStarted(int index) override;
    void OnItemStatus(int index, const std::string& status, const std::string& reason) override;

private:
    CMainDlg& m_window;
    NoticeRelay m_relay;
    PaintPace m_pace;
    std::vector<std::string> m_sources;
    bool m_active = false;  // a batch of this window runs
};

}  // namespace pw
