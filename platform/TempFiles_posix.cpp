#include "platform/TempFilesJournal.h"

#include <errno.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

namespace pw {

long CurrentProcessId()
{
    return static_cast<long>(::getpid());
}

std::string MachineName()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return std::string();
    return name;
}

bool ProcessRuns(long pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// An entry is a symbolic link to the file.
void WriteJournalEntry(const std::string& entry, const std::string& target)
{
    ::symlink(target.c_str(), entry.c_str());
}

std::string ReadJournalEntry(const std::string& entry)
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(entry.c_str(), buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

}  // namespace pw
