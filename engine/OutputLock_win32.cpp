#include "engine/OutputLock.h"

#include <windows.h>

#include <cstdint>

#include "platform/WideText_win32.h"

namespace pw {
namespace {

std::string SystemMessage(DWORD code)
{
    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = text ? Narrow(text) : "error " + std::to_string(code);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

// The path as the system resolves it, in one case: every spelling of one
// path gives the same text.
std::wstring NormalName(const std::string& path)
{
    const std::wstring wide = Widen(path);
    std::wstring full(32768, L'\0');
    const DWORD n = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    full.resize(n > 0 && n < full.size() ? n : 0);
    if (full.empty())
        full = wide;
    ::CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    return full;
}

}  // namespace

// The mark is a named event whose name comes from the path. It lasts while a
// handle to it is open, so it ends with the batch or with the process, and
// nothing is left on the disk.
std::shared_ptr<OutputLock> OutputLock::Acquire(const std::string& path, std::string* error)
{
    std::shared_ptr<OutputLock> lock(new OutputLock);
    const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *error = "the output file " + path + " is not a regular file";
        return nullptr;
    }
    uint64_t hash = 1469598103934665603ull;
    for (const wchar_t c : NormalName(path)) {
        hash ^= static_cast<uint16_t>(c);
        hash *= 1099511628211ull;
    }
    const std::wstring name = L"Local\\pagewright-output-" + std::to_wstring(hash);
    HANDLE mark = ::CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    const DWORD code = ::GetLastError();
    if (mark == nullptr) {
        *error = "cannot lock the output file " + path + ": " + SystemMessage(code);
        return nullptr;
    }
    if (code == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mark);
        *error = "the output file " + path + " is being written by another batch";
        return nullptr;
    }
    lock->mark_ = mark;
    return lock;
}

OutputLock::~OutputLock()
{
    if (mark_)
        ::CloseHandle(static_cast<HANDLE>(mark_));
}

bool OutputLock::IsInUse(const std::string&, const std::string&)
{
    return false;  // no file on the disk here
}

void OutputLock::RemoveStaleIn(const std::string&) {}

}  // namespace pw
