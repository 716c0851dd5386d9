#pragma once
// Copies the tags that describe a page from the current directory of one
// TIFF handle into the directory being written on another.

#include <tiffio.h>

#include <cstdint>
#include <string>

namespace pw {

enum class TagSet {
    // Everything the page's stored data needs to be read as it is: size,
    // sample layout, colour interpretation, strip or tile layout, the
    // compression and its own tags (predictor, fax options, JPEG tables...),
    // plus the descriptive tags. For pages whose data is copied unchanged.
    AsStored,
    // Only what stays true when the data is decoded and stored anew:
    // orientation, resolution, position, colour profile, names, texts and
    // metadata blocks.
    Descriptive,
};

// Copies the tags of set that the source page has. Page numbers are never
// copied; the writer numbers pages itself. False, with error set, when a
// tag could not be set on out.
bool CopyPageTags(TIFF* in, TIFF* out, TagSet set, std::string& error);

}  // namespace pw

namespace pw {

// At most the bytes that CopyPageTags(AsStored) and the strip or tile
// tables of stripCount entries add to a BigTIFF file.
uint64_t PageTagBytesBound(TIFF* in, uint64_t stripCount);

}  // namespace pw
