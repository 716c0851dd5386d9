#pragma once
// What the compression libraries that size their own buffers by the stream
// allocate to decode one stored strip or tile: liblzma's dictionary,
// zstd's window, libwebp's picture. Each is read from the stream's own
// headers, which a few stored bytes can make claim gigabytes, before
// libtiff hands the stream to the library. A stream the library refuses
// before it allocates (a wrong signature, a window over zstd's limit)
// costs nothing; one whose cost cannot be told for certain counts as the
// most the library could take.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace pw {

// Reads n bytes at offset `at` of the stored strip or tile; false past its end.
using StoredBytes = std::function<bool(uint64_t at, uint8_t* out, size_t n)>;

// size: the stored strip's or tile's length in bytes.
uint64_t LzmaDecoderBytes(uint64_t size, const StoredBytes& read);
uint64_t ZstdDecoderBytes(uint64_t size, const StoredBytes& read);
uint64_t WebpDecoderBytes(uint64_t size, const StoredBytes& read);

}  // namespace pw
