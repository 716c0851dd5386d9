#pragma once
// Pages of a TIFF file copied into another TIFF file directory entry by
// directory entry and byte for byte, without libtiff's writer: every entry
// of the page's directory is kept with its type, count and value (unknown
// and private tags too), and the directories its EXIF, GPS, Interoperability
// and SubIFDs entries point to are copied with it, each at its new place.
// Only the strip or tile offsets, the page number and those pointers are
// rewritten; the free-space entries (FreeOffsets, FreeByteCounts) are left
// out, since the space they name stays behind. Strips that share or overlap
// bytes are copied once and keep sharing them.
//
// A page copied into a file of the other byte order has every entry's value
// swapped by its type. Its stored data is copied as it is when the codec
// stores a byte stream (JPEG, the CCITT schemes, JBIG, SGI LogL/LogLuv,
// WebP) or its samples are of a size libtiff never swaps (8 bits or fewer,
// 12...); uncompressed samples of 16, 24, 32, 64 or 128 bits are swapped on
// the way. Other compressed samples of those sizes depend on the byte
// order inside the compressed stream: such a page cannot be copied into a
// file of the other byte order (NotHandled).

#include <cstdint>
#include <string>

#include "pages/TiffSource.h"

namespace pw {

enum class RawPageResult {
    Written,
    // The page is not one this copy handles (its directory cannot be read by
    // libtiff or holds what cannot be carried over as stored: strip tables
    // libtiff reads otherwise than they are stored, an entry of an unknown
    // type or outside the file, samples whose byte order cannot be
    // changed, values beyond a classic file): nothing was written.
    NotHandled,
    SourceFailed,  // the source could not be read; error says why
    OutputFailed,  // the file could not be written; error says why
};

// A TIFF file written directory by directory at its end.
class RawTiffOutput {
public:
    RawTiffOutput() = default;
    ~RawTiffOutput();
    RawTiffOutput(const RawTiffOutput&) = delete;
    RawTiffOutput& operator=(const RawTiffOutput&) = delete;

    // A new file (an old one at path is replaced) holding only the header.
    bool Create(const std::string& path, bool bigEndian, bool bigTiff, std::string& error);
    // An existing TIFF file, classic or BigTIFF, whose pages are kept and
    // appended to. Its directory chain must be whole.
    bool OpenForAppend(const std::string& path, std::string& error);

    bool bigEndian() const { return bigEndian_; }
    bool bigTiff() const { return bigTiff_; }
    uint64_t size() const { return end_; }

    // Another page whose entries are added to the one appended: each entry
    // of a tag the appended page lacks, except those that describe stored
    // data (its size, samples, colours, compression and strips), with the
    // directories its EXIF, GPS and SubIFDs entries point to. For a page
    // decoded and stored anew, which keeps what else its source had.
    struct EntriesOf {
        TiffSource& source;
        int index;
    };

    // Appends page index of source as the file's last directory, numbered
    // pageNumber of pageTotal (without a PageNumber entry when they do not
    // fit one). On anything but Written the file is cut back to what it
    // was and left linked as it was.
    RawPageResult AppendPage(TiffSource& source, int index, uint32_t pageNumber, uint32_t pageTotal,
                             std::string& error, const EntriesOf* more = nullptr);

    // Closes the file; false, with error set, when the system reports that
    // what was written did not reach it.
    bool Close(std::string& error);

private:
    friend class RawDirectoryCopy;

    int fd_ = -1;
    std::string path_;
    bool bigEndian_ = false;
    bool bigTiff_ = false;
    uint64_t end_ = 0;       // where the next bytes go
    uint64_t lastLink_ = 0;  // the link field the next directory is hung on
};

// Whether the stored data of a page can be copied into a file of the
// other byte order. compression and bitsPerSample as the page's tags give
// them.
enum class OtherByteOrder { AsStored, SwapSamples, NotPossible };
OtherByteOrder CopyIntoOtherByteOrder(uint16_t compression, uint16_t bitsPerSample);

// Writes page index of source to a new file at path (replacing a file that
// is there) as page 1 of 1, in the source's byte order, classic unless the
// source is a BigTIFF file too large for one. Makes the page libtiff's
// current directory of the source. On failure nothing is left at path.
RawPageResult WriteRawPageFile(TiffSource& source, int index, const std::string& path, std::string& error);

}  // namespace pw
