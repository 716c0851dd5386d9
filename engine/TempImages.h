#pragma once
// The numbered temporary images in the user's temporary folder, removed on
// every stop of a batch.

#include <string>

namespace pw {

// The temporary folder followed by "HaskollTemp" and the number as "%08d.png".
std::string TempImagePath(int number);

// Deletes the unbroken run of temporary images numbered from 1: stops at the
// first number for which no file exists, so nothing is deleted when number 1
// is missing. A link of such a name is removed as a link.
void RemoveTempImages();

}  // namespace pw
