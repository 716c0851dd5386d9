#pragma once
// Copies pages of a TIFF source into a TIFF file being written, each page
// as faithfully as its storage allows.

#include <tiffio.h>

#include <cstdint>

#include "pages/TiffDiagnostics.h"
#include "pages/TiffSource.h"

namespace pw {

struct PagePlan {
    enum class Method {
        // The compressed strips or tiles are copied byte for byte, with
        // every tag needed to read them: same pixels, same compression.
        CopyStored,
        // Decoded once and stored anew, losslessly, as 8-bit grey or RGB
        // (with alpha when the page has it); for schemes whose data cannot
        // be written back as it is (old-style JPEG and other read-only ones).
        Convert,
    };
    int index = 0;  // page in the source, from 0
    Method method = Method::CopyStored;
    uint64_t outputBytesBound = 0;  // at most this much is added to the output
};

class PageCopier {
public:
    PageCopier(TiffSource& source, TiffDiagnostics& diagnostics) : source_(source), diagnostics_(diagnostics) {}

    // Checks that page index can be loaded: its directory reads, its
    // compression is one libtiff knows, and its data lies inside the file.
    // Reads no image data. False, with the diagnostics' error set, otherwise.
    bool Plan(int index, PagePlan& plan);

    enum class Result { Written, SourceFailed, OutputFailed };

    // Appends the planned page to out as its next directory, numbered
    // pageNumber of pageTotal (no page number when they do not fit the tag).
    Result Write(const PagePlan& plan, TIFF* out, uint32_t pageNumber, uint32_t pageTotal);

    // A page claiming more decoded bytes than this is damaged, whatever
    // its stored data: no document page comes near it, and a reader would
    // need as much memory.
    static constexpr uint64_t kMaxPageBytes = uint64_t{1} << 36;
    // Bytes of stored data larger than this are moved in pieces.
    static constexpr size_t kCopyChunk = size_t{4} << 20;
    // A page is converted in bands of whole strips or tile rows; a band
    // may take at most this many bytes of decoded pixels.
    static constexpr uint64_t kMaxConvertBand = uint64_t{256} << 20;

private:
    bool Fail(const std::string& error);
    bool PlanStoredCopy(TIFF* in, uint16_t compression, PagePlan& plan);
    bool PlanConversion(TIFF* in, PagePlan& plan);
    Result WriteStoredCopy(TIFF* in, TIFF* out);
    Result WriteConversion(TIFF* in, TIFF* out);

    TiffSource& source_;
    TiffDiagnostics& diagnostics_;
    // Stored data of all pages planned so far, each stretch of bytes that a
    // page's strips share or overlap counted once. In a sound file pages do
    // not share data, so more than the file's size means that the pages'
    // strip tables point to the same bytes over and over, and the copy
    // could grow without end.
    uint64_t storedBytesPlanned_ = 0;
};

}  // namespace pw
