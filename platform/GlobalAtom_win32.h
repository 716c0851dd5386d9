#pragma once
// The name of a global atom, read as the program's UTF-8 text.

#include <cstddef>
#include <optional>
#include <string>

namespace pw {

// The name of the global atom, when it exists and its UTF-8 form fits a
// buffer of bufferBytes bytes with its closing zero. A name that does not
// fit is refused whole (never cut): nullopt, as for atom 0 or an atom that
// no longer exists.
std::optional<std::string> ReadGlobalAtomName(unsigned short atom, std::size_t bufferBytes);

}  // namespace pw
