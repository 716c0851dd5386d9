#include "viewer/PageDecodeWorker.h"

namespace pw {

PageDecodeWorker::PageDecodeWorker(wxEvtHandler* target, Delivery delivery)
    : target_(target), delivery_(std::move(delivery)) {}

PageDecodeWorker::~PageDecodeWorker() {
    // A cancelled decoding notices within one strip or tile row.
    Cancel();
    for (Job& job : jobs_)
        job.thread.join();
}

unsigned PageDecodeWorker::Start(const std::string& path, int pageIndex, const PageRasterLimits& limits) {
    Cancel();
    ReapFinished();
    const unsigned ticket = ++ticket_;
    Job job{{}, std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<bool>>(false)};
    job.thread = std::thread([target = target_, delivery = delivery_, path, pageIndex, limits, ticket,
                              cancel = job.cancel, done = job.done] {
        auto raster = std::make_shared<PageRaster>(DecodePageRaster(path, pageIndex, limits, cancel.get()));
        if (!cancel->load()) {
            // The viewer drops results whose ticket is no longer current,
            // so a cancel that comes after this check is still safe.
            target->CallAfter([delivery, ticket, raster] { delivery(ticket, raster); });
        }
        done->store(true);
    });
    jobs_.push_back(std::move(job));
    return ticket;
}

void PageDecodeWorker::Cancel() {
    ++ticket_;
    for (Job& job : jobs_)
        job.cancel->store(true);
}

int PageDecodeWorker::runningCount() const {
    int n = 0;
    for (const Job& job : jobs_)
        n += job.done->load() ? 0 : 1;
    return n;
}

void PageDecodeWorker::ReapFinished() {
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = jobs_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace pw
