#pragma once
// What every fuzz target shares: the input written to a file of its own
// (the page functions read files by path), a folder for outputs, and a
// check that ends the run loudly when an expectation fails.

#include <cstddef>
#include <cstdint>
#include <string>

namespace pw::fuzz {

// A folder of the process's own under the temporary folder, removed when
// the process ends.
const std::string& ScratchFolder();

// Writes the input to ScratchFolder()/input.tif and returns that path.
const std::string& WriteInput(const uint8_t* data, size_t size);

// Removes everything in the scratch folder but the input.
void ClearOutputs();

// Aborts with the message when the condition does not hold, so that the
// fuzzer keeps the input.
void Expect(bool condition, const char* what);

// Heap bytes in use at most since the last ResetPeak, beyond those in use
// at that moment (from the sanitizer's allocation hooks).
void ResetPeak();
uint64_t PeakSinceReset();

}  // namespace pw::fuzz
