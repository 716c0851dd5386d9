#pragma once
// libtiff reads a file in many small pieces: a directory's entry count, its
// entries, the next directory's offset, each value that does not fit in an
// entry, each with a seek of its own. A handle opened here answers them
// from one read of the stretch of file around them, and seeks without
// asking the system, so walking a file of hundreds of pages costs a read per
// directory instead of a dozen calls. Large reads (a page's data) go to the
// file directly. Reading only: the file is never written through it.

#include "pages/TiffDiagnostics.h"

#include <string>

namespace pw {

// Opens fd (open for reading) as a TIFF file whose messages go to
// diagnostics; the handle closes fd and TIFFFileno gives it. Null, with fd
// still open, on failure. mode as for TIFFOpen, for reading.
TIFF* OpenBufferedTiffDescriptor(TiffDiagnostics& diagnostics, int fd, const std::string& path, const char* mode);

}  // namespace pw
