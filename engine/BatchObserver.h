#pragma once
// How a batch reports to its front end (the window, the command line).
//
// Delivery contract:
// - The calls come in notices, one notice at a time, in the order the worker
//   makes them; a notice holds one call or a few made together (an entry's
//   status and the next entry's progress and index), and the worker goes on
//   only when it has run. A front may have each notice run on another thread
//   (the window's) and wait until it has: BatchSession::Start's carrier,
//   NoticeRelay for instance.
// - The worker begins no notice once the batch's stop request is set
//   (BatchSession::Stop); a notice begun before is completed. While Stop
//   waits for the worker to end, it keeps calling the deliverPending hook
//   its caller gives it, so a front that hands notices to the very thread
//   that called Stop can deliver the one the worker waits for (for a
//   NoticeRelay: its DeliverPending). Stop therefore cannot deadlock with a
//   worker blocked in a notice, and after Stop returns no notice is made.
// - A stopped batch sends no finished notice; whoever called Stop brings its
//   display to the idle state itself.
// - The observer must outlive the worker (until BatchSession::IsRunning
//   reads false or Stop/WaitUntilIdle has returned).

#include <string>

namespace pw {

// OnItemStarted's index when the batch has finished.
inline constexpr int kBatchFinished = -1;

class BatchObserver {
public:
    virtual ~BatchObserver() = default;

    // Before each entry: the share of the batch done once the entry is
    // finished, (99 + 100 * index) / count, 0 to 99.
    virtual void OnProgress(int position) = 0;

    // The index of the entry about to be processed, or kBatchFinished once
    // the batch has run to its end (a stopped batch sends none).
    virtual void OnItemStarted(int index) = 0;

    // "Success" or "Failed" for the entry; reason says in a few words why an
    // entry failed (empty on success).
    virtual void OnItemStatus(int index, const std::string& status, const std::string& reason) = 0;
};

}  // namespace pw
