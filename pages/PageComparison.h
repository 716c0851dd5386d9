#pragma once
// Decodes pages of two TIFF files and compares them: what a tool wrote
// against the page it was given. Every method the program writes is
// lossless, so a right copy decodes to the same pixels; a JPEG or WebP
// page goes through the same decoder on both sides, so one that was
// encoded anew differs.
//
// Two pages of the same sample layout (bits, samples, sample format,
// planar configuration, photometric interpretation as libtiff's RGBA
// reading takes it when the tag is missing, extra samples, colour map)
// have their decoded samples compared row by row (LogLuv pages only in an
// SGILog encoding on both sides). Pages whose layouts differ, and YCbCr
// pages (whose samples mean nothing without their subsampling and
// coefficients), are compared as libtiff's 8-bit RGBA rendering of them;
// a LogLuv page in another layout differs. Size, orientation and the ICC
// profile must match as well. Memory stays
// bounded whatever the page size (one strip, one row of tiles or one band
// of RGBA rows per side), and the walk stops at the first difference.

#include <functional>
#include <memory>
#include <string>

namespace pw {

struct PageComparison {
    enum class Result {
        Same,
        Differs,           // what says how, e.g. "its pixels differ from the source's from row 3, column 17 on"
        SourceUnreadable,  // the source page cannot be decoded; what says why
    };
    Result result = Result::Same;
    int page = 0;  // the source page concerned, from 1; 0 for the file as a whole
    std::string what;
};

// The decoded samples of source pages taken ahead, as a 64-bit hash of
// every row: taken while a tool runs, it leaves only the output to decode
// after the run. A page it holds is compared by those hashes when the
// output page has the same sample layout (a difference is then found to
// the row); any other page is compared in full.
class SourcePrint {
public:
    SourcePrint() = default;
    // Pages [first, first + count) of source, every page from first when
    // count is negative; stopped, when given, is asked between pages.
    SourcePrint(const std::string& source, int first, int count, const std::function<bool()>& stopped = {});

    struct Pages;

private:
    friend PageComparison ComparePages(const std::string&, int, const std::string&, int, int, const SourcePrint*);
    friend PageComparison CompareFiles(const std::string&, const std::string&, const SourcePrint*);
    std::shared_ptr<const Pages> pages_;
};

// Compares count pages of source from sourceFirst (from 0) with the pages
// of output from outputFirst. An output page that is missing differs.
// print, when given, should hold the source's pages (any it lacks are
// decoded here).
PageComparison ComparePages(const std::string& source, int sourceFirst, const std::string& output,
                            int outputFirst, int count, const SourcePrint* print = nullptr);

// Every page of source with every page of output; an output with another
// number of pages differs.
PageComparison CompareFiles(const std::string& source, const std::string& output,
                            const SourcePrint* print = nullptr);

}  // namespace pw
