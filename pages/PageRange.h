#pragma once
// The page-range language of the Extract command: "-5, 6-7, 10-20, 30-",
// "even", "odd", and whatever else a user types.

#include <cstdint>
#include <string>
#include <vector>

namespace pw {

// One flag per page, in page order: element i is 1 when page i + 1 is
// selected, 0 when it is not.
using PageSelection = std::vector<int32_t>;

// The pages that text names among pageCount pages. Never rejects a text:
// what it does not understand is stepped over, pages beyond pageCount are
// ignored. Empty (no elements) when text is empty or pageCount <= 0;
// otherwise exactly pageCount elements.
//
// Numbers too large for int32 read as INT32_MAX (INT32_MIN with a minus
// sign), which lies beyond any page count, and are stepped over whole.
PageSelection ParsePageRange(std::string text, int pageCount);

}  // namespace pw
