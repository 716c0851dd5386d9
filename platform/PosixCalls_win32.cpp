// Compiled without the forced include: the names here are the real ones.
#define PW_POSIX_CALLS_DEFINING
#include "platform/PosixCalls_win32.h"

#include <windows.h>

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <wchar.h>

#include <atomic>
#include <string>

#include <tiffio.h>

#include "platform/WideText_win32.h"

extern "C" {

struct pw_DIR {
    HANDLE find;
    WIN32_FIND_DATAW data;
    bool first;
    pw_dirent entry;
};

}  // extern "C"

namespace {

using pw::Narrow;
using pw::Widen;

void SetErrnoFromLastError()
{
    switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        errno = ENOENT;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        errno = EACCES;
        break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        errno = EEXIST;
        break;
    case ERROR_DIR_NOT_EMPTY:
        errno = ENOTEMPTY;
        break;
    case ERROR_DISK_FULL:
        errno = ENOSPC;
        break;
    default:
        errno = EIO;
        break;
    }
}

timespec ToTime(const FILETIME& t)
{
    const uint64_t ticks = (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    timespec time{};
    time.tv_sec = static_cast<time_t>(ticks / 10000000ULL) - 11644473600LL;
    time.tv_nsec = static_cast<long>(ticks % 10000000ULL) * 100;
    return time;
}

void FillStat(const BY_HANDLE_FILE_INFORMATION& info, bool followLinks, struct pw_stat* st)
{
    memset(st, 0, sizeof *st);
    if (!followLinks && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        st->st_mode = 0xA000;
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        st->st_mode = _S_IFDIR;
    else
        st->st_mode = _S_IFREG;
    st->st_mode |= (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    st->st_size = static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    st->st_dev = info.dwVolumeSerialNumber;
    st->st_ino = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    st->st_mtim = ToTime(info.ftLastWriteTime);
}

int Stat(const char* path, struct pw_stat* st, bool followLinks)
{
    const std::wstring wide = Widen(path);
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;  // folders open too
    if (!followLinks)
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE h = ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return -1;
    }
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    if (!ok) {
        SetErrnoFromLastError();
        return -1;
    }
    FillStat(info, followLinks, st);
    return 0;
}

std::atomic<unsigned> g_uniqueCounter{0};

// Fills the six X before the suffix with letters and digits.
bool FillUnique(char* pattern, int suffixLength)
{
    const size_t length = strlen(pattern);
    if (length < 6u + static_cast<size_t>(suffixLength))
        return false;
    char* x = pattern + length - suffixLength - 6;
    if (strncmp(x, "XXXXXX", 6) != 0)
        return false;
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    uint64_t value = (static_cast<uint64_t>(::GetTickCount64()) << 16) ^ (::GetCurrentProcessId() * 7919ULL)
                     ^ (g_uniqueCounter.fetch_add(1) * 104729ULL);
    for (int i = 0; i < 6; ++i) {
        x[i] = letters[value % 36];
        value /= 36;
    }
    return true;
}

}  // namespace

extern "C" {

int pw_stat(const char* path, struct pw_stat* st)
{
    return Stat(path, st, true);
}

int pw_lstat(const char* path, struct pw_stat* st)
{
    return Stat(path, st, false);
}

int pw_fstat(int fd, struct pw_stat* st)
{
    const auto h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    BY_HANDLE_FILE_INFORMATION info;
    if (h == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(h, &info)) {
        errno = EBADF;
        return -1;
    }
    FillStat(info, true, st);
    return 0;
}

int pw_open(const char* path, int flags, ...)
{
    int mode = 0;
    if (flags & _O_CREAT) {
        va_list args;
        va_start(args, flags);
        mode = va_arg(args, int);
        va_end(args);
    }
    if (flags & 0x40000000) {  // O_DIRECTORY
        errno = EISDIR;
        return -1;
    }
    int fd = -1;
    const int pmode = (mode & 0200) ? (_S_IREAD | _S_IWRITE) : _S_IREAD;
    const errno_t e = ::_wsopen_s(&fd, Widen(path).c_str(), flags | _O_BINARY, _SH_DENYNO, pmode);
    if (e != 0) {
        errno = e;
        return -1;
    }
    return fd;
}

int pw_unlink(const char* path)
{
    // POSIX removes a read-only file too (the folder's rights decide);
    // Windows refuses until the attribute is gone.
    const std::wstring wide = Widen(path);
    if (::DeleteFileW(wide.c_str()))
        return 0;
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)
        && !(attributes & FILE_ATTRIBUTE_DIRECTORY)
        && ::SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
        if (::DeleteFileW(wide.c_str()))
            return 0;
        ::SetFileAttributesW(wide.c_str(), attributes);
    }
    SetErrnoFromLastError();
    return -1;
}

