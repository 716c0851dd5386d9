#include "viewer/PageDecodeWorker.h"

#include "viewer/ViewScaling.h"

#include <new>

namespace pw {

PageDecodeWorker::PageDecodeWorker(wxEvtHandler* target, Delivery delivery)
    : target_(target), delivery_(std::move(delivery)) {}

PageDecodeWorker::~PageDecodeWorker() {
    // A cancelled decoding notices within one strip or tile row.
    Cancel();
    for (Job& job : jobs_)
        job.thread.join();
}

unsigned PageDecodeWorker::Start(const std::string& path, int pageIndex, const PageRasterLimits& limits, int fitWidth,
                                 int fitHeight) {
    Cancel();
    ReapFinished();
    const unsigned ticket = ++ticket_;
    Job job{{}, std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<bool>>(false)};
    job.thread = std::thread([target = target_, delivery = delivery_, path, pageIndex, limits, ticket, fitWidth,
                              fitHeight, cancel = job.cancel, done = job.done] {
        // Nothing may escape the thread: an exception here would end the
        // program. A failure comes to the viewer as a page it cannot show.
        try {
            auto result = std::make_shared<Result>();
            try {
                result->raster = std::make_shared<PageRaster>(DecodePageRaster(path, pageIndex, limits, cancel.get()));
                const PageRaster& r = *result->raster;
                if (r.ok() && fitWidth > 0 && fitHeight > 0 && !cancel->load()) {
                    const double scale =
                        FitZoom(double(r.pageWidth), double(r.pageHeight), fitWidth, fitHeight) * r.reduction;
                    if (scale < 1.0) {
                        result->fitWidth = ScaledLength(r.width, scale);
                        result->fitHeight = ScaledLength(r.height, scale);
                        result->fitRgb = ShrinkRgb(RgbView{r.rgb.data(), r.width, r.height}, result->fitWidth,
                                                   result->fitHeight);
                    }
                }
            } catch (const std::exception& e) {
                const bool memory = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
                const int pageCount = result->raster ? result->raster->pageCount : 0;
                result = std::make_shared<Result>();
                result->raster = std::make_shared<PageRaster>();
                result->raster->pageCount = pageCount;
                result->raster->error = memory ? "There is not enough memory to show the page."
                                               : std::string("The page cannot be shown (") + e.what() + ").";
            }
            if (!cancel->load()) {
                // The viewer drops results whose ticket is no longer current,
                // so a cancel that comes after this check is still safe.
                target->CallAfter([delivery, ticket, result] { delivery(ticket, result); });
            }
        } catch (...) {
            // Not even the message could be made: the viewer keeps showing
            // "Opening...", and the next file is decoded as usual.
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
