#pragma once
// The system's side of the temporary-file journal (TempFiles.cpp).

#include <string>

namespace pw {

long CurrentProcessId();
// The name of this machine ("" when it cannot be read).
std::string MachineName();
// True while the process runs (or may: when it cannot be told).
bool ProcessRuns(long pid);
// Makes the journal entry at entry that leads to target, and reads it back
// ("" when there is none).
void WriteJournalEntry(const std::string& entry, const std::string& target);
std::string ReadJournalEntry(const std::string& entry);

}  // namespace pw
