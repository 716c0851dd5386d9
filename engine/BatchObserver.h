#pragma once
// How a batch reports to its front end (the window, the command line).
//
// Delivery contract:
// - The calls come in notices, one notice at a time, in the order the worker
//   makes them; a notice holds one call or a few made together (an entry's
//   progress and index). A front may have the notices run on another thread
//   (the window's), in order: BatchSession::Start's carrier, NoticeRelay
//   for instance. The worker then goes on without waiting for each; it
//   waits for the finished notice, so the batch has ended only once the
//   front has seen all of it. A notice the worker has handed over counts as
//   made: its entry's output is kept.
// - The worker begins no notice once the batch's stop request is set
//   (BatchSession::Stop); a notice begun before is completed. While Stop
//   waits for the worker to end, and once after, it calls the
//   deliverPending hook its caller gives it, so a front that hands notices
//   to the very thread that called Stop can deliver those still on their
//   way (for a NoticeRelay: its DeliverPending). Stop therefore cannot
//   deadlock with a worker waiting for a notice, and after Stop returns
//   every notice made has run and no further one is made.
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
