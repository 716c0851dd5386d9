// The preview's page decoder on any input: the first and the last page,
// at full size (PAGEWRIGHT_FUZZ_REDUCED unset) or reduced to a few pixels
// so that every page goes through the box reduction. A decoded page must
// have exactly its pixels, a refused one a message and none, and no
// decoding may hold more memory than its budget allows.

#include "fuzz/FuzzFiles.h"
#include "pages/PageRaster.h"

#include <pthread.h>

#include <atomic>
#include <ctime>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

// A page of a few hundred bytes can honestly describe billions of blank
// pixels, which take as long to decode as they take; the fuzzer's own
// time limit is for hangs. So a decoding is cancelled after a few seconds
// of processor time (a busy machine stretches the wall time), which only a
// page of many pixels may need.
constexpr double kDecodeSeconds = 2;
constexpr uint64_t kManyPixels = uint64_t{1} << 24;

class Watchdog {
public:
    Watchdog() { std::thread([this] { Watch(); }).detach(); }
    // Watches the calling thread.
    const std::atomic<bool>* Arm() {
        std::lock_guard<std::mutex> lock(mutex_);
        cancel_ = false;
        pthread_getcpuclockid(pthread_self(), &clock_);
        deadline_ = Seconds(clock_) + kDecodeSeconds;
        armed_ = true;
        return &cancel_;
    }
    void Disarm() {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = false;
    }

private:
    static double Seconds(clockid_t clock) {
        timespec t{};
        clock_gettime(clock, &t);
        return double(t.tv_sec) + t.tv_nsec / 1e9;
    }
    void Watch() {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            std::lock_guard<std::mutex> lock(mutex_);
            if (armed_ && Seconds(clock_) > deadline_)
                cancel_ = true;
        }
    }
    std::mutex mutex_;
    std::atomic<bool> cancel_{false};
    clockid_t clock_{};
    double deadline_ = 0;
    bool armed_ = false;
};

// What libtiff holds beside the decoder's own buffers: the stored bytes
// of a strip (a fuzz input is small) and the codecs' state.
constexpr uint64_t kLibraryAllowance = uint64_t{64} << 20;

pw::PageRasterLimits Limits()
{
    pw::PageRasterLimits limits;
#ifdef PAGEWRIGHT_FUZZ_REDUCED
    limits.maxWidth = 24;
    limits.maxHeight = 16;
    limits.maxPixels = 24 * 12;
#endif
    return limits;
}

void Check(const pw::PageRaster& raster, const pw::PageRasterLimits& limits)
{
    using pw::fuzz::Expect;
    const uint64_t peak = pw::fuzz::PeakSinceReset();
    if (peak > limits.maxWorkingBytes + kLibraryAllowance)
        std::fprintf(stderr, "the decoding held %llu bytes at most\n", static_cast<unsigned long long>(peak));
    Expect(peak <= limits.maxWorkingBytes + kLibraryAllowance, "the decoding held more memory than its budget");
    if (raster.cancelled) {
        Expect(uint64_t{raster.pageWidth} * raster.pageHeight >= kManyPixels, "a small page took seconds to decode");
        Expect(raster.rgb.empty(), "a cancelled page kept pixels");
        return;
    }
    if (!raster.ok()) {
        Expect(!raster.error.empty(), "a page that is not shown has no message");
        Expect(raster.rgb.empty(), "a page that is not shown kept pixels");
        return;
    }
    Expect(raster.width > 0 && raster.height > 0, "a shown page has no pixels");
    Expect(raster.rgb.size() == size_t(raster.width) * size_t(raster.height) * 3, "the pixels do not fill the page");
    Expect(uint32_t(raster.width) <= limits.maxWidth || uint32_t(raster.height) <= limits.maxWidth,
           "the page was not reduced to fit");
    Expect(uint64_t(raster.width) * uint64_t(raster.height) <= limits.maxPixels, "the page has too many pixels");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = pw::fuzz::WriteInput(data, size);
    const pw::PageRasterLimits limits = Limits();
    static Watchdog& watchdog = *new Watchdog;  // its thread runs to the end
    pw::fuzz::ResetPeak();
    const pw::PageRaster first = pw::DecodePageRaster(path, 0, limits, watchdog.Arm());
    watchdog.Disarm();
    Check(first, limits);
    if (first.pageCount > 1) {
        pw::fuzz::ResetPeak();
        const pw::PageRaster last = pw::DecodePageRaster(path, first.pageCount - 1, limits, watchdog.Arm());
        watchdog.Disarm();
        Check(last, limits);
    }
    return 0;
}
