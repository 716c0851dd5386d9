#include "platform/TempFilesJournal.h"

#include <windows.h>

#include <fstream>
#include <iterator>

#include "platform/Paths.h"
#include "platform/WideText_win32.h"

namespace pw {

long CurrentProcessId()
{
    return static_cast<long>(::GetCurrentProcessId());
}

std::string MachineName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return ::GetComputerNameW(name, &size) ? Narrow(name) : std::string();
}

bool ProcessRuns(long pid)
{
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr)
        return ::GetLastError() == ERROR_ACCESS_DENIED;  // there, but not ours to look at
    const bool runs = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return runs;
}

// Links need a privilege here: an entry is a small file that holds the path.
void WriteJournalEntry(const std::string& entry, const std::string& target)
{
    std::ofstream out(FileSystemPath(entry), std::ios::binary | std::ios::trunc);
    out << target;
}

std::string ReadJournalEntry(const std::string& entry)
{
    std::ifstream in(FileSystemPath(entry), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace pw
