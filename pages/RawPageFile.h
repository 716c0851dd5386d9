#pragma once
// One page of a TIFF file written as a file of its own by copying the
// page's directory entries and stored data byte for byte, without libtiff's
// writer: the fast way of a split. Only the entries that describe the page
// and its stored data are kept (the ones the page copier copies, with the
// strip or tile tables); pointers into the source (sub-directories, EXIF,
// free space) are left out, the page number becomes 1 of 1, and the data
// is laid out anew after the directory. The file keeps the source's byte
// order, so no value changes meaning.

#include <cstdint>
#include <string>

#include "pages/TiffSource.h"

namespace pw {

enum class RawPageResult {
    Written,
    // The page's directory is not one this copy handles (a BigTIFF source,
    // an entry type of BigTIFF, strip tables that libtiff reads otherwise
    // than they are stored): nothing was written; the page copier serves
    // it instead.
    NotHandled,
    SourceFailed,  // the source could not be read; error says why
    OutputFailed,  // the file could not be written; error says why
};

// Writes page index of source to a new file at path (replacing a file that
// is there). Makes the page libtiff's current directory of the source. On
// failure nothing is left at path.
RawPageResult WriteRawPageFile(TiffSource& source, int index, const std::string& path, std::string& error);

}  // namespace pw
