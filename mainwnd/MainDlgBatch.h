#pragma once
// The main window's end of a batch: the worker's notices reach the window's
// thread through a relay, one at a time, while the window exists; once the
// window closes the relay drops them.

#include "engine/BatchObserver.h"
#include "engine/NoticeRelay.h"

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

    // What the worker reports to; its calls come here on the window's thread.
    BatchObserver& WorkerObserver() { return m_relayed; }
    // Runs the notice the worker waits for, if any, now.
    void DeliverPending() { m_relay.DeliverPending(); }
    // From now on every notice is dropped and a running batch is stopped.
    void Shutdown();

    // A batch of the window starts over these rows' paths (by row index), or
    // has been stopped.
    void BatchStarted(std::vector<std::string> sources);
    void BatchStopped() { m_active = false; }

    void OnProgress(int position) override;
    void OnItemStarted(int index) override;
    void OnItemStatus(int index, const std::string& status, const std::string& reason) override;

private:
    CMainDlg& m_window;
    NoticeRelay m_relay;
    RelayedBatchObserver m_relayed;
    std::vector<std::string> m_sources;
    bool m_active = false;  // a batch of this window runs
};

}  // namespace pw
