#pragma once
// Keeps libtiff's messages for the handles of one operation instead of
// letting them reach the terminal, and remembers the last error for the
// operation's own report.

#include <tiffio.h>

#include <functional>
#include <memory>
#include <string>

namespace pw {

class TiffDiagnostics {
public:
    TiffDiagnostics() = default;
    TiffDiagnostics(const TiffDiagnostics&) = delete;
    TiffDiagnostics& operator=(const TiffDiagnostics&) = delete;

    // Opens a TIFF file whose errors and warnings come here. mode as for
    // TIFFOpen. No single allocation of libtiff's may exceed kMaxAllocation,
    // whatever sizes a damaged file claims.
    TIFF* Open(const std::string& path, const char* mode);
    // The same on a file descriptor open for reading (POSIX), named path in
    // messages; the handle closes it. Null, with fd still open, on failure.
    TIFF* OpenDescriptor(int fd, const std::string& path, const char* mode);

    const std::string& lastError() const { return lastError_; }
    void SetError(std::string text) { lastError_ = std::move(text); }

    static constexpr tmsize_t kMaxAllocation = tmsize_t{256} << 20;

    // Opens through opener, given the options that send the messages here.
    TIFF* OpenWith(const std::function<TIFF*(TIFFOpenOptions*)>& opener);

private:
    static int OnError(TIFF*, void* self, const char* module, const char* format, va_list args);
    static int OnWarning(TIFF*, void* self, const char* module, const char* format, va_list args);

    std::string lastError_;
};

// Closes a TIFF handle when it goes.
struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

}  // namespace pw