int pw_rename(const char* from, const char* to)
{
    // As on POSIX, an existing destination is replaced.
    if (::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return 0;
    SetErrnoFromLastError();
    return -1;
}

int pw_mkdir(const char* path, int)
{
    return ::_wmkdir(Widen(path).c_str());
}

int pw_rmdir(const char* path)
{
    return ::_wrmdir(Widen(path).c_str());
}

int pw_chmod(const char* path, int mode)
{
    return ::_wchmod(Widen(path).c_str(), (mode & 0200) ? (_S_IREAD | _S_IWRITE) : _S_IREAD);
}

int pw_setenv(const char* name, const char* value, int overwrite)
{
    const std::wstring wideName = Widen(name);
    if (!overwrite && ::_wgetenv(wideName.c_str()) != nullptr)
        return 0;
    return ::_wputenv_s(wideName.c_str(), Widen(value).c_str()) == 0 ? 0 : -1;
}

int pw_unsetenv(const char* name)
{
    return ::_wputenv_s(Widen(name).c_str(), L"") == 0 ? 0 : -1;
}

int pw_fchmod(int, int)
{
    return 0;  // the file keeps the attributes it was created with
}

int pw_access(const char* path, int mode)
{
    return ::_waccess(Widen(path).c_str(), mode & 06);
}

int pw_truncate(const char* path, int64_t size)
{
    int fd = -1;
    if (::_wsopen_s(&fd, Widen(path).c_str(), _O_RDWR | _O_BINARY, _SH_DENYNO, 0) != 0)
        return -1;
    const errno_t e = ::_chsize_s(fd, size);
    ::_close(fd);
    if (e != 0) {
        errno = e;
        return -1;
    }
    return 0;
}

int pw_fsync(int fd)
{
    return ::_commit(fd);
}

char* pw_realpath(const char* path, char* resolved)
{
    const std::wstring wide = Widen(path);
    HANDLE h = ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return nullptr;
    }
    std::wstring final(32768, L'\0');
    const DWORD n = ::GetFinalPathNameByHandleW(h, final.data(), static_cast<DWORD>(final.size()),
                                                FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    ::CloseHandle(h);
    if (n == 0 || n >= final.size()) {
        SetErrnoFromLastError();
        return nullptr;
    }
    final.resize(n);
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0)
        final = L"\\\\" + final.substr(8);
    else if (final.rfind(L"\\\\?\\", 0) == 0)
        final = final.substr(4);
    const std::string narrow = Narrow(final);
    if (narrow.size() >= 4096) {
        errno = ENAMETOOLONG;
        return nullptr;
    }
    if (resolved == nullptr)
        resolved = static_cast<char*>(malloc(4096));
    if (resolved == nullptr)
        return nullptr;
    memcpy(resolved, narrow.c_str(), narrow.size() + 1);
    return resolved;
}

int pw_mkstemps(char* pattern, int suffixLength)
{
    const std::string original = pattern;
    for (int attempt = 0; attempt < 100; ++attempt) {
        memcpy(pattern, original.c_str(), original.size() + 1);
        if (!FillUnique(pattern, suffixLength)) {
            errno = EINVAL;
            return -1;
        }
        int fd = -1;
        const errno_t e = ::_wsopen_s(&fd, Widen(pattern).c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                                      _SH_DENYNO, _S_IREAD | _S_IWRITE);
        if (e == 0)
            return fd;
        if (e != EEXIST) {
            errno = e;
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

char* pw_mkdtemp(char* pattern)
{
    const std::string original = pattern;
    for (int attempt = 0; attempt < 100; ++attempt) {
        memcpy(pattern, original.c_str(), original.size() + 1);
        if (!FillUnique(pattern, 0)) {
            errno = EINVAL;
            return nullptr;
        }
        if (::CreateDirectoryW(Widen(pattern).c_str(), nullptr))
            return pattern;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            SetErrnoFromLastError();
            return nullptr;
        }
    }
    errno = EEXIST;
    return nullptr;
}

int pw_symlink(const char* target, const char* link)
{
    // Symbolic links need a privilege ordinary users lack; a second name for
    // the same file (or, across volumes, a copy) serves the same reader.
    const std::wstring from = Widen(target);
    const std::wstring to = Widen(link);
    if (::CreateHardLinkW(to.c_str(), from.c_str(), nullptr) || ::CopyFileW(from.c_str(), to.c_str(), TRUE))
        return 0;
    SetErrnoFromLastError();
    return -1;
}

ssize_t pw_pread(int fd, void* buffer, size_t count, int64_t offset)
{
    if (::_lseeki64(fd, offset, SEEK_SET) < 0)
        return -1;
    return ::_read(fd, buffer, static_cast<unsigned>(count));
}

ssize_t pw_pwrite(int fd, const void* buffer, size_t count, int64_t offset)
{
    if (::_lseeki64(fd, offset, SEEK_SET) < 0)
        return -1;
    return ::_write(fd, buffer, static_cast<unsigned>(count));
}

FILE* pw_fopen(const char* path, const char* mode)
{
    return ::_wfopen(Widen(path).c_str(), Widen(mode).c_str());
}

TIFF* pw_TIFFOpen(const char* path, const char* mode)
{
    return ::TIFFOpenW(Widen(path).c_str(), mode);
}

TIFF* pw_TIFFOpenExt(const char* path, const char* mode, TIFFOpenOptions* options)
{
    return ::TIFFOpenWExt(Widen(path).c_str(), mode, options);
}

pw_DIR* pw_opendir(const char* path)
{
    std::wstring pattern = Widen(path);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/')
        pattern += L'\\';
    pattern += L'*';
    pw_DIR* dir = new pw_DIR{};
    dir->find = ::FindFirstFileW(pattern.c_str(), &dir->data);
    if (dir->find == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        delete dir;
        return nullptr;
    }
    dir->first = true;
    return dir;
}

pw_dirent* pw_readdir(pw_DIR* dir)
{
    if (!dir->first && !::FindNextFileW(dir->find, &dir->data))
        return nullptr;
    dir->first = false;
    const std::string name = Narrow(dir->data.cFileName);
    const size_t n = std::min(name.size(), sizeof dir->entry.d_name - 1);
    memcpy(dir->entry.d_name, name.data(), n);
    dir->entry.d_name[n] = '\0';
    return &dir->entry;
}

int pw_closedir(pw_DIR* dir)
{
    ::FindClose(dir->find);
    delete dir;
    return 0;
}

}  // extern "C"

int pw_chmod(const wchar_t* path, int mode)
{
    return ::_wchmod(path, (mode & 0200) ? (_S_IREAD | _S_IWRITE) : _S_IREAD);
}
