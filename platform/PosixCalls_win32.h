#pragma once
// The POSIX file calls the core makes, over the wide-character Windows API.
// The Windows build includes this header first in every core, command-line
// and test source (the compiler's -include), so the callers keep one text for
// both systems. Paths are UTF-8 strings everywhere in the program; they become
// UTF-16 here, at the system boundary, and never pass through the ANSI code
// page. The system headers come first so that the names below replace only
// the callers' uses, never the declarations. PosixCalls_win32.cpp, which
// defines the calls, takes the declarations alone (PW_POSIX_CALLS_DEFINING).

#ifndef _WIN32
#error "PosixCalls_win32.h is for the Windows build only"
#endif

#include <direct.h>
#include <dirent.h>
#include <fcntl.h>
#include <io.h>
#include <limits.h>
#include <process.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#ifdef __cplusplus
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#endif

#include <tiffio.h>

// UTF-8 paths are longer than the 260 characters of MAX_PATH.
#undef PATH_MAX
#define PATH_MAX 4096

#ifndef O_CLOEXEC
#define O_CLOEXEC _O_NOINHERIT
#endif
#ifndef O_NONBLOCK
#define O_NONBLOCK 0  // no FIFO here to wait on
#endif
#ifndef O_NOCTTY
#define O_NOCTTY 0
#endif
#ifndef O_NOFOLLOW
#define O_NOFOLLOW 0  // no link is made here by a user without a privilege
#endif
#ifndef O_DIRECTORY
#define O_DIRECTORY 0x40000000  // folders cannot be opened here; the open fails
#endif
#ifndef S_IFLNK
#define S_IFLNK 0xA000
#endif
#ifndef S_ISLNK
#define S_ISLNK(m) (((m) & S_IFMT) == S_IFLNK)
#endif

#ifdef __cplusplus
extern "C" {
#endif

// st_dev and st_ino are the volume serial number and the file index, so that
// two paths to one file compare equal (the C run-time leaves st_ino 0).
struct pw_stat {
    unsigned st_mode;
    int64_t st_size;
    uint64_t st_dev;
    uint64_t st_ino;
    struct timespec st_mtim;
};

int pw_stat(const char* path, struct pw_stat* st);
int pw_lstat(const char* path, struct pw_stat* st);
int pw_fstat(int fd, struct pw_stat* st);
int pw_open(const char* path, int flags, ...);
int pw_unlink(const char* path);
int pw_rename(const char* from, const char* to);
#ifdef __cplusplus
int pw_mkdir(const char* path, int mode = 0777);  // the C run-time's mkdir has no mode
#else
int pw_mkdir(const char* path, int mode);
#endif
int pw_rmdir(const char* path);
int pw_chmod(const char* path, int mode);
int pw_fchmod(int fd, int mode);
int pw_access(const char* path, int mode);
int pw_truncate(const char* path, int64_t size);
int pw_fsync(int fd);
int pw_setenv(const char* name, const char* value, int overwrite);
int pw_unsetenv(const char* name);
char* pw_realpath(const char* path, char* resolved);
int pw_mkstemps(char* pattern, int suffixLength);
char* pw_mkdtemp(char* pattern);
int pw_symlink(const char* target, const char* link);
ssize_t pw_pread(int fd, void* buffer, size_t count, int64_t offset);
ssize_t pw_pwrite(int fd, const void* buffer, size_t count, int64_t offset);
FILE* pw_fopen(const char* path, const char* mode);
TIFF* pw_TIFFOpen(const char* path, const char* mode);
TIFF* pw_TIFFOpenExt(const char* path, const char* mode, TIFFOpenOptions* options);

struct pw_dirent {
    char d_name[1024];
};
typedef struct pw_DIR pw_DIR;
pw_DIR* pw_opendir(const char* path);
struct pw_dirent* pw_readdir(pw_DIR* dir);
int pw_closedir(pw_DIR* dir);

#ifdef __cplusplus
}

// std::filesystem hands out wide paths here.
int pw_chmod(const wchar_t* path, int mode);
#endif

#ifdef __cplusplus
#include <cerrno>
// No copying inside the kernel here: callers fall back to reading and
// writing.
inline ssize_t pw_copy_file_range(int, off_t*, int, off_t*, size_t, unsigned)
{
    errno = ENOSYS;
    return -1;
}
#endif

#ifndef PW_POSIX_CALLS_DEFINING
#define copy_file_range pw_copy_file_range
#undef stat  // some headers map it to a 64-bit variant
#define stat pw_stat
#define lstat(p, s) pw_lstat(p, s)
#undef fstat
#define fstat(f, s) pw_fstat(f, s)
#define open(...) pw_open(__VA_ARGS__)
#define unlink(p) pw_unlink(p)
#define rename(a, b) pw_rename(a, b)
#define mkdir(...) pw_mkdir(__VA_ARGS__)
#define rmdir(p) pw_rmdir(p)
#define chmod(p, m) pw_chmod(p, m)
#define fchmod(f, m) pw_fchmod(f, m)
#define access(p, m) pw_access(p, m)
#define truncate(p, s) pw_truncate(p, s)
#define fsync(f) pw_fsync(f)
#define setenv(n, v, o) pw_setenv(n, v, o)
#define unsetenv(n) pw_unsetenv(n)
#define realpath(p, r) pw_realpath(p, r)
#define mkstemps(p, n) pw_mkstemps(p, n)
#define mkdtemp(p) pw_mkdtemp(p)
#define symlink(t, l) pw_symlink(t, l)
#define pread(f, b, n, o) pw_pread(f, b, n, o)
#define pwrite(f, b, n, o) pw_pwrite(f, b, n, o)
#define fopen(p, m) pw_fopen(p, m)
#define TIFFOpen(p, m) pw_TIFFOpen(p, m)
#define TIFFOpenExt(p, m, o) pw_TIFFOpenExt(p, m, o)
#define DIR pw_DIR
#define dirent pw_dirent
#define opendir(p) pw_opendir(p)
#define readdir(d) pw_readdir(d)
#define closedir(d) pw_closedir(d)
#endif  // PW_POSIX_CALLS_DEFINING
