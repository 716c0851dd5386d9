#pragma once
// Decodes pages for the viewer on threads of their own, so that a large
// file never stops the window. Starting a decoding cancels the one before;
// only the newest result is handed over, on the window's thread.

#include "pages/PageRaster.h"

#include <wx/event.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace pw {

class PageDecodeWorker {
public:
    // A decoded page, and the page already shrunk to fit the area it was
    // asked for, so that the window's thread need not do it.
    struct Result {
        std::shared_ptr<PageRaster> raster;
        std::vector<uint8_t> fitRgb;
        int fitWidth = 0;
        int fitHeight = 0;
    };
    // Results are delivered through target's event queue; target must
    // outlive the worker (the viewer owns both).
    using Delivery = std::function<void(unsigned ticket, std::shared_ptr<Result> result)>;
    PageDecodeWorker(wxEvtHandler* target, Delivery delivery);
    ~PageDecodeWorker();
    PageDecodeWorker(const PageDecodeWorker&) = delete;
    PageDecodeWorker& operator=(const PageDecodeWorker&) = delete;

    // Cancels the running decoding and starts one for the page; returns the
    // ticket its result will carry.
    // fitWidth x fitHeight: the area a fitted page is drawn in (0: none).
    unsigned Start(const std::string& path, int pageIndex, const PageRasterLimits& limits, int fitWidth = 0,
                   int fitHeight = 0);
    // Cancels the running decoding; no result of it is delivered.
    void Cancel();

    unsigned currentTicket() const { return ticket_; }
    // Decodings whose thread has not ended yet (cancelled ones included).
    int runningCount() const;

private:
    struct Job {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> cancel;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void ReapFinished();

    wxEvtHandler* target_;
    Delivery delivery_;
    unsigned ticket_ = 0;
    std::vector<Job> jobs_;
};

}  // namespace pw
